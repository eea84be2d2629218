#include "reports/transfer/URptOrdVirMission.h"

#include "core/GlobalState.h"
#include "reports/ReportLayout.h"
#include "reports/orders/MandatData.h"
#include "reports/orders/OrderDrawing.h"
#include "reports/transfer/URptOrdVirMission_210208.h"
#include "reports/transfer/URptOrdVirMission_210501.h"

#include <algorithm>

using namespace mdt;

namespace {

constexpr double HeaderHeight = 10.6;
constexpr double AdviceHeight = 113.5;
// The stationery's margins: top 10, bottom 10, left 1, right 5.
constexpr rpt::Margins PaperMargins{10, 10, 1, 5};

// A control's place in mm; its right edge is rounded as its left, so a control
// that ends at the right margin ends there to the pixel.
QRect At(double top, double left, double width, double height = 5)
{
    const int x = Mm(left);
    return {x, Mm(top), Mm(left + width) - x, Mm(height)};
}

} // namespace

TRptMissionAdvice::TRptMissionAdvice(const QString& reportName, Variant variant)
    : TRptTransferForm(reportName, QStringLiteral("Avis de virements Missions"))
{
    Param(QStringLiteral("NoMdt"), NoMdt);
    Param(QStringLiteral("DateMdt"), DateMdt);
    // Width and length as the stationery gives them, upright as it is fed: a
    // page of exactly that size, printed whole (no margin of the printer's).
    report().setPage(rpt::PageSetup::Custom(PaperLength, PaperWidth, QPageLayout::Portrait, PaperMargins));
    BuildDesign(variant);
    report().onBeforePrint = [this] { RptBeforePrint(); };
    Detail().onBeforePrint = [this](rpt::Band&, bool&) {
        StartRecord();
        FillAdvice(Record());
    };
}

void TRptMissionAdvice::BuildDesign(Variant variant)
{
    report().addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), Mm(HeaderHeight));
    rpt::Band& b = *AddDetail(Mm(AdviceHeight));
    const bool twoAmounts = variant != Variant::Lines;
    // The stub's texts that reach its right edge end at the right margin.
    const double right = report().page().printableWidth();
    Text(b, QStringLiteral("lBnq"), At(2.9, 197.6, 60), QString(), Bold(9));
    Text(b, QStringLiteral("lWil1"), At(11.4, 100.3, 60), QString(), Plain(10));
    Text(b, QStringLiteral("lWil"), At(101.9, 267.0, 40), QString(), Plain(10));
    Text(b, QStringLiteral("lRITP"), At(18.0, 115.9, 80), QString(), Bold(10));
    Text(b, QStringLiteral("lRITP1"), At(107.2, 288.1, right - 288.1), QString(), Bold(9));
    Text(b, QStringLiteral("lNom"), At(35.5, 10.6, 180), QString(), Bold(10));
    Text(b, QStringLiteral("lNom1"), At(36.8, 260.1, right - 260.1), QString(), Bold(9));
    Text(b, QStringLiteral("lCpt"), At(65.6, 29.9, 35), QString(), Bold(9));
    Text(b, QStringLiteral("lCpt1"), At(70.1, 264.8, 42), QString(), Bold(9));
    Text(b, QStringLiteral("lNap"), At(65.6, 66.4, 36), QString(), Bold(10, Qt::AlignRight));
    Text(b, QStringLiteral("lNap1"), At(70.1, 307.7, right - 307.7), QString(), Bold(9, Qt::AlignRight));
    if (twoAmounts)
        Text(b, QStringLiteral("lNap2"), At(70.1, 209.6, 40), QString(), Bold(10, Qt::AlignRight));
    if (variant == Variant::Contributions)
        Text(b, QStringLiteral("lReglement"), At(70.1, 149.2, 58), QString(), Bold(9));
    else
        Text(b, QStringLiteral("lReglement"), At(78.8, 110.1, 140), QString(), Bold(10));
    if (variant == Variant::SalaryDetail)
        Text(b, QStringLiteral("lIntitule"), At(65.6, 104.8, 100), QString(), Bold(9));
    Text(b, QStringLiteral("lNoMandat"), At(102.9, 147.9, 40), QString(), Bold(10));
    Text(b, QStringLiteral("lDateMdt"), At(102.9, 194.5, 40), QString(), Bold(10));
    // The faculty's name is on the stationery.
    Text(b, QStringLiteral("lFac"), At(2.9, 10.6, 120), QString(), Plain(9))->setEnabled(false);
    Text(b, QStringLiteral("lFac1"), At(2.9, 260.1, 82), QString(), Plain(9))->setEnabled(false);
}

void TRptMissionAdvice::RptBeforePrint()
{
    StartRun();
    LoadReportLayout(report());
    // The page header and the advice are taller together than the sheet's
    // printable length: the advice is cut at the printable end, so that each
    // sheet holds one advice and no sheet is left blank.
    const rpt::PageSetup& page = report().page();
    const int printable = int(rpt::MmToPx(page.length - page.margins.top - page.margins.bottom));
    const int header = report().band(rpt::BandKind::PageHeader)->height();
    Detail().setHeight(std::min(Detail().height(), printable - header));
    WalkRecords(m_data.beneficiaries.empty() ? 0 : Advices());
}

