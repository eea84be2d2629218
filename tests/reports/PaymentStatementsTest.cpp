// The payment statements of an order, read from their page model: the rows,
// their numbers and the totals in figures and in words over a page break and
// a reprint, the titles, the registration-fee rules and the column rules.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/TextBoxes.h"
#include "common/YearDb.h"
#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/Routines.h"
#include "reports/ReportTestSupport.h"
#include "reports/UPaper.h"
#include "reports/etats/URptEtatPAllocEt.h"
#include "reports/etats/URptEtatPCongeSc.h"
#include "reports/etats/URptEtatPFact.h"
#include "reports/etats/URptEtatPMission.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using rows::Money;

// An amount as printed ("1 234.50").
Currency Printed(const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char(' '));
    const std::optional<Currency> value = Currency::parse(plain);
    EXPECT_TRUE(value.has_value()) << text.toStdString();
    return value.value_or(Currency());
}

// The texts one control printed on every page, page after page.
QStringList TextsOf(const rpt::PreparedPages& pages, const QString& control)
{
    QStringList texts;
    for (const rpt::Page& page : pages.pages)
        texts << page.textsOf(control);
    return texts;
}

QString LastText(const rpt::PreparedPages& pages, const QString& control)
{
    const QStringList texts = TextsOf(pages, control);
    return texts.isEmpty() ? QString() : texts.last().simplified();
}

class PaymentStatementsTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        InitProgramResources();
        RegisterFontSubstitutions();
        saved = {City, UniversityName, FacultyName, Signatory};
        City = QStringLiteral("Alger");
        UniversityName = QStringLiteral("Université Test");
        FacultyName = QStringLiteral("Faculté des Sciences");
        Signatory = QStringLiteral("Le Doyen");
        messages = std::make_unique<MessageRecorder>();
        TfrmPaper::SetResponder([this] {
            ++paperQuestions;
            return 0;
        });
        rows::Write([] {
            rows::Exec(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'BNA')"));
            rows::Exec(QStringLiteral("INSERT INTO GRADE (ID_GRADE, LIBELLE) VALUES (0, 'Maître de conférences')"));
        });
        bank = rows::Scalar(QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
        grade = rows::Scalar(QStringLiteral("SELECT MAX(ID_GRADE) FROM GRADE"));
        fees = rows::BudgetLine(QStringLiteral("21-19"), QStringLiteral("03"), QString(), QStringLiteral("Inscriptions"));
        leave = rows::BudgetLine(QStringLiteral("22-19"), QStringLiteral("04"), QString(), QStringLiteral("Congés"));
        dotted = rows::BudgetLine(QStringLiteral("21.19"), QStringLiteral("03"), QString(), QStringLiteral("Pointé"));
        other = rows::BudgetLine(QStringLiteral("22-19"), QStringLiteral("05"), QString(), QStringLiteral("Autre"));
        supplies = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("01"), QString(), QStringLiteral("Papeterie"));
    }

    void TearDown() override
    {
        TfrmPaper::SetResponder(nullptr);
        messages.reset();
        City = saved.city;
        UniversityName = saved.university;
        FacultyName = saved.faculty;
        Signatory = saved.signatory;
        YearDbTest::TearDown();
    }

    qint64 Person(const QString& name, const QString& account) const
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, SERVICE_GRADE, NOM, ADR, VILLE, RC, MF, AI, "
                                      "ID_BANQUE, COMPTE) VALUES (:T, :G, :N, 'Rue 1', 'Alger', 'RC1', 'MF1', 'AI1', "
                                      ":B, :C)"),
                       {{"T", toDbValue(BeneficiaryType::Employee)}, {"N", name}, {"C", account}, {"G", grade},
                        {"B", bank}});
        });
        return rows::Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
    }

    static qint64 Line(ExpenseKind kind, qint64 fnm, qint64 ben, const char* amount,
                       PaymentType rembours = PaymentType::Payment)
    {
        const qint64 id = rows::Expense(kind, fnm, ben, Money(amount));
        rows::Write([&] {
            rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=:R WHERE ID_DEPENSE=:ID"),
                       {{"R", toDbValue(rembours)}, {"ID", id}});
        });
        return id;
    }

    struct Saved {
        QString city, university, faculty, signatory;
    } saved;
    std::unique_ptr<MessageRecorder> messages;
    int paperQuestions = 0;
    qint64 bank = 0, grade = 0;
    qint64 fees = 0, leave = 0, dotted = 0, other = 0, supplies = 0;
};

