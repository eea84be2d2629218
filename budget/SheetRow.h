#pragma once
// The header of a commitment sheet as both series of sheets store it: ENT_ENG
// (the ordinary sheets) and ENT_ENG_REG (the regularisation sheets, the second
// series) have the same columns, a regularisation sheet being a commitment
// sheet of its own kind. What the series share is one row type read by one
// reader; each store adds what its series means by OBJET and ORIGINE (a
// regularisation sheet has neither until its first line), and writes a new
// header through one binding.

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>

namespace db { class Query; }

struct TSheetHeader {
    qint64 id = -1;
    QString number;       // NO_ENG, trimmed; empty until the sheet has lines
    QDate date;
    qint64 idFnm = -1;    // -1 until the sheet has lines
    QString obs;
    QString visaNumber;
    QDate visaDate;
    Currency amount;
    qint64 idOrigine = NoOriginRecord;
    qint64 statut = SheetInForce;   // otherwise the key of the cancellation that cancelled it

    bool Cancelled() const { return statut > SheetInForce; }
    bool HasVisa() const { return !visaNumber.trimmed().isEmpty(); }
};

// The shared columns of the current row of `q` (ID_ENG, NO_ENG, DATE_ENG,
// ID_FNM, OBS, NO_VISA, DATE_VISA, MONTANT, ID_ORIGINE, STATUT) into `sheet`.
void ReadSheetHeader(const db::Query& q, TSheetHeader& sheet);

// The values of a new header under the key `id`, written today by the user,
// with the stored forms of its OBJET and ORIGINE: the parameters ID_ENG,
// NO_ENG, DATE_ENG, ID_FNM, OBS, NO_VISA, DATE_VISA, OBJET, MONTANT, ORIGINE,
// ID_ORIGINE, STATUT, ID_USER, DATEC and DATEM.
void BindNewSheetHeader(db::Query& q, qint64 id, const TSheetHeader& header, int objet, const QString& origin);
