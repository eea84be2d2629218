// The four payment statements: their columns, titles and rows.
#include "reports/UPaper.h"
#include "reports/etats/URptEtatPAllocEt.h"
#include "reports/etats/URptEtatPCongeSc.h"
#include "reports/etats/URptEtatPFact.h"
#include "reports/etats/URptEtatPMission.h"

#include <map>

namespace {

constexpr Qt::Alignment Left = Qt::AlignLeft;
constexpr Qt::Alignment Centre = Qt::AlignHCenter;
constexpr Qt::Alignment Right = Qt::AlignRight;

QString DateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

// The beneficiary's name, account, grade and bank; empty when he is missing.
struct Who {
    QString nom, compte, grade, bank;
};

Who WhoIs(const TPaymentStatementData& data, qint64 idBen)
{
    const TStatementBeneficiary* ben = data.Beneficiary(idBen);
    if (!ben || !ben->found)
        return {};
    return {ben->nom, ben->compte, ben->grade, ben->bank};
}

// Registration fees are article 3, scientific leave article 4, of these
// chapters written with the dash.
enum class LeaveArticle { None, Fees, Leave };

LeaveArticle LeaveArticleOf(const TStatementLine& line)
{
    if (line.chap != QLatin1String("21-19") && line.chap != QLatin1String("22-19"))
        return LeaveArticle::None;
    bool number = false;
    const int art = line.art.toInt(&number);
    if (!number)
        return LeaveArticle::None;
    return art == 3 ? LeaveArticle::Fees : art == 4 ? LeaveArticle::Leave : LeaveArticle::None;
}

} // namespace

// --- invoices --------------------------------------------------------------------------

TfrmRptEtatPFact::TfrmRptEtatPFact()
    : TPaymentStatementForm(Design{
          .reportName = QStringLiteral("RptEtatPFact"),
          .page = rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Landscape, {10, 0, 5, 0}),
          .stateName = false,
          .columns = {{"RS", "Nom ou Raison Sociale", nullptr, 190, Left, false, nullptr},
                      {"Adr", "Adresse", nullptr, 220, Left, false, nullptr},
                      {"MF", "Matricule Fiscal", nullptr, 115, Left, false, nullptr},
                      {"AI", "Art. Imposit.", nullptr, 85, Left, false, nullptr},
                      {"RC", "N° R.C", nullptr, 105, Left, false, nullptr},
                      {"NoFact", "Facture", nullptr, 75, Centre, false, nullptr},
                      {"DFact", "Date", nullptr, 75, Centre, false, nullptr},
                      {"Montant", "Montant ", nullptr, 115, Right, true, "lTotal"},
                      {"NoMdt", "Mdt", nullptr, 45, Centre, false, nullptr}},
          .rowHeight = 22,
          .ruleDepth = 0,
          .aboveTable = QStringLiteral("Désignation des bénéficiaires"),
          .totalCaption = QStringLiteral("Total Général "),
          .grandField = "Montant",
          .visas = true})
{
}

void TfrmRptEtatPFact::FormCreate()
{
    // Asked once per form: A4 keeps a right margin of 18 mm.
    PaperIndex = TfrmPaper::Ask(nullptr);
    rpt::PageSetup& page = report().page();
    if (PaperIndex == 0)
        page = rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Landscape, {10, 0, 5, 18});
    else
        page = rpt::PageSetup::Standard(rpt::Paper::Letter, QPageLayout::Landscape, {10, 0, 5, 0});
}

QString TfrmRptEtatPFact::Title(const TPaymentStatementData&) const
{
    return QStringLiteral("ETAT DE PAIEMENT DE FACTURES");
}

std::vector<std::vector<db::Value>> TfrmRptEtatPFact::Rows(const TPaymentStatementData& data) const
{
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(data.lines.size());
    for (const TStatementLine& line : data.lines) {
        QString rs, adr, mf, ai, rc;
        if (const TStatementBeneficiary* ben = data.Beneficiary(line.idBen); ben && ben->found) {
            rs = ben->nom;
            adr = ben->adr + QStringLiteral("-") + ben->ville;
            mf = ben->mf;
            ai = ben->ai;
            rc = ben->rc;
        }
        rows.push_back({rs, adr, mf, ai, rc, line.noDepense, DateText(line.dateDepense), line.amount, data.noMdt});
    }
    return rows;
}

// --- missions --------------------------------------------------------------------------

TfrmRptEtatPMission::TfrmRptEtatPMission()
    : TPaymentStatementForm(Design{
          .reportName = QStringLiteral("RptEtatPMission"),
          .page = rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 0, 10, 5}),
          .stateName = false,
          .columns = {{"No", "No", nullptr, 38, Right, false, nullptr},
                      {"Nom", "Nom et prénom", nullptr, 250, Left, false, nullptr},
                      {"NoMdt", "No", "Mandat", 60, Centre, false, nullptr},
                      {"DateMdt", "Date", "Mandat", 80, Centre, false, nullptr},
                      {"Montant", "T.T.C", "Montant", 120, Right, true, "lTotP"},
                      {"Compte", "N° de Compte", nullptr, 185, Left, false, nullptr}},
          .rowHeight = 24,
          .ruleDepth = 35,
          .aboveTable = QString(),
          .totalCaption = QStringLiteral("Total Général "),
          .grandField = "Montant",
          .visas = false})
{
}

QString TfrmRptEtatPMission::Title(const TPaymentStatementData& data) const
{
    return data.FirstLinePays() ? QStringLiteral("ETAT DE PAIEMENT DE FAIS DE  MISSIONS")
                                : QStringLiteral("ETAT DE REMBOURSEMENT DE FAIS DE MISSIONS");
}

