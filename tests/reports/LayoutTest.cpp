// Stored layouts: the positions stored for a report move its controls of the
// same name, and nothing else.
#include "common/YearDb.h"
#include "reports/ReportLayout.h"
#include "reports/engine/Report.h"

#include <gtest/gtest.h>

namespace {

class ReportLayoutTest : public YearDbTest {
protected:
    void Store(const QString& report, const QString& control, int left, int top, int height, int width)
    {
        db::Query q(DM->LURDO, QStringLiteral("INSERT INTO REPORT (REPORTNAME, COMPNAME, PLEFT, PTOP, PHEIGHT, "
                                              "PWIDTH, FNAME, FSIZE) VALUES (:R, :C, :L, :T, :H, :W, :F, :S)"));
        q.setParam("R", report);
        q.setParam("C", control);
        q.setParam("L", left);
        q.setParam("T", top);
        q.setParam("H", height);
        q.setParam("W", width);
        q.setParam("F", QStringLiteral("Courier New"));
        q.setParam("S", 20);
        q.exec();
    }
};

} // namespace

TEST_F(ReportLayoutTest, StoredPositionsMoveTheNamedControlsOfThatReportOnly)
{
    Store(QStringLiteral("RPTMANDAT_P"), QStringLiteral("LNOM"), 120, 0, 30, 0);        // top and width kept
    Store(QStringLiteral("RPTMANDAT_P"), QStringLiteral("SHPCADRE"), 5, 300, 40, 500);
    Store(QStringLiteral("RPTMANDAT_P"), QStringLiteral("LDISPARU"), 1, 1, 1, 1);      // no such control
    Store(QStringLiteral("RPTMANDAT_2205_P"), QStringLiteral("LBNQ"), 400, 400, 40, 40);
    ASSERT_TRUE(DM->CommitWork());

    rpt::Report report(QStringLiteral("RptMandat_P"));
    rpt::Band* detail = report.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 1000);
    rpt::Label* lNom = detail->addLabel(QStringLiteral("lNom"), {10, 20, 200, 18});
    rpt::Label* lBnq = detail->addLabel(QStringLiteral("lBnq"), {10, 60, 200, 18});
    rpt::Shape* frame = detail->addShape(QStringLiteral("shpCadre"), {0, 100, 300, 60});
    const QFont font = lNom->font();

    LoadReportLayout(report);
    EXPECT_EQ(lNom->rect(), QRect(120, 20, 200, 30));
    EXPECT_EQ(lNom->font(), font);   // fonts of the rows are not applied
    EXPECT_EQ(frame->rect(), QRect(5, 300, 500, 40));
    EXPECT_EQ(lBnq->rect(), QRect(10, 60, 200, 18));   // another report's row

    // A report without rows keeps its design.
    rpt::Report other(QStringLiteral("RptFEDep_PreImp"));
    rpt::Label* lNom2 = other.addBand(rpt::BandKind::Detail, QStringLiteral("bdDetail"), 100)
                            ->addLabel(QStringLiteral("lNom"), {10, 20, 200, 18});
    LoadReportLayout(other);
    EXPECT_EQ(lNom2->rect(), QRect(10, 20, 200, 18));
}
