#include "reports/etats/URptEtatVir.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/ReportLayout.h"
#include "reports/etats/PaymentStatementData.h"

#include <QLocale>

#include <algorithm>

namespace {

int Px(double mm)
{
    return int(rpt::MmToPx(mm) + 0.5);
}

QRect MmRect(double top, double left, double width, double height)
{
    return {Px(left), Px(top), Px(width), Px(height)};
}

const QString MissingKey = QStringLiteral("9999");

} // namespace

std::vector<TBankTransferRow> TransferRows(qint64 idMdt, bool separated, QDate* orderDate)
{
    TPaymentStatementData data;
    data.Load(idMdt);
    if (orderDate)
        *orderDate = data.dateMdt;
    std::vector<TBankTransferRow> rows;
    rows.reserve(data.lines.size());
    int num = 0;
    for (const TStatementLine& line : data.lines) {
        TBankTransferRow row;
        row.num = ++num;
        row.idBen = line.idBen;
        row.montant = line.amount;
        row.key = MissingKey;
        row.compte = QStringLiteral("????");
        row.nom = QStringLiteral("??");
        const TStatementBeneficiary* ben = line.idBen == -1 ? nullptr : data.Beneficiary(line.idBen);
        if (ben && ben->found) {
            row.nom = ben->nom;
            row.compte = ben->compte;
            const QString bank = ben->bankFound ? ben->bank : QStringLiteral("??");
            if (separated)
                row.key = bank;
            else
                row.key = IsPostalBankName(bank) ? QStringLiteral("0") : QStringLiteral("1");
        }
        rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TBankTransferRow& a, const TBankTransferRow& b) { return a.key < b.key; });
    return rows;
}

QString TransferGroupHeading(const QString& key, bool separated)
{
    if (separated)
        return key;
    return key == QLatin1String("0") ? QStringLiteral("CCP") : QStringLiteral("BANQUE");
}

TfrmRptEtatVir::TfrmRptEtatVir() : TReportForm(QStringLiteral("RptEtatVir"), QStringLiteral("Etat de virements"))
{
    Param(QStringLiteral("IdMdt"), IdMdt);
    rpt::Report& r = report();
    r.setPage(rpt::PageSetup::Custom(306, 210, QPageLayout::Portrait, {10, 5, 10, 10}));
    r.setFont(QFont(QStringLiteral("Arial"), 10));
    r.setFirstPageHeader(true);
    r.setLastPageFooter(true);
    r.onBeforePrint = [this] { EtatVirBeforePrint(); };

    rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), Px(8));
    // The faculty wraps over the band's height below its top.
    rpt::Label* faculty = header->addLabel(QStringLiteral("lFac"), MmRect(1.3, 96.3, 90, 8 - 1.3));
    faculty->setWordWrap(true);

    // One group per bank, each on pages of its own.
    rpt::Band* group = r.addBand(rpt::BandKind::GroupHeader, QStringLiteral("bdBanque"), Px(47.4));
    group->setGroupField(QStringLiteral("BANQUE"));
    group->setForceNewPage(true);
    group->addLabel(QStringLiteral("lMonth"), MmRect(23.0, 17.5, 34, 6));
    rpt::Label* bank = group->addLabel(QStringLiteral("lblBnq"), MmRect(23.0, 54.0, 100, 6));
    bank->setBold(true);
    group->addLabel(QStringLiteral("lYear"), MmRect(23.0, 158.2, 30, 6));
    group->onBeforePrint = [this](rpt::Band&, bool&) {
        rpt::Report& rep = report();
        rep.label(QStringLiteral("lMonth"))
            ->setCaption(m_orderDate.isValid()
                             ? QLocale(QLocale::French).standaloneMonthName(m_orderDate.month()).toUpper()
                             : QString());
        rep.label(QStringLiteral("lYear"))
            ->setCaption(m_orderDate.isValid() ? QString::number(m_orderDate.year()) : QString());
        rpt::Label* heading = rep.label(QStringLiteral("lblBnq"));
        heading->setFontSize(10);
        heading->setCaption(TransferGroupHeading(db::toText(rep.value(QStringLiteral("BANQUE"))), Separated));
        heading->shrinkToFit(rpt::MinFontPoints);
        // The running total restarts with the group's first row: the page
        // footer closing the previous group still shows that group's total.
        m_groupStarts = true;
    };

    rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), Px(8.2));
    detail->addDataText(QStringLiteral("dbIdBen"), MmRect(1, 20.4, 22, 6), QStringLiteral("ID_BEN"));
    detail->addLabel(QStringLiteral("lNom"), MmRect(1, 45.0, 47.5, 6))->setWordWrap(true);
    rpt::Label* compte = detail->addLabel(QStringLiteral("lCompte"), MmRect(1, 93.4, 55, 6));
    compte->setAlignment(Qt::AlignRight);
    compte->setWordWrap(true);
    rpt::Label* nap = detail->addLabel(QStringLiteral("lNap"), MmRect(1, 150.8, 38, 6));
    nap->setAlignment(Qt::AlignRight);
    // The rows' texts, in the columns' sizes (EtatVirBeforePrint).
    detail->onBeforePrint = [this](rpt::Band&, bool&) {
        rpt::Report& rep = report();
        rep.label(QStringLiteral("lNom"))->setCaption(db::toText(rep.value(QStringLiteral("NOM"))));
        rep.label(QStringLiteral("lCompte"))->setCaption(db::toText(rep.value(QStringLiteral("COMPTE"))));
        rep.label(QStringLiteral("lNap"))->setCaption(db::toCurrency(rep.value(QStringLiteral("MONTANT"))).formatMoney());
    };
    detail->onAfterPrint = [this](rpt::Band&, bool printed) {
        if (!printed)
            return;
        if (m_groupStarts)
            m_running = Currency();
        m_groupStarts = false;
        m_running += db::toCurrency(report().value(QStringLiteral("MONTANT")));
    };

    rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), Px(48.2));
    footer->addSum(QStringLiteral("expTotPage"), MmRect(15.9, 136.0, 53, 6), QStringLiteral("MONTANT"),
                   rpt::Reset::Page)
        ->setAlignment(Qt::AlignRight);
    rpt::Label* running = footer->addLabel(QStringLiteral("expTotG"), MmRect(29.9, 136.0, 53, 6));
    running->setAlignment(Qt::AlignRight);
    footer->onBeforePrint = [this](rpt::Band&, bool&) {
        report().label(QStringLiteral("expTotG"))->setCaption(rpt::FormatAmount(m_running, rpt::MoneyMask).trimmed());
    };
    r.setRows(&m_rows);
}