std::vector<std::vector<db::Value>> TfrmRptEtatPMission::Rows(const TPaymentStatementData& data) const
{
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(data.lines.size());
    qint64 no = 0;
    for (const TStatementLine& line : data.lines) {
        const Who who = WhoIs(data, line.idBen);
        rows.push_back({++no, who.nom, data.noMdt, DateText(data.dateMdt), line.amount, who.compte});
    }
    return rows;
}

// --- study allowances, visa and insurance refunds -----------------------------------------

TfrmRptEtatPAllocEt::TfrmRptEtatPAllocEt()
    : TPaymentStatementForm(Design{
          .reportName = QStringLiteral("RptEtatPAllocEt"),
          .page = rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Landscape, {10, 10, 16, 10}),
          .stateName = true,
          .columns = {{"No", "No", nullptr, 40, Right, false, nullptr},
                      {"Nom", "Nom et prénom", nullptr, 280, Left, false, nullptr},
                      {"Grade", "Grade", nullptr, 170, Left, false, nullptr},
                      {"Montant", "Montant", nullptr, 140, Right, true, "lTotP"},
                      {"Compte", "N° de Compte", nullptr, 200, Left, false, nullptr},
                      {"Bnq", "Banque", nullptr, 190, Left, false, nullptr}},
          .rowHeight = 26,
          .ruleDepth = 20,
          .aboveTable = QString(),
          .totalCaption = QStringLiteral("Total  "),
          .grandField = "Montant",
          .visas = false})
{
    Param(QStringLiteral("TypeEtat"), TypeEtat);
}

QString TfrmRptEtatPAllocEt::Title(const TPaymentStatementData& data) const
{
    if (TypeEtat == QLatin1String("V"))
        return QStringLiteral("ETAT DE REMBOURSEMENT DES FRAIS DE VISA ET D'ASSURANCE");
    return data.FirstLinePays() ? QStringLiteral("ETAT DE PAIEMENT DE L'ALLOCATION D'ETUDE")
                                : QStringLiteral("ETAT DE REMBOURSEMENT DE L'ALLOCATION D'ETUDE");
}

std::vector<std::vector<db::Value>> TfrmRptEtatPAllocEt::Rows(const TPaymentStatementData& data) const
{
    std::vector<std::vector<db::Value>> rows;
    rows.reserve(data.lines.size());
    qint64 no = 0;
    for (const TStatementLine& line : data.lines) {
        const Who who = WhoIs(data, line.idBen);
        rows.push_back({++no, who.nom, who.grade, line.amount, who.compte, who.bank});
    }
    return rows;
}

// --- registration fees and scientific leave ----------------------------------------------

TfrmRptEtatPCongeSc::TfrmRptEtatPCongeSc()
    : TPaymentStatementForm(Design{
          .reportName = QStringLiteral("RptEtatPCongeSc"),
          .page = rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Landscape, {10, 0, 10, 5}),
          .stateName = true,
          .columns = {{"No", "No", nullptr, 35, Right, false, nullptr},
                      {"Nom", "Nom et prénom", nullptr, 230, Left, false, nullptr},
                      {"Grade", "Grade", nullptr, 140, Left, false, nullptr},
                      {"MtConge", "MT Conge Scie", nullptr, 110, Right, true, "lTotConge"},
                      {"MtFrInscr", "MT Fr. Inscrip", nullptr, 110, Right, true, "lTotFrInscr"},
                      {"Total", "T o t a l", nullptr, 115, Right, true, "lTotG"},
                      {"Compte", "N° de Compte", nullptr, 175, Left, false, nullptr},
                      {"Bnq", "Banque", nullptr, 145, Left, false, nullptr}},
          .rowHeight = 22,
          .ruleDepth = 25,
          .aboveTable = QString(),
          .totalCaption = QStringLiteral("Total  "),
          .grandField = "Total",
          .visas = false})
{
}

QString TfrmRptEtatPCongeSc::Title(const TPaymentStatementData& data) const
{
    return data.FirstLinePays()
               ? QStringLiteral("ETAT DE PAIEMENT DE FRAIS D'INSCRIPTION ET CONGES SCIENTIFIQUES")
               : QStringLiteral("ETAT DE REMBOURSEMENT DE FRAIS D'INSCRIPTION ET CONGES SCIENTIFIQUES");
}

std::vector<std::vector<db::Value>> TfrmRptEtatPCongeSc::Rows(const TPaymentStatementData& data) const
{
    // What each beneficiary is paid on the two articles, in one pass over the lines.
    std::map<qint64, std::pair<Currency, Currency>> sums;   // fees, leave
    for (const TStatementLine& line : data.lines) {
        switch (LeaveArticleOf(line)) {
        case LeaveArticle::Fees:
            sums[line.idBen].first += line.amount;
            break;
        case LeaveArticle::Leave:
            sums[line.idBen].second += line.amount;
            break;
        case LeaveArticle::None:
            break;
        }
    }
    std::vector<std::vector<db::Value>> rows;
    qint64 no = 0;
    for (const TStatementBeneficiary& ben : data.beneficiaries) {
        ++no;   // every beneficiary counts, printed or not
        const auto it = sums.find(ben.idBen);
        if (it == sums.end() || (it->second.first.isZero() && it->second.second.isZero()))
            continue;
        const Currency fees = it->second.first;
        const Currency leave = it->second.second;
        const Who who = WhoIs(data, ben.idBen);
        rows.push_back({no, who.nom, who.grade, leave, fees, leave + fees, who.compte, who.bank});
    }
    return rows;
}
