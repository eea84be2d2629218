// The transfer statement by bank, read from its page model: the groups of the
// two modes, one group per page run, the page and running totals, the rows of
// a run its own, the placeholders of a missing beneficiary.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/TextBoxes.h"
#include "common/YearDb.h"
#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "reports/ReportTestSupport.h"
#include "reports/etats/URptEtatVir.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>

namespace {

using rows::Money;

Currency Printed(const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char(' '));
    return Currency::parse(plain).value_or(Currency());
}

class TransferStatementTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        InitProgramResources();
        RegisterFontSubstitutions();
        SetMessageResponder([this](const MessageCall& call) {
            asked << call.text;
            return answer;
        });
        bna = Bank(QStringLiteral("BNA"));
        ccp = Bank(QStringLiteral(" c.c.p "));
        badr = Bank(QStringLiteral("BADR"));
        line = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("01"), QString(), QStringLiteral("Papeterie"));
    }

    void TearDown() override
    {
        SetMessageResponder(nullptr);
        YearDbTest::TearDown();
    }

    static qint64 Bank(const QString& name)
    {
        rows::Write([&] { rows::Exec(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, :N)"), {{"N", name}}); });
        return rows::Scalar(QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
    }

    static qint64 Person(const QString& name, qint64 bank, const QString& account)
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, SERVICE_GRADE, NOM, ID_BANQUE, COMPTE) "
                                      "VALUES (:T, 1, :N, :B, :C)"),
                       {{"T", toDbValue(BeneficiaryType::Employee)}, {"N", name}, {"B", bank}, {"C", account}});
        });
        return rows::Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
    }

    qint64 Pay(qint64 ben, const char* amount) const
    {
        return rows::Expense(ExpenseKind::Mission, line, ben, Money(amount));
    }

    qint64 bna = 0, ccp = 0, badr = 0;
    QStringList asked;
    int answer = mrNo;
    qint64 line = 0;
};

QStringList Keys(const std::vector<TBankTransferRow>& rows)
{
    QStringList keys;
    for (const TBankTransferRow& r : rows)
        keys << QStringLiteral("%1:%2:%3:%4").arg(r.key).arg(r.num).arg(r.nom, r.compte);
    return keys;
}

