#pragma once
// Commitment sheets the sheet-window tests start from, written through the
// sheet store as the windows write them, and committed.

#include "budget/SheetStore.h"
#include "common/ExpenseRows.h"

#include <QDate>

#include <initializer_list>

namespace rows {

// A budget line's primitive-budget sheet (number 0001, dated 05/01/2024), as
// the budget window writes it.
inline qint64 PrimitiveSheet(qint64 idFnm, Currency amount)
{
    TSheetStore store;
    TSheet primitive;
    primitive.number = QStringLiteral("0001");
    primitive.date = QDate(2024, 1, 5);
    primitive.idFnm = idFnm;
    primitive.objet = SheetObject::Economy;
    primitive.amount = amount;
    primitive.origin = SheetOrigin::PrimitiveBudget;
    primitive.idOrigine = idFnm;
    qint64 id = 0;
    Write([&] { id = store.InsertMovementSheet(primitive, LineObject::PrimitiveBudget, idFnm); });
    return id;
}

// A user commitment sheet dated `date` with a line of `amount` for each
// expense, as the commitment window and the expense picker write it.
inline qint64 UserSheet(std::initializer_list<qint64> expenses, Currency amount, const QDate& date)
{
    TSheetStore store;
    TSheet s;
    s.date = date;
    qint64 id = 0;
    Write([&] {
        id = store.InsertUserSheet(s);
        for (qint64 e : expenses)
            store.AddExpenseLine(id, e, amount);
    });
    return id;
}

// A sheet header as stored, dated 05/03/2024 and in force, committed.
inline qint64 SheetHeader(qint64 idFnm, const QString& number, SheetObject objet, SheetOrigin origin, Currency amount,
                          qint64 idOrigine, const QString& obs)
{
    const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
    Write([&] {
        Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS, OBJET, MONTANT, ORIGINE, "
                            "ID_ORIGINE, STATUT) VALUES (:ID, :NO, :D, :F, :OBS, :OBJ, :M, :ORI, :IDO, :IN_FORCE)"),
             {{"ID", id}, {"NO", number}, {"D", QDate(2024, 3, 5)}, {"F", idFnm}, {"OBS", obs},
              {"OBJ", toDbValue(objet)}, {"M", amount}, {"ORI", toDbValue(origin)}, {"IDO", idOrigine},
              {"IN_FORCE", SheetInForce}});
    });
    return id;
}

// One line of a sheet, committed.
inline void SheetLine(qint64 idEng, int noLine, LineObject objet, qint64 idDetail, Currency amount)
{
    Write([&] {
        Exec(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (:E, :N, :O, :D, :M)"),
             {{"E", idEng}, {"N", qint64(noLine)}, {"O", toDbValue(objet)}, {"D", idDetail}, {"M", amount}});
    });
}

} // namespace rows
