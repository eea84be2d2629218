#include "budget/BudgetStore.h"

#include "core/GlobalState.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/KeptStatement.h"
#include "data/ShownRow.h"
#include "data/UDM.h"
#include "db/Database.h"

TBudgetStore::TBudgetStore() = default;
TBudgetStore::~TBudgetStore() = default;

TListingRows TBudgetStore::ReadLines()
{
    return ReadListingRows(KeptStatement(m_lines, QStringLiteral("SELECT ID_FNM, CHAP, ART, PAR, INTITULE, \n"
                                                                 "              MT_BP, MT_REGIE, DATE_BP, MT_BS, DATE_BS,\n"
                                                                 "              RDB$RECORD_VERSION AS ROW_VERSION\n"
                                                                 "FROM FNM ORDER BY CHAP, ART, PAR")));
}

TBudgetLineRow TBudgetStore::LineOf(const QueryRow& row)
{
    TBudgetLineRow line;
    line.id = row.asInt(QStringLiteral("ID_FNM"));
    line.chap = row.asString(QStringLiteral("CHAP"));
    line.art = row.asString(QStringLiteral("ART"));
    line.par = row.asString(QStringLiteral("PAR"));
    line.intitule = row.asString(QStringLiteral("INTITULE"));
    line.bp = row.asCurrency(QStringLiteral("MT_BP"));
    line.regie = row.asCurrency(QStringLiteral("MT_REGIE"));
    line.bs = row.asCurrency(QStringLiteral("MT_BS"));
    line.dateBP = row.asDate(QStringLiteral("DATE_BP"));
    line.dateBS = row.asDate(QStringLiteral("DATE_BS"));
    return line;
}

TShownRow TBudgetStore::ShownRowOf(const QueryRow& row)
{
    return TShownRow{QStringLiteral("FNM"), QStringLiteral("ID_FNM"), row.asInt(QStringLiteral("ID_FNM")),
                     row.asInt(QStringLiteral("ROW_VERSION"))};
}

Currency TBudgetStore::ChapterPrimitiveTotal(const QString& chapter)
{
    db::Query& q = KeptStatement(m_chapterTotal, QStringLiteral("SELECT SUM(MT_BP) AS TOT_CHAP\nFROM FNM WHERE CHAP=:CHAP"));
    q.setParam(QStringLiteral("CHAP"), chapter);
    q.open();
    const Currency total = q.asCurrency(QStringLiteral("TOT_CHAP"));
    q.close();
    return total;
}

std::optional<TSheet> TBudgetStore::PrimitiveSheet(qint64 idFnm)
{
    return m_sheets.SheetOfOrigin(SheetOrigin::PrimitiveBudget, idFnm);
}

std::optional<TSheet> TBudgetStore::AmendingSheet(qint64 idFnm)
{
    return m_sheets.SheetOfOrigin(SheetOrigin::AmendingBudget, idFnm);
}

bool TBudgetStore::FirstNumberTaken(qint64 idFnm)
{
    return m_sheets.NumberTaken(idFnm, QStringLiteral("0001"), -1);
}

void TBudgetStore::SaveAllocations(qint64 idFnm, const QString& chapter, bool article, const budget::Allocations& a)
{
    db::Query& q = KeptStatement(m_update, QStringLiteral(
        "UPDATE FNM SET        MT_BP=:MT_BP,        MT_REGIE=:MT_REGIE,        DATE_BP=:DATE_BP,        "
        "MT_BS=:MT_BS,        DATE_BS=:DATE_BS,        ID_USER=:ID_USER,        DATEM=:DATEM WHERE ID_FNM=:ID_FNM"));
    q.setParam(QStringLiteral("MT_BP"), a.bp);
    q.setParam(QStringLiteral("MT_REGIE"), a.regie);
    q.setParam(QStringLiteral("DATE_BP"), a.dateBP);
    q.setParam(QStringLiteral("MT_BS"), a.bs);
    q.setParam(QStringLiteral("DATE_BS"), a.dateBS);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEM"), QDate::currentDate());
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    ExecOnRow(q);
    if (!article)
        return;

    // The primitive-budget sheet: made with the first primitive budget, then kept.
    const std::optional<TSheet> primitive = PrimitiveSheet(idFnm);
    if (!a.bp.isZero() && !primitive && FirstNumberTaken(idFnm))
        throw TRefusalError(budget::FirstNumberTakenRefusal);
    if (!a.bp.isZero() || primitive) {
        const QString obs = DM->Queries().GetServiceObservation(QStringLiteral("OBS_BP"), chapter);
        WriteSheet(idFnm, primitive, SheetOrigin::PrimitiveBudget, QStringLiteral("0001"), a.dateEngBP, obs, a.dateBP,
                   SheetObject::Economy, a.bp, false);
    }

    // The amending-budget sheet follows the amount's sign, and goes with an
    // amount of 0 when it is still the line's last sheet (another sheet may
    // have been given to the line since the checks ran).
    const std::optional<TSheet> amending = AmendingSheet(idFnm);
    if (!a.bs.isZero()) {
        const bool positive = a.bs > Currency();
        const QString obs = DM->Queries().GetServiceObservation(
            positive ? QStringLiteral("OBS_BS") : QStringLiteral("OBS_BS_N"), chapter);
        // Numbered like a user sheet: "0001" stays free for the primitive
        // budget, which may be entered after the amending one.
        const QString number = amending ? QString() : TSheetStore::NextUserNumber(idFnm);
        const QDate sheetDate = amending || a.dateEngBS.isValid() ? a.dateEngBS : DefaultDate();
        WriteSheet(idFnm, amending, SheetOrigin::AmendingBudget, number, sheetDate, obs, a.dateBS,
                   positive ? SheetObject::Economy : SheetObject::Expense, a.bs, true);
    } else if (amending) {
        if (!DM->Queries().IsLastCommitmentNumber(idFnm, amending->number))
            throw TRefusalError(budget::AmendingSheetNotLastRefusal);
        m_sheets.DeleteSheet(amending->id);
    }
}

void TBudgetStore::WriteSheet(qint64 idFnm, const std::optional<TSheet>& stored, SheetOrigin origin,
                              const QString& number, const QDate& sheetDate, const QString& obs,
                              const QDate& visaDate, SheetObject objet, Currency amount, bool withObjet)
{
    TSheet sheet;
    sheet.date = sheetDate;
    sheet.idFnm = idFnm;
    sheet.obs = obs;
    sheet.visaDate = visaDate;
    sheet.objet = objet;
    sheet.amount = amount;
    if (stored) {
        sheet.id = stored->id;
        m_sheets.UpdateMovementSheet(sheet, withObjet);
        return;
    }
    sheet.number = number;
    sheet.origin = origin;
    sheet.idOrigine = idFnm;
    // The sheet's line points to the budget line's primitive or amending budget.
    const LineObject line =
        origin == SheetOrigin::PrimitiveBudget ? LineObject::PrimitiveBudget : LineObject::AmendingBudget;
    m_sheets.InsertMovementSheet(sheet, line, idFnm);
}