TEST_F(TransferStatementTest, GroupsOfTheTwoModesEachOnItsOwnPages)
{
    const qint64 ann = Person(QStringLiteral("ANN"), bna, QStringLiteral("A-1"));
    const qint64 bob = Person(QStringLiteral("BOB"), ccp, QStringLiteral("B-2"));
    const qint64 cat = Person(QStringLiteral("CAT"), badr, QStringLiteral("C-3"));
    const qint64 dan = Person(QStringLiteral("DAN"), 9999, QStringLiteral("D-4"));   // no such bank
    rows::PaymentOrder(50, {Pay(ann, "100"), Pay(bob, "20"), Pay(9876, "3"), Pay(cat, "40"), Pay(dan, "5")});

    struct Case {
        bool separated;
        QStringList rows;
        QStringList headings;   // one per page
    };
    const Case cases[] = {
        {false,
         {"0:2:BOB:B-2", "1:1:ANN:A-1", "1:4:CAT:C-3", "1:5:DAN:D-4", "9999:3:??:????"},
         {"CCP", "BANQUE", "BANQUE"}},
        {true,
         {"9999:3:??:????", "??:5:DAN:D-4", "BADR:4:CAT:C-3", "BNA:1:ANN:A-1", "c.c.p:2:BOB:B-2"},
         {"9999", "??", "BADR", "BNA", "c.c.p"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.separated ? "separated" : "grouped");
        EXPECT_EQ(Keys(TransferRows(50, c.separated)), c.rows);
        asked.clear();
        answer = c.separated ? mrYes : mrNo;
        TfrmRptEtatVir form;
        form.IdMdt = 50;
        const auto pages = form.Prepare();
        EXPECT_EQ(asked, QStringList({"Voulez-vous dissocier les banques ?"}));
        QStringList headings;
        for (const rpt::Page& page : pages->pages)
            headings << page.textsOf(QStringLiteral("lblBnq")).join(QString());
        EXPECT_EQ(headings, c.headings);   // no page after the last group
        // The month and the year of the order's date (05/03/2024).
        EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lMonth")), QStringList({"MARS"}));
        EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lYear")), QStringList({"2024"}));
        // Printing again from the preview asks nothing more.
        const auto again = form.PrepareAgain();
        EXPECT_EQ(asked.size(), 1);
        EXPECT_EQ(again->texts(), pages->texts());
    }
}

// A group longer than a page: each page's total is the sum of its rows, the
// running total that of the group's rows so far; the next group starts again.
TEST_F(TransferStatementTest, PageAndRunningTotalsRestartWithEachGroup)
{
    const qint64 ann = Person(QStringLiteral("ANN"), bna, QStringLiteral("A-1"));
    const qint64 bob = Person(QStringLiteral("BOB"), ccp, QStringLiteral("B-2"));
    QList<qint64> lines;
    for (int i = 0; i < 30; ++i)
        lines << Pay(ann, "1000.50");
    lines << Pay(bob, "7");
    rows::PaymentOrder(51, lines);
    TfrmRptEtatVir form;
    form.IdMdt = 51;
    const auto pages = form.Prepare();
    ASSERT_EQ(pages->count(), 3);   // CCP, then the banks on two pages
    Currency running;
    QString group;
    for (int p = 0; p < pages->count(); ++p) {
        SCOPED_TRACE(p + 1);
        const rpt::Page& page = pages->page(p);
        const QString heading = page.textsOf(QStringLiteral("lblBnq")).join(QString());
        if (!heading.isEmpty() && heading != group) {
            group = heading;
            running = Currency();
        }
        Currency sum;
        for (const QString& amount : page.textsOf(QStringLiteral("lNap")))
            sum += Printed(amount);
        running += sum;
        EXPECT_EQ(Printed(page.textsOf(QStringLiteral("expTotPage")).join(QString())), sum);
        EXPECT_EQ(Printed(page.textsOf(QStringLiteral("expTotG")).join(QString())), running);
    }
    EXPECT_EQ(running, Money("1000.50") * 30);
    EXPECT_EQ(form.PrepareAgain()->texts(), pages->texts());
}

// The rows belong to the run that read them: a statement of another order
// printed in between does not change what a reprint prints.
TEST_F(TransferStatementTest, EachStatementKeepsItsOwnRows)
{
    const qint64 ann = Person(QStringLiteral("ANN"), bna, QStringLiteral("A-1"));
    const qint64 bob = Person(QStringLiteral("BOB"), badr, QStringLiteral("B-2"));
    rows::PaymentOrder(52, {Pay(ann, "10")});
    rows::PaymentOrder(53, {Pay(bob, "20")});
    TfrmRptEtatVir first;
    first.IdMdt = 52;
    const auto before = first.Prepare();
    TfrmRptEtatVir second;
    second.IdMdt = 53;
    EXPECT_EQ(second.Prepare()->page(0).textsOf(QStringLiteral("lNom")), QStringList({"BOB"}));
    const auto again = first.PrepareAgain();
    EXPECT_EQ(again->page(0).textsOf(QStringLiteral("lNom")), QStringList({"ANN"}));
    EXPECT_EQ(again->texts(), before->texts());
}

// An account longer than the form's 30 characters prints whole, and the user
// is told once.
TEST_F(TransferStatementTest, LongAccountPrintsWholeAndIsReported)
{
    const QString account = QStringLiteral("0123456789 0123456789 0123456789 01");
    const qint64 ann = Person(QStringLiteral("ANN"), bna, account);
    rows::PaymentOrder(54, {Pay(ann, "10")});
    TfrmRptEtatVir form;
    form.IdMdt = 54;
    const auto pages = form.Prepare();
    EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lCompte")), QStringList({account}));
    ASSERT_EQ(pages->warnings.size(), 1);
    EXPECT_TRUE(pages->warnings.first().contains(account));
}

// A long faculty name wraps in the page header in place of ending with the
// ellipsis; the cells of a column print in one size, the one its longest
// value needs.
TEST_F(TransferStatementTest, LongTextsWrapOrShrinkTheirColumnTogether)
{
    const QString savedFaculty = FacultyName;
    FacultyName = QStringLiteral("Faculté des Sciences Economiques, des Sciences Commerciales et des Sciences de Gestion");
    const QString longName = QStringLiteral("ETABLISSEMENTS BENALI ET FILS");
    const qint64 ann = Person(QStringLiteral("ANN"), bna, QStringLiteral("A-1"));
    const qint64 big = Person(longName, bna, QStringLiteral("B-2"));
    rows::PaymentOrder(55, {Pay(ann, "10"), Pay(big, "20"), Pay(ann, "30")});
    TfrmRptEtatVir form;
    form.IdMdt = 55;
    const auto pages = form.Prepare();
    FacultyName = savedFaculty;
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    ExpectTextsInTheirBoxes(page);
    const rpt::PageItem* faculty = page.item(QStringLiteral("lFac"));
    ASSERT_NE(faculty, nullptr);
    EXPECT_EQ(faculty->text.split(QLatin1Char('\n')).join(QLatin1Char(' ')),
              QStringLiteral("Faculté des Sciences Economiques, des Sciences Commerciales et des Sciences de Gestion"));
    EXPECT_GT(faculty->text.count(QLatin1Char('\n')), 0);
    EXPECT_LE(faculty->rect.bottom(), page.bands.at(0).rect.bottom() + 0.01);

    const QStringList names = page.textsOf(QStringLiteral("lNom"));
    EXPECT_TRUE(names.contains(longName)) << names.join(QLatin1Char('|')).toStdString();
    const double size = page.item(QStringLiteral("lNom"))->font.pointSizeF();
    EXPECT_LT(size, 10);
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(page.item(QStringLiteral("lNom"), i)->font.pointSizeF(), size) << i;
}

} // namespace
