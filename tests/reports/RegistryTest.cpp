// Every document the program registers can be created by its unit name
// without the database, names its report, and names each band and control
// once, so stored layouts and the layout editor find them by name.
#include "reports/DocumentRegistry.h"
#include "reports/ReportTestSupport.h"
#include "reports/TestDocument.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(DocumentRegistry, DocumentsAreCreatedByNameWithUniquelyNamedBandsAndControls)
{
    RegisterProgramDocuments();
    RegisterDocument(QStringLiteral("URptTest"), [] { return std::make_unique<TestDocument>(3); });
    EXPECT_EQ(CreateDocument(QStringLiteral("URptInconnu")), nullptr);
    ASSERT_NE(CreateDocument(QStringLiteral("urpttest")), nullptr);

    for (const QString& unit : RegisteredDocuments()) {
        SCOPED_TRACE(unit.toStdString());
        std::unique_ptr<TReportForm> form = CreateDocument(unit);
        ASSERT_NE(form, nullptr);
        const rpt::Report& report = form->report();
        EXPECT_FALSE(report.name().isEmpty());
        EXPECT_FALSE(report.title().isEmpty());
        QSet<QString> names;
        for (const auto& band : report.bands()) {
            EXPECT_FALSE(names.contains(band->name().toUpper())) << band->name().toStdString();
            names.insert(band->name().toUpper());
            for (const auto& control : band->controls()) {
                EXPECT_FALSE(names.contains(control->name().toUpper())) << control->name().toStdString();
                names.insert(control->name().toUpper());
                // Stored layouts keep names of at most 20 characters.
                EXPECT_LE(control->name().size(), 20) << control->name().toStdString();
            }
        }
    }
    TestDocument doc(3);
    EXPECT_EQ(doc.ParameterNames(), QStringList{QStringLiteral("Rows")});
    EXPECT_TRUE(doc.SetParameter(QStringLiteral("rows"), QStringLiteral(" 7 ")));
    EXPECT_EQ(doc.Rows, 7);
    EXPECT_FALSE(doc.SetParameter(QStringLiteral("Rows"), QStringLiteral("sept")));
    EXPECT_FALSE(doc.SetParameter(QStringLiteral("Inconnu"), QStringLiteral("1")));
    EXPECT_EQ(doc.Rows, 7);
}