// Each statement on an order too long for one page, then printed again: the
// amounts printed add up to the total in figures, the words say that total,
// and the reprint prints the same.
TEST_F(PaymentStatementsTest, TotalsAgreeWithTheRowsOverPagesAndReprints)
{
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    const qint64 bob = Person(QStringLiteral("BOB"), QStringLiteral("0002"));
    QList<qint64> lines;
    for (int i = 0; i < 44; ++i)
        lines << Line(ExpenseKind::Mission, i % 2 ? fees : leave, i % 3 ? ann : bob, i == 7 ? "1234567890.12" : "1500.25");
    rows::PaymentOrder(40, lines);

    struct Case {
        const char* name;
        std::function<std::unique_ptr<TPaymentStatementForm>()> make;
        const char* amount;   // the detail control of the amounts
        const char* total;    // the total in figures
        int rows;             // rows printed
    };
    const Case cases[] = {
        {"invoices", [] { return std::make_unique<TfrmRptEtatPFact>(); }, "lMontant", "lTotal", 44},
        {"missions", [] { return std::make_unique<TfrmRptEtatPMission>(); }, "lMontant", "lTotP", 44},
        {"allowances", [] { return std::make_unique<TfrmRptEtatPAllocEt>(); }, "lMontant", "lTotP", 44},
        {"fees and leave", [] { return std::make_unique<TfrmRptEtatPCongeSc>(); }, "lTotal", "lTotG", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TPaymentStatementForm> form = c.make();
        form->IdMdt = 40;
        std::unique_ptr<rpt::PreparedPages> first = form->Prepare();
        std::unique_ptr<rpt::PreparedPages> again = form->PrepareAgain();
        for (const rpt::PreparedPages* pages : {first.get(), again.get()}) {
            const QStringList amounts = TextsOf(*pages, QString::fromLatin1(c.amount));
            ASSERT_EQ(amounts.size(), c.rows);
            Currency sum;
            for (const QString& a : amounts)
                sum += Printed(a);
            EXPECT_EQ(Money("1234567890.12") + Money("1500.25") * 43, sum);
            EXPECT_EQ(Printed(LastText(*pages, QString::fromLatin1(c.total))), sum);
            EXPECT_EQ(LastText(*pages, QStringLiteral("lLettre")), AmountToWords(sum).simplified());
            if (c.rows > 40) {
                EXPECT_TRUE(amounts.contains(QStringLiteral("1 234 567 890.12")));
            }
        }
        if (c.rows > 40) {
            EXPECT_GE(first->count(), 2);
        }
        EXPECT_EQ(first->texts(), again->texts());
    }
    // The invoice statement asks for its paper once per form.
    EXPECT_EQ(paperQuestions, 1);
}

// Missions and allowances number their rows 1..n in line order.
TEST_F(PaymentStatementsTest, RowsAreNumberedInLineOrder)
{
    const qint64 zed = Person(QStringLiteral("ZED"), QStringLiteral("0009"));
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    rows::PaymentOrder(41, {Line(ExpenseKind::Mission, supplies, zed, "10"), Line(ExpenseKind::Mission, supplies, ann, "20"),
                            Line(ExpenseKind::Mission, supplies, zed, "30")});
    TfrmRptEtatPMission missions;
    missions.IdMdt = 41;
    const auto pages = missions.Prepare();
    EXPECT_EQ(TextsOf(*pages, QStringLiteral("lNo")), QStringList({"1", "2", "3"}));
    EXPECT_EQ(TextsOf(*pages, QStringLiteral("lNom")), QStringList({"ZED", "ANN", "ZED"}));
    EXPECT_EQ(TextsOf(*pages, QStringLiteral("lCompte")), QStringList({"0009", "0001", "0009"}));
    EXPECT_EQ(TextsOf(*pages, QStringLiteral("lNoMdt")), QStringList({"0041", "0041", "0041"}));
    TfrmRptEtatPAllocEt allowances;
    allowances.IdMdt = 41;
    const auto alloc = allowances.Prepare();
    EXPECT_EQ(TextsOf(*alloc, QStringLiteral("lNo")), QStringList({"1", "2", "3"}));
    EXPECT_EQ(TextsOf(*alloc, QStringLiteral("lBnq")).value(0), QStringLiteral("BNA"));
    EXPECT_EQ(TextsOf(*alloc, QStringLiteral("lGrade")).value(0), QStringLiteral("Maître de conférences"));
}

TEST_F(PaymentStatementsTest, TitlesFollowThePaymentTypeAndTheKindOfStatement)
{
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    rows::PaymentOrder(42, {Line(ExpenseKind::Mission, fees, ann, "10", PaymentType::Payment),
                            Line(ExpenseKind::Mission, fees, ann, "10", PaymentType::Reimbursement)});
    rows::PaymentOrder(43, {Line(ExpenseKind::Mission, fees, ann, "10", PaymentType::Reimbursement),
                            Line(ExpenseKind::Mission, fees, ann, "10", PaymentType::Payment)});
    struct Case {
        int order;
        std::function<std::unique_ptr<TPaymentStatementForm>()> make;
        const char* title;
    };
    auto alloc = [](const char* type) {
        return [type] {
            auto form = std::make_unique<TfrmRptEtatPAllocEt>();
            form->TypeEtat = QString::fromLatin1(type);
            return std::unique_ptr<TPaymentStatementForm>(std::move(form));
        };
    };
    const Case cases[] = {
        {42, [] { return std::make_unique<TfrmRptEtatPFact>(); }, "ETAT DE PAIEMENT DE FACTURES"},
        {43, [] { return std::make_unique<TfrmRptEtatPFact>(); }, "ETAT DE PAIEMENT DE FACTURES"},
        {42, [] { return std::make_unique<TfrmRptEtatPMission>(); }, "ETAT DE PAIEMENT DE FAIS DE  MISSIONS"},
        {43, [] { return std::make_unique<TfrmRptEtatPMission>(); }, "ETAT DE REMBOURSEMENT DE FAIS DE MISSIONS"},
        {42, alloc("A"), "ETAT DE PAIEMENT DE L'ALLOCATION D'ETUDE"},
        {43, alloc("A"), "ETAT DE REMBOURSEMENT DE L'ALLOCATION D'ETUDE"},
        {42, alloc("V"), "ETAT DE REMBOURSEMENT DES FRAIS DE VISA ET D'ASSURANCE"},
        {43, alloc("V"), "ETAT DE REMBOURSEMENT DES FRAIS DE VISA ET D'ASSURANCE"},
        {42, [] { return std::make_unique<TfrmRptEtatPCongeSc>(); },
         "ETAT DE PAIEMENT DE FRAIS D'INSCRIPTION ET CONGES SCIENTIFIQUES"},
        {43, [] { return std::make_unique<TfrmRptEtatPCongeSc>(); },
         "ETAT DE REMBOURSEMENT DE FRAIS D'INSCRIPTION ET CONGES SCIENTIFIQUES"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::unique_ptr<TPaymentStatementForm> form = c.make();
        form->IdMdt = c.order;
        const auto pages = form->Prepare();
        ASSERT_FALSE(pages->isEmpty());
        // The title wraps in its box: its lines joined read the title.
        EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lTitre")).join(QLatin1Char(' ')).simplified(),
                  QString::fromUtf8(c.title).simplified());
        EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lUniv")).join(QLatin1Char(' ')),
                  QStringLiteral("UNIVERSITÉ TEST, ALGER"));
    }
}

