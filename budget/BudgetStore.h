#pragma once
// TBudgetStore: the SQL of the budget lines' allocations (FNM's primitive and
// amending budgets) shared by the budget windows: the lines in nomenclature
// order, a chapter's primitive total, a line's budget sheets, and the save of
// a line's allocations with the sheets that record them.
//
// Reads run on the program's connection; SaveAllocations runs statements only,
// inside the caller's write operation. Each statement is prepared once for the
// life of the store.

#include "budget/BudgetRules.h"
#include "budget/SheetStore.h"
#include "core/Currency.h"
#include "data/ListingRows.h"
#include "data/ShownRow.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>

namespace db { class Query; }

// A budget line with its allocations, its texts as stored.
struct TBudgetLineRow {
    qint64 id = -1;
    QString chap, art, par, intitule;
    Currency bp, regie, bs;
    QDate dateBP, dateBS;
};

class TBudgetStore {
public:
    TBudgetStore();
    ~TBudgetStore();
    TBudgetStore(const TBudgetStore&) = delete;
    TBudgetStore& operator=(const TBudgetStore&) = delete;

    // The lines with their allocations (ID_FNM, CHAP, ART, PAR, INTITULE,
    // MT_BP, MT_REGIE, DATE_BP, MT_BS, DATE_BS, and ROW_VERSION, the version
    // each was read with) in nomenclature order.
    TListingRows ReadLines();
    // The line of a row of ReadLines(), and the row as it was read, for the
    // check that a save undoes no other user's change.
    static TBudgetLineRow LineOf(const QueryRow& row);
    static TShownRow ShownRowOf(const QueryRow& row);

    // The sum of the primitive budgets of the chapter's lines (its heading included).
    Currency ChapterPrimitiveTotal(const QString& chapter);

    // The line's primitive-budget sheet and amending-budget sheet.
    std::optional<TSheet> PrimitiveSheet(qint64 idFnm);
    std::optional<TSheet> AmendingSheet(qint64 idFnm);

    // Whether a sheet of the line holds "0001", the primitive-budget sheet's number.
    bool FirstNumberTaken(qint64 idFnm);

    // Writes the line's allocations and keeps its two budget sheets in step:
    // the primitive sheet "0001" is made with the first primitive budget and
    // kept afterwards (at 0 when the budget goes back to 0); the amending sheet
    // follows the amending budget's sign (ECONOMIE above 0, DEPENSE below),
    // takes the line's next number when it is made, and goes with a budget of
    // 0. A chapter heading (`article` false) has no sheets. A first primitive
    // budget whose "0001" another sheet of the line holds (a sheet written
    // since the checks ran) is refused with budget::FirstNumberTakenRefusal
    // (a TRefusalError), so the caller's write operation stores nothing; so is an
    // amending budget of 0 whose sheet is no longer its line's last
    // (budget::AmendingSheetNotLastRefusal).
    void SaveAllocations(qint64 idFnm, const QString& chapter, bool article, const budget::Allocations& a);

private:
    void WriteSheet(qint64 idFnm, const std::optional<TSheet>& stored, SheetOrigin origin, const QString& number,
                    const QDate& sheetDate, const QString& obs, const QDate& visaDate, SheetObject objet,
                    Currency amount, bool withObjet);

    TSheetStore m_sheets;
    std::unique_ptr<db::Query> m_lines, m_chapterTotal, m_update;
};
