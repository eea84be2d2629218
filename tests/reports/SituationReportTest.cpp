// The printed financial situation: the lines of every chapter with its total,
// the carried sums at the foot of a page and at the head of the next, the
// grand total, and the rate rule, read on the page model.
#include "common/DocumentFixture.h"
#include "budget/SituationStore.h"
#include "budget/USF.h"
#include "data/WriteGuard.h"
#include "reports/UPaper.h"
#include "reports/budget/URptSF_S1_S2.h"

namespace {

Currency Parse(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('%'));
    return Currency::parse(text).value_or(Currency::fromRaw(-1));
}

class SituationReportTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        TfrmPaper::SetResponder([] { return 0; });
    }
    void TearDown() override
    {
        TfrmPaper::SetResponder({});
        DocumentTest::TearDown();
    }

    static TSituationRow Row(const QString& chap, const QString& art, const QString& title, Currency crAl,
                             Currency crRv, Currency pmt)
    {
        TSituationRow r;
        r.idFnm = 1;
        r.chap = chap;
        r.art = art;
        r.par = art == QLatin1String(".") ? QStringLiteral(".") : QString();
        r.intitule = title;
        return CorrectedSituationRow(r, crAl, crRv, Currency(), pmt);
    }

    void Store(const std::vector<TSituationRow>& rows)
    {
        TWriteGuard write;
        TSituationStore(DM->LURDO).Replace(rows);
        write.Commit();
    }

    std::unique_ptr<rpt::PreparedPages> Print()
    {
        form.DateD = QDate(2024, 1, 1);
        form.DateF = QDate(2024, 6, 30);
        form.Rows = StoredSituation;   // as the situation window hands them
        return form.Prepare();
    }

    TfrmRptSF_S1_S2 form;
};

TEST_F(SituationReportTest, CarriedSumsAtTheFootOfAPageAndTheHeadOfTheNextEqualTheLinesPrinted)
{
    // Three chapters of 30 lines, some with titles that take three lines.
    std::vector<TSituationRow> rows;
    std::vector<Currency> chapterSums;
    Currency all;
    for (int c = 1; c <= 3; ++c) {
        const QString chap = QStringLiteral("21-0%1").arg(c);
        rows::BudgetLine(chap, QString(), QString(), QStringLiteral("Chapitre %1").arg(c));
        rows.push_back(Row(chap, QString(), QStringLiteral("Chapitre %1").arg(c), rows::Money("99999"),
                           rows::Money("99999"), Currency()));
        Currency sum;
        for (int a = 1; a <= 30; ++a) {
            const QString title = a % 7 == 0 ? QStringLiteral("Entretien, réparation et maintenance des bâtiments, "
                                                              "des installations techniques et des réseaux de la "
                                                              "faculté, y compris les fournitures nécessaires %1")
                                                   .arg(a)
                                             : QStringLiteral("Ligne %1").arg(a);
            const Currency amount = rows::Money("100.25") * (c * 100 + a);
            rows.push_back(Row(chap, QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0')), title, amount, amount,
                               Currency::fromUnits(a)));
            sum += amount;
        }
        chapterSums.push_back(sum);
        all += sum;
    }
    Store(rows);

    std::vector<QStringList> firstRun;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const auto pages = Print();
        ASSERT_GE(pages->count(), 3);
        Currency carried;
        std::vector<QStringList> texts;
        for (int p = 0; p < pages->count(); ++p) {
            const rpt::Page& page = pages->page(p);
            texts.push_back(page.texts());
            if (p > 0) {
                // The head of the page carries what the foot of the one before did.
                EXPECT_EQ(Parse(page.textsOf(QStringLiteral("lRepCrAl")).value(0)), carried) << p;
            } else {
                EXPECT_TRUE(page.textsOf(QStringLiteral("lRepCrAl")).isEmpty());
            }
            for (const QString& amount : page.textsOf(QStringLiteral("lLigCrAl")))
                carried += Parse(amount);
            const QStringList foot = page.textsOf(QStringLiteral("lCarCrAl"));
            if (p + 1 < pages->count()) {
                ASSERT_EQ(foot.size(), 1) << p;
                EXPECT_EQ(Parse(foot.first()), carried) << p;
            } else {
                EXPECT_TRUE(foot.isEmpty());
            }
        }
        EXPECT_EQ(carried, all);
        QStringList chapters;
        for (int p = 0; p < pages->count(); ++p)
            chapters << pages->page(p).textsOf(QStringLiteral("lChapCrAl"));
        ASSERT_EQ(chapters.size(), 3);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Parse(chapters[c]), chapterSums[size_t(c)]);
        const QStringList grand = pages->page(pages->count() - 1).textsOf(QStringLiteral("lGenCrAl"));
        ASSERT_EQ(grand.size(), 1);
        EXPECT_EQ(Parse(grand.first()), all);
        // A reprint from the preview gives the same pages.
        if (run == 0)
            firstRun = texts;
        else
            EXPECT_EQ(texts, firstRun);
    }
}

TEST_F(SituationReportTest, RatesFallBackOnInitialCreditsAndTheRecapPrintsItsTwoSections)
{
    struct Case {
        const char* what;
        std::vector<TSituationRow> rows;
        QStringList lineRates;
        QString chapterTitle;
        QString total;
    };
    const Case cases[] = {
        {"budget lines",
         {Row(QStringLiteral("21-01"), QString(), QStringLiteral("Chapitre"), Currency(), Currency(), Currency()),
          Row(QStringLiteral("21-01"), QStringLiteral("01"), QStringLiteral("A"), rows::Money("500"), Currency(),
              rows::Money("250")),
          Row(QStringLiteral("21-01"), QStringLiteral("02"), QStringLiteral("B"), rows::Money("3"), rows::Money("3"),
              rows::Money("2"))},
         {QStringLiteral("50.00 %"), QStringLiteral("66.66 %")},
         QStringLiteral("21-01 : Chapitre 21-01"),
         QStringLiteral("503.00")},
        {"general recap",
         {Row(QStringLiteral("R"), QStringLiteral("."), QStringLiteral("SECTION 1"), rows::Money("100"),
              rows::Money("100"), rows::Money("10")),
          Row(QStringLiteral("R"), QStringLiteral("."), QStringLiteral("SECTION 2"), rows::Money("300"),
              rows::Money("300"), rows::Money("30"))},
         {QStringLiteral("10.00 %"), QStringLiteral("10.00 %")},
         QString(),
         QStringLiteral("400.00")},
    };
    rows::BudgetLine(QStringLiteral("21-01"), QString(), QString(), QStringLiteral("Chapitre 21-01"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store(c.rows);
        const auto pages = Print();
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(page.textsOf(QStringLiteral("lLigTx")), c.lineRates);
        EXPECT_EQ(page.textsOf(QStringLiteral("lChapitre")).join(QString()), c.chapterTitle);
        EXPECT_EQ(page.textsOf(QStringLiteral("lChapCrAl")), QStringList{c.total});
        EXPECT_EQ(page.textsOf(QStringLiteral("lGenCrAl")), QStringList{c.total});
        // One page: nothing carried at its foot or head.
        EXPECT_TRUE(page.textsOf(QStringLiteral("lCarCrAl")).isEmpty());
        EXPECT_TRUE(page.textsOf(QStringLiteral("lRepCrAl")).isEmpty());
    }
}

} // namespace