// Only articles 3 and 4 of "21-19" and "22-19" count; a beneficiary paid
// nothing there keeps his number and prints no row; the totals survive a
// reprint.
TEST_F(PaymentStatementsTest, RegistrationFeesCountOnlyTheirArticles)
{
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    const qint64 bob = Person(QStringLiteral("BOB"), QStringLiteral("0002"));
    const qint64 cat = Person(QStringLiteral("CAT"), QStringLiteral("0003"));
    const qint64 dan = Person(QStringLiteral("DAN"), QStringLiteral("0004"));
    rows::PaymentOrder(44, {Line(ExpenseKind::Mission, leave, dan, "30"), Line(ExpenseKind::Mission, fees, ann, "100"),
                            Line(ExpenseKind::Mission, dotted, bob, "70"), Line(ExpenseKind::Mission, other, cat, "5"),
                            Line(ExpenseKind::Mission, leave, ann, "50"), Line(ExpenseKind::Mission, supplies, cat, "9")});
    TfrmRptEtatPCongeSc form;
    form.IdMdt = 44;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const auto pages = run == 0 ? form.Prepare() : form.PrepareAgain();
        EXPECT_EQ(TextsOf(*pages, QStringLiteral("lNo")), QStringList({"1", "4"}));
        EXPECT_EQ(TextsOf(*pages, QStringLiteral("lNom")), QStringList({"ANN", "DAN"}));
        EXPECT_EQ(TextsOf(*pages, QStringLiteral("lMtFrInscr")), QStringList({"100.00", "0.00"}));
        EXPECT_EQ(TextsOf(*pages, QStringLiteral("lMtConge")), QStringList({"50.00", "30.00"}));
        EXPECT_EQ(TextsOf(*pages, QStringLiteral("lTotal")), QStringList({"150.00", "30.00"}));
        EXPECT_EQ(LastText(*pages, QStringLiteral("lTotFrInscr")), QStringLiteral("100.00"));
        EXPECT_EQ(LastText(*pages, QStringLiteral("lTotConge")), QStringLiteral("80.00"));
        EXPECT_EQ(LastText(*pages, QStringLiteral("lTotG")), QStringLiteral("180.00"));
        EXPECT_EQ(LastText(*pages, QStringLiteral("lLettre")), AmountToWords(Money("180")).simplified());
    }
}

