#include "reports/budget/BudgetSheet.h"

#include "core/GlobalState.h"
#include "core/Routines.h"
#include "data/UDM.h"

using sheetdoc::Presentation;

namespace budgetsheet {

std::optional<TBudgetSheet> ReadSheet(SheetOrigin origin, qint64 idOrigine, qint64 idFnm, SheetObject objet)
{
    // A transfer row's sheet is told apart by its side; a budget sheet is the
    // line's one sheet of its origin, whatever the sign its amount now has.
    const bool transfer = origin == SheetOrigin::Transfer;
    db::Query q(DM->LURDO,
                QStringLiteral("SELECT FIRST 1 A.NO_ENG, A.DATE_ENG, A.MONTANT, A.OBJET, A.OBS "
                               "FROM ENT_ENG A JOIN DET_ENG B ON A.ID_ENG=B.ID_ENG "
                               "WHERE A.ORIGINE=:ORIGINE AND A.ID_ORIGINE=:ID_ORIGINE AND B.ID_DETAIL=:ID_FNM")
                    + (transfer ? QStringLiteral(" AND A.OBJET=:OBJET") : QString())
                    + QStringLiteral(" ORDER BY A.ID_ENG"));
    q.setParam(QStringLiteral("ORIGINE"), toDbValue(origin));
    q.setParam(QStringLiteral("ID_ORIGINE"), idOrigine);
    q.setParam(QStringLiteral("ID_FNM"), idFnm);
    if (transfer)
        q.setParam(QStringLiteral("OBJET"), toDbValue(objet));
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    TBudgetSheet s;
    s.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
    s.date = q.asDate(QStringLiteral("DATE_ENG"));
    s.amount = q.asCurrency(QStringLiteral("MONTANT"));
    s.objet = fromDb<SheetObject>(q.asInt(QStringLiteral("OBJET")));
    s.obs = q.asString(QStringLiteral("OBS"));
    return s;
}

QString ObservationColumn(SheetOrigin origin)
{
    switch (origin) {
    case SheetOrigin::PrimitiveBudget: return QStringLiteral("OBS_BP");
    case SheetOrigin::AmendingBudget: return QStringLiteral("OBS_BS");
    default: return QStringLiteral("OBS_VIR_E");
    }
}

QString NoSheetText()
{
    return QStringLiteral("Fiche d'engagement introuvable ! ");
}

} // namespace budgetsheet

TBudgetSheetForm::TBudgetSheetForm(const QString& reportName, const QString& title, Presentation presentation)
    : TReportForm(reportName, title), m_presentation(presentation)
{
    Param(QStringLiteral("Objet"), Objet);
    Param(QStringLiteral("Origine"), Origine);
    Param(QStringLiteral("IdOrigine"), IdOrigine);
    Param(QStringLiteral("IdFnm"), IdFnm);

    rpt::Band* band = sheetdoc::BuildSheetPage(report(), presentation);
    // The table's one row: the observation, which wraps, and the amount.
    sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lObs1"),
                          QRect(8, sheetdoc::TableFirstTop, 546, 300), Qt::AlignLeft, true);
    sheetdoc::AddRowLabel(band, presentation, QStringLiteral("lMt1"), QRect(566, sheetdoc::TableFirstTop, 158, 22),
                          Qt::AlignRight);
    m_design.take(report());
    report().onBeforePrint = [this] { RptBeforePrint(); };
    report().band(rpt::BandKind::Detail)->onBeforePrint = [this](rpt::Band&, bool&) { bdDetailBeforePrint(); };
}

TBudgetSheetForm::~TBudgetSheetForm() = default;

void TBudgetSheetForm::RptBeforePrint()
{
    // Every run starts from the design and reads the sheet again.
    sheetdoc::StartSheetRun(report(), m_design, m_presentation);
    m_sheet = budgetsheet::ReadSheet(SheetOrigin(Origine), IdOrigine, IdFnm, fromDb<SheetObject>(qint64(Objet)));
    if (!m_sheet)
        report().refuse(budgetsheet::NoSheetText());
}

void TBudgetSheetForm::bdDetailBeforePrint()
{
    rpt::Report& r = report();
    const bool white = m_presentation == Presentation::WhitePaper;
    const TBudgetSheet& s = *m_sheet;
    const auto set = [&r](const char* control, const QString& text) {
        sheetdoc::SetText(r, QString::fromLatin1(control), text);
    };

    if (white) {
        set("lUniv", UniversityName.toUpper());
        set("lFac", FacultyName);
    }
    set("lExer", FiscalYear);
    set("lNoFe", s.number);

    const Currency before = DM->Queries().CommitmentBalanceBefore(IdFnm, s.number);
    const Currency after = BudgetQueries::CommitmentBalanceAfter(before, s.objet, s.amount);
    const QString amount = s.amount.formatMoney();
    set("lOldSolde", before.formatMoney());
    for (const char* name : {"lMontant", "lMontant1", "lMt1"})
        set(name, amount);
    set("lNewSolde", after.formatMoney());
    set("lObjet", s.objet == SheetObject::Economy ? QStringLiteral("ECONOMIE") : QStringLiteral("DEPENSE"));
    set("lLettre", AmountToWords(s.amount));
    set("lSignataire", Signatory);
    if (white)
        set("lVille", City + QStringLiteral(", le ") + DateText(s.date));
    else
        set("lDate", DateText(s.date));

    const QString chapter = sheetdoc::FillBudgetLine(r, IdFnm);
    QString obs = white ? s.obs.trimmed() : s.obs;
    if (white && obs.isEmpty())
        obs = DM->Queries().GetServiceObservation(budgetsheet::ObservationColumn(SheetOrigin(Origine)), chapter);
    set("lObs", obs);
    set("lObs1", obs);
    if (white)
        sheetdoc::FitWhitePaperLabels(r);
}
