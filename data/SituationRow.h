#pragma once
// One row of the financial situation as the work table SIT_FIN holds it, and
// the consumption rate its figures give: what the situation's store writes and
// reads, the window shows and the printed situation is handed.

#include "core/Currency.h"
#include "db/Database.h"

#include <QString>

// One row of SIT_FIN.
struct TSituationRow {
    qint64 idFnm = 0;
    QString chap;
    QString art;
    QString par;
    QString intitule;
    Currency crAl;
    Currency crRv;
    Currency eng;
    Currency pmt;
    Currency sld;
    Currency taux;

    // A chapter row has no article.
    bool IsChapter() const { return art.trimmed().isEmpty(); }
    bool operator==(const TSituationRow&) const = default;
};

// A row of SIT_FIN from what reads its columns by name (a query's current
// row, a grid's row); trailing blanks of the key texts dropped.
template <class Source>
TSituationRow SituationRowOf(const Source& source)
{
    const auto key = [&source](const char* column) {
        QString s = db::toText(source.value(QString::fromLatin1(column)));
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    };
    const auto money = [&source](const char* column) { return db::toCurrency(source.value(QString::fromLatin1(column))); };
    TSituationRow row;
    row.idFnm = db::toInt(source.value(QStringLiteral("ID_FNM")));
    row.chap = key("CHAP");
    row.art = key("ART");
    row.par = key("PAR");
    row.intitule = db::toText(source.value(QStringLiteral("INTITULE")));
    row.crAl = money("CR_AL");
    row.crRv = money("CR_RV");
    row.eng = money("ENG");
    row.pmt = money("PMT");
    row.sld = money("SLD");
    row.taux = money("TAUX");
    return row;
}

// The consumption rate: payments / credits x 100, the exact quotient cut
// (never rounded) to two decimals; 0 when credits are 0. Kept within what the
// DECIMAL(15,2) column holds. The situation window, its correction dialog and
// the printed situation all take their rates from here.
Currency SituationRate(Currency payments, Currency credits);

// The rate the printed situation gives a set of rows: on the revised
// credits, or on the initial credits when nothing is revised; 0 without either.
Currency PrintedSituationRate(Currency payments, Currency revised, Currency initial);