// The column rules of a page of more than 35 missions: the first row's reach
// 35 rows down, each next row's one row less, never below the page's last
// row nor shorter than their own row; on the last page they stop at the last
// row, above the total.
TEST_F(PaymentStatementsTest, ColumnRulesStayOnThePageAndAboveTheTotal)
{
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    QList<qint64> lines;
    for (int i = 0; i < 40; ++i)
        lines << Line(ExpenseKind::Mission, supplies, ann, "10");
    rows::PaymentOrder(45, lines);
    TfrmRptEtatPMission form;
    form.IdMdt = 45;
    const auto pages = form.Prepare();
    ASSERT_EQ(pages->count(), 2);
    const double rowHeight = 24;   // the missions' row
    const double pageEnd = rpt::MmToPx(297);   // no bottom margin
    for (int p = 0; p < pages->count(); ++p) {
        const rpt::Page& page = pages->page(p);
        std::vector<QRectF> rows;
        double summaryTop = pageEnd;
        for (const rpt::BandBox& band : page.bands) {
            if (band.name == QLatin1String("bdDetail"))
                rows.push_back(band.rect);
            if (band.name == QLatin1String("bdTotal"))
                summaryTop = band.rect.top();
        }
        ASSERT_FALSE(rows.empty());
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(QStringLiteral("page %1 row %2").arg(p + 1).arg(i + 1).toStdString());
            const double expected =
                std::max(rows[i].bottom(), std::min(rows[0].top() + 35 * rowHeight, rows.back().bottom()));
            int rules = 0;
            for (const rpt::PageItem& item : page.items) {
                if (!item.control.startsWith(QLatin1String("shRegle")) || qAbs(item.rect.top() - rows[i].top()) > 0.5)
                    continue;
                ++rules;
                EXPECT_NEAR(item.rect.bottom(), expected, 0.5);
                EXPECT_LE(item.rect.bottom(), std::min(pageEnd, summaryTop) + 0.5);
            }
            EXPECT_EQ(rules, 7);   // both edges and between the six columns
        }
    }
}

