#pragma once
// A small document for the tests of the report frame: a page header, one
// detail row per amount (1, 2, 3 ...), a page footer with the page's sum and
// the page number, and a summary with the total.

#include "reports/ReportForm.h"

#include <QStringList>

class TestDocument : public TReportForm {
public:
    // `rows` amounts, `perPage` detail rows to a page.
    explicit TestDocument(int rows, int perPage = 10)
        : TReportForm(QStringLiteral("RptTest"), QStringLiteral("Etat de test")), Rows(rows)
    {
        Param(QStringLiteral("Rows"), Rows);
        rpt::Report& r = report();
        r.setPage(rpt::PageSetup::Standard(rpt::Paper::A4, QPageLayout::Portrait, {10, 10, 10, 10}));
        rpt::Band* header = r.addBand(rpt::BandKind::PageHeader, QStringLiteral("bdEntete"), 40);
        header->addLabel(QStringLiteral("lTitre"), {0, 0, 400, 20}, QStringLiteral("Etat de test"))->setBold(true);
        const double body = rpt::MmToPx(297 - 20) - 40 - 30;
        rpt::Band* detail = r.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), int(body / perPage));
        detail->addDataText(QStringLiteral("dbNo"), {0, 0, 60, 16}, QStringLiteral("NO"));
        detail->addDataText(QStringLiteral("dbMt"), {100, 0, 150, 16}, QStringLiteral("MT"), rpt::MoneyMask)
            ->setAlignment(Qt::AlignRight);
        rpt::Band* footer = r.addBand(rpt::BandKind::PageFooter, QStringLiteral("bdPied"), 30);
        footer->addSum(QStringLiteral("expPage"), {100, 4, 150, 16}, QStringLiteral("MT"), rpt::Reset::Page)
            ->setAlignment(Qt::AlignRight);
        footer->addSysData(QStringLiteral("lPage"), {300, 4, 150, 16}, rpt::SysData::Value::PageNumber,
                           QStringLiteral("Page : "));
        rpt::Band* summary = r.addBand(rpt::BandKind::Summary, QStringLiteral("bdTotal"), 24);
        summary->addSum(QStringLiteral("expTotal"), {100, 4, 150, 16}, QStringLiteral("MT"), rpt::Reset::Report)
            ->setAlignment(Qt::AlignRight);
        r.onBeforePrint = [this] {
            ++BeforePrints;
            std::vector<std::vector<db::Value>> rows;
            for (int i = 1; i <= Rows; ++i)
                rows.push_back({db::Value(qint64(i)), db::Value(Currency::fromUnits(i))});
            m_rows.setRows({QStringLiteral("NO"), QStringLiteral("MT")}, std::move(rows));
            if (!Warning.isEmpty())
                report().warn(Warning);
        };
        r.onAfterPrint = [this] { ++AfterPrints; };
        r.setRows(&m_rows);
    }

    int Rows;
    QString Warning;          // raised at every run when set
    int BeforePrints = 0;
    int AfterPrints = 0;
    int FormCreates = 0;

protected:
    void FormCreate() override { ++FormCreates; }

private:
    rpt::TableRows m_rows;
};