void TRptMissionAdvice::FillBeneficiary(const TTransferBeneficiary* ben)
{
    SetText(QStringLiteral("lWil"), City);
    SetText(QStringLiteral("lWil1"), City);
    SetText(QStringLiteral("lNoMandat"), NoMdt);
    SetText(QStringLiteral("lDateMdt"), DateMdt);
    const QString debit = ben ? DebitAccountFor(*ben) : TreasuryAccount;
    for (const char* name : {"lRITP", "lRITP1"})
        SetText(QString::fromLatin1(name), debit);
    for (const char* name : {"lNom", "lNom1"})
        SetText(QString::fromLatin1(name), ben ? ben->nom : QString());
    for (const char* name : {"lCpt", "lCpt1"})
        SetText(QString::fromLatin1(name), ben ? ben->compte : QString());
    SetText(QStringLiteral("lBnq"), ben ? ben->BankAndAgency() : QString());
    for (const char* name : {"lBnq", "lRITP", "lRITP1", "lNom", "lNom1", "lCpt", "lCpt1", "lWil", "lWil1"})
        report().label(QString::fromLatin1(name))->shrinkToFit(rpt::MinFontPoints);
}

void TRptMissionAdvice::FillAmount(Currency amount)
{
    for (const char* name : {"lNap", "lNap1", "lNap2"})
        SetAmount(QString::fromLatin1(name), amount);
}

// --- one advice per line -------------------------------------------------------

TfrmRptOrdVirMission::TfrmRptOrdVirMission() : TRptMissionAdvice(QStringLiteral("RptOrdVirMission"), Variant::Lines)
{
}

int TfrmRptOrdVirMission::Advices()
{
    m_advices.clear();
    for (const TTransferBeneficiary& ben : m_data.beneficiaries)
        for (const TTransferLine& line : ben.lines)
            m_advices.emplace_back(&ben, &line);
    return int(m_advices.size());
}

void TfrmRptOrdVirMission::FillAdvice(int advice)
{
    const auto& [ben, line] = m_advices.at(size_t(advice));
    FillBeneficiary(ben);
    FillAmount(line->amount);
    const QString verb =
        line->rembours == PaymentType::Reimbursement ? QStringLiteral("REMBOURSEMENT") : QStringLiteral("PAIEMENT");
    rpt::Label* object = report().label(QStringLiteral("lReglement"));
    object->setCaption(verb + QLatin1Char(' ') + line->budgetTitle.toUpper());
    object->shrinkToFit(rpt::MinFontPoints);
}

// --- the three social contributions --------------------------------------------

TfrmRptOrdVirMission_210501::TfrmRptOrdVirMission_210501()
    : TRptMissionAdvice(QStringLiteral("RptOrdVirMission_210501"), Variant::Contributions)
{
}

const QStringList& TfrmRptOrdVirMission_210501::ContributionTexts()
{
    static const QStringList texts{QStringLiteral("Régime général 23.75%"), QStringLiteral("Assurance chômage 1.00%"),
                                   QStringLiteral("Retraite anticipée 0.25%")};
    return texts;
}

QString TfrmRptOrdVirMission_210501::NotContributionsText()
{
    return QStringLiteral("Les lignes de ce mandat ne portent pas de cotisations sociales égales à son montant : "
                          "ses avis de virement sont ceux des missions, un par ligne.");
}

int TfrmRptOrdVirMission_210501::Advices()
{
    // Advices of contributions that are not what the order pays would pay
    // something else than the order: nothing prints.
    if (!OrderPaysContributions(IdMdt))
        report().refuse(NotContributionsText());
    // Each contribution over every line of the order, whatever its budget line.
    for (Currency& amount : m_amounts)
        amount = Currency();
    for (const TTransferLine* line : m_data.Lines()) {
        m_amounts[0] += line->regimeGen;
        m_amounts[1] += line->assChomage;
        m_amounts[2] += line->retraiteAnt;
    }
    return 3;
}

void TfrmRptOrdVirMission_210501::FillAdvice(int advice)
{
    FillBeneficiary(&m_data.beneficiaries.front());
    FillAmount(m_amounts[advice]);
    SetText(QStringLiteral("lReglement"), ContributionTexts().at(advice));
}

// --- the salary detail rows ----------------------------------------------------

TfrmRptOrdVirMission_210208::TfrmRptOrdVirMission_210208()
    : TRptMissionAdvice(QStringLiteral("RptOrdVirMission_210208"), Variant::SalaryDetail)
{
}

int TfrmRptOrdVirMission_210208::Advices()
{
    m_rows = ReadFirstLineSalaryDetail(IdMdt);
    return int(m_rows.size());
}

void TfrmRptOrdVirMission_210208::FillAdvice(int advice)
{
    const TSalaryDetailRow& row = m_rows.at(size_t(advice));
    FillBeneficiary(&m_data.beneficiaries.front());
    FillAmount(row.amount);
    rpt::Label* title = report().label(QStringLiteral("lIntitule"));
    title->setCaption(row.title);
    title->shrinkToFit(rpt::MinFontPoints);
}