// The cells of one column print in one size, the one its longest value
// needs (a long word of a wrapping column stays whole); the row and total
// rules end at the last column's edge; a total sits in the middle of its
// box's height, as far from its right side as a cell from its rule.
TEST_F(PaymentStatementsTest, ColumnsShrinkTogetherAndRulesAndTotalsKeepToTheTable)
{
    const QString longName = QStringLiteral("ETABLISSEMENT NATIONAL DES FOURNITURES SCOLAIRES ET DE MATERIEL DE BUREAU");
    const QString longMf = QStringLiteral("00021600123456789012");
    const qint64 ann = Person(QStringLiteral("ANN"), QStringLiteral("0001"));
    const qint64 big = Person(longName, QStringLiteral("0002"));
    rows::Write([&] {
        rows::Exec(QStringLiteral("UPDATE BENEF SET MF=:MF WHERE ID_BEN=:ID"), {{"MF", longMf}, {"ID", big}});
    });
    rows::PaymentOrder(46, {Line(ExpenseKind::Mission, supplies, ann, "10"), Line(ExpenseKind::Mission, supplies, big, "20"),
                            Line(ExpenseKind::Mission, supplies, ann, "30")});
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TPaymentStatementForm>()> make;
        const char* column;   // the column with one long value
        QString longValue;
        const char* total;
    };
    const Case cases[] = {
        {"invoices", [] { return std::make_unique<TfrmRptEtatPFact>(); }, "lMF", longMf, "lTotal"},
        {"missions", [] { return std::make_unique<TfrmRptEtatPMission>(); }, "lNom", longName, "lTotP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TPaymentStatementForm> form = c.make();
        form->IdMdt = 46;
        const auto pages = form->Prepare();
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        ExpectTextsInTheirBoxes(page);

        const QString column = QString::fromLatin1(c.column);
        const rpt::PageItem* first = page.item(column);
        ASSERT_NE(first, nullptr);
        const double size = first->font.pointSizeF();
        EXPECT_LT(size, 9);
        EXPECT_GE(size, rpt::MinFontPoints);
        QStringList values;
        for (int i = 0; i < 3; ++i) {
            const rpt::PageItem* cell = page.item(column, i);
            ASSERT_NE(cell, nullptr);
            EXPECT_DOUBLE_EQ(cell->font.pointSizeF(), size) << i;
            values << cell->text.split(QLatin1Char('\n')).join(QLatin1Char(' '));
        }
        EXPECT_TRUE(values.contains(c.longValue)) << values.join(QLatin1Char('|')).toStdString();

        // The table's right edge: its last rule.
        const rpt::PageItem* lastRule = page.item(QStringLiteral("shRegleFin"));
        ASSERT_NE(lastRule, nullptr);
        const double tableRight = lastRule->rect.left();
        int rules = 0;
        for (const rpt::PageItem& item : page.items)
            if (item.kind == rpt::ItemKind::Line && item.control.isEmpty()) {
                ++rules;
                EXPECT_LE(std::max(item.rect.left(), item.rect.right()), tableRight + 0.01);
            }
        EXPECT_GE(rules, 2);   // under the last row, over the total

        const QString total = QString::fromLatin1(c.total);
        const rpt::PageItem* text = page.item(total);
        const rpt::PageItem* box = page.item(QStringLiteral("sh") + total.mid(1));
        ASSERT_NE(text, nullptr);
        ASSERT_NE(box, nullptr);
        const QRectF printed = rpt::TextExtent(*text);
        EXPECT_NEAR(printed.center().y(), box->rect.center().y(), 1);
        EXPECT_NEAR(box->rect.right() - printed.right(), 3, 0.6);
        const rpt::PageItem* amount = page.item(QStringLiteral("lMontant"));
        ASSERT_NE(amount, nullptr);
        EXPECT_NEAR(box->rect.right() - amount->rect.right(), 3, 0.6);
    }
}

} // namespace