void TfrmRptEtatVir::FormCreate()
{
    Separated = ShowStandardDialog(QStringLiteral("Voulez-vous dissocier les banques ?"),
                                   StdDialogType::Confirmation, MsgButton::Yes | MsgButton::No)
                == mrYes;
}

void TfrmRptEtatVir::EtatVirBeforePrint()
{
    rpt::Report& r = report();
    LoadReportLayout(r);
    rpt::Label* faculty = r.label(QStringLiteral("lFac"));
    faculty->setFontSize(10);
    faculty->setCaption(FacultyName);
    faculty->shrinkToFit(rpt::MinFontPoints);
    m_list = TransferRows(IdMdt, Separated, &m_orderDate);
    m_running = Currency();
    m_groupStarts = true;
    QStringList tooLong;
    QStringList names, accounts, amounts;
    std::vector<std::vector<db::Value>> values;
    values.reserve(m_list.size());
    for (const TBankTransferRow& row : m_list) {
        names << row.nom;
        accounts << row.compte;
        amounts << row.montant.formatMoney();
        if (row.compte.size() > AccountLength)
            tooLong << row.nom + QStringLiteral(" : ") + row.compte;
        values.push_back({row.key, row.idBen == -1 ? db::Value() : db::Value(row.idBen), qint64(row.num), row.nom, row.compte, row.montant});
    }
    // The cells of a column shrink together, whichever row needs it.
    const std::pair<const char*, const QStringList*> columns[] = {
        {"lNom", &names}, {"lCompte", &accounts}, {"lNap", &amounts}};
    for (const auto& [name, texts] : columns) {
        rpt::Label* cell = r.label(QString::fromLatin1(name));
        cell->setFontSize(10);
        rpt::ShrinkColumn(*cell, *texts, rpt::MinFontPoints);
    }
    m_rows.setRows({QStringLiteral("BANQUE"), QStringLiteral("ID_BEN"), QStringLiteral("NUM"), QStringLiteral("NOM"),
                    QStringLiteral("COMPTE"), QStringLiteral("MONTANT")},
                   std::move(values));
    if (!tooLong.isEmpty())
        r.warn(QStringLiteral("Compte de plus de %1 caractères (imprimé en entier) :\r").arg(AccountLength)
               + tooLong.join(QLatin1Char('\r')));
}
