// The payment-order documents on a small year database, read from their page
// model: what each form prints of an order, where its rows go, the limits of
// the blocks and their messages, the totals over every line, the two
// presentations, the paper formats and the choice of the document.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/YearDb.h"
#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/Routines.h"
#include "reports/ReportTestSupport.h"
#include "common/TextBoxes.h"
#include "reports/UPaper.h"
#include "reports/mandat/MandatPrint.h"
#include "reports/mandat/URptMandat_2205_FB.h"
#include "reports/mandat/URptMandat_2205_P.h"
#include "reports/mandat/URptMandat_FB.h"
#include "reports/mandat/URptMandat_P.h"
#include "reports/mandat/URptMandat_Salaire.h"
#include "shell/Startup.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using rows::Money;

const QString TooMany4 = QStringLiteral("Nombre maximum d'imputations (4) dépassé !");

QString Text(const rpt::Page& page, const char* control)
{
    return page.textsOf(QString::fromLatin1(control)).join(QLatin1Char('|'));
}

// A text as read, its line breaks and repeated blanks made single blanks.
QString Flat(const rpt::Page& page, const char* control)
{
    return Text(page, control).simplified();
}

double BandTop(const rpt::Page& page)
{
    return page.bands.at(0).rect.top();
}

// The top of a control's text within the detail band.
double TopOf(const rpt::Page& page, const char* control)
{
    const rpt::PageItem* item = page.item(QString::fromLatin1(control));
    return item ? item->rect.top() - BandTop(page) : -1;
}

int CountKind(const rpt::Page& page, rpt::ItemKind kind)
{
    int n = 0;
    for (const rpt::PageItem& item : page.items)
        n += item.kind == kind;
    return n;
}

class MandatDocsTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        InitProgramResources();
        RegisterFontSubstitutions();
        saved = {City, UniversityName, FacultyName, PrintFacultyName};
        City = QStringLiteral("Alger");
        UniversityName = QStringLiteral("Université Test");
        FacultyName = QStringLiteral("Faculté des Sciences");
        PrintFacultyName = true;
        messages = std::make_unique<MessageRecorder>();
        TfrmPaper::SetResponder([this] {
            ++paperQuestions;
            return paper;
        });

        const qint64 bna = Insert(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'BNA')"),
                                  QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
        const qint64 cpa = Insert(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, 'CPA')"),
                                  QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
        const qint64 centre = Insert(QStringLiteral("INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (0, 'Agence Centre')"),
                                     QStringLiteral("SELECT MAX(ID_AGENCE) FROM AGENCE"));
        alpha = Supplier(QStringLiteral("SARL ALPHA"), bna, centre, QStringLiteral("00123 45"));
        beta = Supplier(QStringLiteral("EURL BETA"), bna, centre, QStringLiteral("00999 01"));
        gamma = Supplier(QStringLiteral("SNC GAMMA"), cpa, centre, QStringLiteral("00777 02"));

        rows::BudgetLine(QStringLiteral("22-04"), QString(), QString(), QStringLiteral("Documentation et fournitures"));
        rows::BudgetLine(QStringLiteral("22-06"), QString(), QString(), QStringLiteral("Entretien"));
        rows::BudgetLine(QStringLiteral("21-05"), QString(), QString(), QStringLiteral("Charges sociales"));
        l1 = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("01"), QString(), QStringLiteral("Papeterie"));
        l2 = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("02"), QString(), QStringLiteral("Produits d'entretien"));
        l3 = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("03"), QStringLiteral("01"), QStringLiteral("Imprimés"));
        l6 = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("04"), QString(), QStringLiteral("Informatique"));
        l4 = rows::BudgetLine(QStringLiteral("22-06"), QStringLiteral("01"), QString(), QStringLiteral("Entretien des bâtiments"));
        l5 = rows::BudgetLine(QStringLiteral("22-06"), QStringLiteral("02"), QString(), QStringLiteral("Entretien des véhicules"));
        for (int a = 1; a <= 5; ++a)
            social[a - 1] = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("0%1").arg(a), QString(),
                                             QStringLiteral("Cotisations %1").arg(a));
        rows::Exec(QStringLiteral("UPDATE FNM SET SECTION=1 WHERE CHAP='21-05'"));
        ASSERT_TRUE(DM->CommitWork());
    }

    void TearDown() override
    {
        TfrmPaper::SetResponder(nullptr);
        messages.reset();
        City = saved.city;
        UniversityName = saved.university;
        FacultyName = saved.faculty;
        PrintFacultyName = saved.printFaculty;
        YearDbTest::TearDown();
    }

    static qint64 Insert(const QString& sql, const QString& key)
    {
        rows::Exec(sql);
        const qint64 id = rows::Scalar(key);
        DM->CommitWork();
        return id;
    }

    static qint64 Supplier(const QString& name, qint64 bank, qint64 agency, const QString& account)
    {
        rows::Exec(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, SERVICE_GRADE, NOM, ID_BANQUE, ID_AGENCE, COMPTE) "
                                  "VALUES (:T, :G, :N, :B, :A, :C)"),
                   {{"T", toDbValue(BeneficiaryType::Supplier)}, {"G", toDbValue(ServiceKind::Supply)}, {"N", name},
                    {"B", bank}, {"A", agency}, {"C", account}});
        const qint64 id = rows::Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
        DM->CommitWork();
        return id;
    }

    // An order of the expenses, each line paying its expense's amount.
    static int Order(int id, const QList<qint64>& expenses, const QString& nature = QString())
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT, PJ1, PJ2, "
                                      "PJ3) VALUES (:ID, :NO, :D, :N, :S, 0, :P1, :P2, :P3)"),
                       {{"ID", qint64(id)},
                        {"S", toDbValue(OrderStatus::Paid)},
                        {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
                        {"D", QDate(2024, 3, 5)},
                        {"N", nature},
                        {"P1", QStringLiteral("F.E N° 0004 DU 01/03/2024")},
                        {"P2", QStringLiteral("01 Facture")},
                        {"P3", QStringLiteral("01 Etat de Paiement de Factures")}});
            int line = 1;
            for (qint64 e : expenses)
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "SELECT :ID, :L, ID_DEPENSE, MONTANT FROM DEPENSE WHERE ID_DEPENSE=:E"),
                           {{"ID", qint64(id)}, {"L", qint64(line++)}, {"E", e}});
            rows::Exec(QStringLiteral("UPDATE ENT_MDT SET MONTANT=(SELECT SUM(MONTANT) FROM DET_MDT WHERE ID_MDT=:ID) "
                                      "WHERE ID_MDT=:ID"),
                       {{"ID", qint64(id)}});
        });
        return id;
    }

    static qint64 Invoice(qint64 fnm, qint64 ben, const char* amount, const QString& number = QString())
    {
        return rows::Expense(ExpenseKind::Invoice, fnm, ben, Money(amount), number);
    }

    static qint64 Mission(qint64 fnm, qint64 ben, const char* amount, PaymentType rembours = PaymentType::Payment)
    {
        const qint64 id = rows::Expense(ExpenseKind::Mission, fnm, ben, Money(amount));
        rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=:R WHERE ID_DEPENSE=:ID"),
                   {{"R", toDbValue(rembours)}, {"ID", id}});
        DM->CommitWork();
        return id;
    }

    std::unique_ptr<rpt::PreparedPages> Print(TRptMandatForm& form, int idMdt)
    {
        form.IdMdt = idMdt;
        std::unique_ptr<rpt::PreparedPages> pages = form.Prepare();
        EXPECT_EQ(pages->count(), 1);
        return pages;
    }

    struct Saved {
        QString city, university, faculty;
        bool printFaculty = true;
    } saved;
    std::unique_ptr<MessageRecorder> messages;
    int paper = 0;
    int paperQuestions = 0;
    qint64 alpha = 0, beta = 0, gamma = 0;
    qint64 l1 = 0, l2 = 0, l3 = 0, l4 = 0, l5 = 0, l6 = 0;
    qint64 social[5] = {};
};

} // namespace

TEST_F(MandatDocsTest, WhitePaperOrderOfOneInvoice)
{
    const int id = Order(17, {Invoice(l3, alpha, "12500", QStringLiteral("F-12"))});
    TfrmRptMandat_FB form;
    const auto pages = Print(form, id);
    const rpt::Page& page = pages->page(0);

    EXPECT_EQ(Text(page, "lNoMdt"), QStringLiteral("0017"));
    EXPECT_EQ(Text(page, "lIdMdt"), QStringLiteral("17"));
    EXPECT_EQ(Text(page, "lDate"), QStringLiteral("05/03/2024"));
    EXPECT_EQ(Flat(page, "lVille"), QStringLiteral("Alger, le"));
    EXPECT_EQ(Text(page, "lYear"), QStringLiteral("2024"));
    EXPECT_EQ(Flat(page, "lUniv"), QStringLiteral("Université Test, Alger"));
    EXPECT_EQ(Flat(page, "lFac"), QStringLiteral("Faculté des Sciences"));
    EXPECT_EQ(Text(page, "lSection"), QStringLiteral("S/SECTION  II"));
    EXPECT_EQ(Text(page, "lNom"), QStringLiteral("SARL ALPHA"));
    EXPECT_EQ(Text(page, "lBnq"), QStringLiteral("BNA - Agence Centre"));
    EXPECT_EQ(Text(page, "lCompte"), QStringLiteral("00123 45"));
    EXPECT_EQ(Flat(page, "lObjet"), QStringLiteral("PAIEMENT DE LA FACTURE N° F-12 DU 01/03/2024"));
    EXPECT_EQ(form.report().label(QStringLiteral("lObjet"))->caption(),
              QStringLiteral("PAIEMENT DE LA FACTURE N° F-12  DU  01/03/2024"));
    // One budget line of one chapter: the chapter's title heads the rows.
    EXPECT_EQ(Text(page, "cArt1"), QStringLiteral("22-04"));
    EXPECT_EQ(Text(page, "lArt1"), QStringLiteral("Documentation et fournitures"));
    EXPECT_TRUE(page.item(QStringLiteral("lArt1"))->font.bold());
    EXPECT_EQ(Text(page, "cArt2"), QStringLiteral("03.01"));
    EXPECT_EQ(Text(page, "lArt2"), QStringLiteral("Imprimés"));
    EXPECT_FALSE(page.item(QStringLiteral("lArt2"))->font.bold());
    EXPECT_EQ(Text(page, "lMt2"), QStringLiteral("12 500.00"));
    EXPECT_EQ(Text(page, "lArt3"), QString());
    EXPECT_EQ(Text(page, "lTot"), QStringLiteral("12 500.00"));
    EXPECT_EQ(Text(page, "lNAP"), QStringLiteral("12 500.00"));
    EXPECT_EQ(Flat(page, "lLettre"), QStringLiteral("Douze Mille Cinq Cent Dinars"));
    EXPECT_EQ(Text(page, "lPJ1"), QStringLiteral("F.E N° 0004 DU 01/03/2024"));
    EXPECT_EQ(Text(page, "lPJ2"), QStringLiteral("01 Facture"));
    EXPECT_EQ(Text(page, "lPJ3"), QStringLiteral("01 Etat de Paiement de Factures"));
    EXPECT_EQ(Text(page, "lPJ4"), QString());

    // The rows start at the first row of the design; the name is centred in its box.
    EXPECT_NEAR(TopOf(page, "lArt1"), 92, 0.5);
    EXPECT_GT(TopOf(page, "lArt2"), TopOf(page, "lArt1") + 14);
    const rpt::PageItem* nom = page.item(QStringLiteral("lNom"));
    EXPECT_NEAR(nom->rect.center().y() - BandTop(page), 352 + 16, 1.5);

    // White paper draws its fixed texts, frames, shaded cells, rounded boxes and emblem.
    const QStringList texts = page.texts();
    for (const char* fixed : {"République Algérienne Démocratique et Populaire", "MANDAT DE PAIEMENT N° :",
                              "I M P U T A T I O N", "C R E A N C I E R S", "OBJET DE PAIEMENT",
                              "PARTIE RESERVEE AU COMPTABLE", "Net à Payer", "M O D E S   D E   P A I E M E N T",
                              "COMPTE TRESOR", "Réfs de comptabilisation :", "L'Ordonnateur", "Pièces jointes"})
        EXPECT_TRUE(texts.join(QLatin1Char('\n')).contains(QString::fromUtf8(fixed))) << fixed;
    EXPECT_GE(CountKind(page, rpt::ItemKind::Rect), 10);
    EXPECT_EQ(CountKind(page, rpt::ItemKind::RoundRect), 3);
    const rpt::PageItem* emblem = page.item(QStringLiteral("imgEmblem"));
    ASSERT_NE(emblem, nullptr);
    EXPECT_FALSE(emblem->extra->image.isNull());
    EXPECT_TRUE(pages->warnings.isEmpty());
    EXPECT_EQ(paperQuestions, 1);
}

// Up to four rows, a chapter heading when fewer lines share one chapter; the
// total covers the rows printed above it. An order of a fifth budget line
// prints nothing, says why, and its preview does not open.
TEST_F(MandatDocsTest, ImputationRowsHoldFourLinesAndAFifthPrintsNothing)
{
    struct Case {
        QList<qint64*> lines;
        QStringList codes;      // cArt1.. as printed
        QStringList titles;     // lArt1..
    };
    const Case cases[] = {
        {{&l1, &l2, &l3},
         {"22-04", "01", "02", "03.01"},
         {"Documentation et fournitures", "Papeterie", "Produits d'entretien", "Imprimés"}},
        {{&l6, &l1, &l2, &l3},   // four lines of one chapter: no heading
         {"01", "02", "03.01", "04"},
         {"Papeterie", "Produits d'entretien", "Imprimés", "Informatique"}},
        {{&l5, &l1, &l2, &l4, &l3}, {}, {}},
    };
    const QString refusal = QStringLiteral("Ce mandat porte sur 5 imputations ; le formulaire n'en contient que 4. "
                                           "Répartissez-les sur plusieurs mandats.");
    int id = 40;
    for (const Case& c : cases) {
        QList<qint64> expenses;
        Currency total;
        int n = 0;
        for (qint64* line : c.lines) {
            const Currency amount = Currency::fromUnits(1000 * ++n) + Money("0.25");
            expenses << rows::Expense(ExpenseKind::Invoice, *line, alpha, amount);
            total += amount;
        }
        const int order = Order(++id, expenses);
        for (bool stationery : {false, true}) {
            SCOPED_TRACE(QStringLiteral("order of %1 lines%2").arg(c.lines.size()).arg(stationery ? ", stationery" : "")
                             .toStdString());
            std::unique_ptr<TRptMandatForm> form = CreateMandatDocument(order, ExpenseKind::Invoice, QStringLiteral("22-04"),
                                                                        QStringLiteral("01"), stationery);
            if (c.codes.isEmpty()) {
                const auto pages = form->Prepare();
                EXPECT_TRUE(pages->isEmpty());
                EXPECT_EQ(pages->refusal, refusal);
                form->Preview(nullptr);
                EXPECT_EQ(messages->texts(), QStringList{refusal});
                messages->clear();
                continue;
            }
            const auto pages = Print(*form, order);
            const rpt::Page& page = pages->page(0);
            QStringList codes, titles;
            Currency rows;
            for (int row = 1; row <= 4; ++row) {
                codes << Text(page, qPrintable(QStringLiteral("cArt%1").arg(row)));
                titles << Text(page, qPrintable(QStringLiteral("lArt%1").arg(row)));
                rows += Currency::parse(Text(page, qPrintable(QStringLiteral("lMt%1").arg(row)))).value_or(Currency());
            }
            EXPECT_EQ(codes, c.codes);
            EXPECT_EQ(titles, c.titles);
            for (int row = 2; row <= 4; ++row)
                EXPECT_GT(TopOf(page, qPrintable(QStringLiteral("lArt%1").arg(row))),
                          TopOf(page, qPrintable(QStringLiteral("lArt%1").arg(row - 1))));
            EXPECT_EQ(rows, total);
            EXPECT_EQ(Text(page, "lTot"), total.formatMoney());
            EXPECT_EQ(Text(page, "lNAP"), total.formatMoney());
            EXPECT_EQ(Flat(page, "lLettre"), AmountToWords(total));
            EXPECT_TRUE(pages->warnings.isEmpty());
            // Printing from the preview runs again: same pages.
            const auto again = form->PrepareAgain();
            EXPECT_EQ(again->page(0).texts(), page.texts());
        }
    }
}

// Who is paid and for what, from the order's lines and beneficiaries.
TEST_F(MandatDocsTest, CreditorAndObjectFollowTheLinesAndBeneficiaries)
{
    struct Case {
        const char* what;
        QList<qint64> expenses;
        const char* nom;
        const char* bnq;
        const char* compte;
        const char* objet;
    };
    const qint64 missing = alpha + 1000;   // an expense whose beneficiary row is gone
    const Case cases[] = {
        {"missions, one title twice, one bank", {Mission(l1, alpha, "10"), Mission(l1, beta, "20"), Mission(l2, alpha, "30")},
         "DIVERS", "BNA - Agence Centre", "DIVERS", "Paiement Papeterie et Produits d'entretien"},
        {"refunds", {Mission(l2, alpha, "10", PaymentType::Reimbursement),
                      Mission(l1, alpha, "20", PaymentType::Reimbursement)},
         "SARL ALPHA", "BNA - Agence Centre", "00123 45", "Remboursement Produits d'entretien et Papeterie"},
        {"one refund", {Mission(l1, beta, "10", PaymentType::Reimbursement)}, "EURL BETA", "BNA - Agence Centre", "00999 01",
         "REMBOURSEMENT PAPETERIE"},
        {"invoices, two banks", {Invoice(l1, alpha, "10"), Invoice(l1, gamma, "20")},
         "DIVERS", "DIVERS", "DIVERS", "PAIEMENT DE DIVERSES FACTURES"},
        {"no beneficiary row", {Invoice(l1, missing, "10", QStringLiteral("F-9"))},
         "*************", "***********", "*************", "PAIEMENT DE LA FACTURE N° F-9 DU 01/03/2024"},
        {"no line", {}, "***********", "***********", "***********", "***********"},
    };
    int id = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrmRptMandat_FB form;
        const auto pages = Print(form, Order(++id, c.expenses));
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Flat(page, "lNom"), QString::fromUtf8(c.nom));
        EXPECT_EQ(Flat(page, "lBnq"), QString::fromUtf8(c.bnq));
        EXPECT_EQ(Flat(page, "lCompte"), QString::fromUtf8(c.compte));
        EXPECT_EQ(Flat(page, "lObjet"), QString::fromUtf8(c.objet));
    }
    // An order without lines: a total of 0 and no words.
    TfrmRptMandat_FB form;
    const auto pages = Print(form, id);
    EXPECT_EQ(Text(pages->page(0), "lTot"), QStringLiteral("0.00"));
    EXPECT_EQ(Text(pages->page(0), "lLettre"), QString());
}

// Stationery carries everything fixed: only the variable values print, at the
// positions stored for the form; the faculty only when the settings ask.
TEST_F(MandatDocsTest, StationeryPrintsOnlyTheValuesAtTheStoredPositions)
{
    auto store = [](const char* report, const char* control, int left, int top, int height, int width) {
        rows::Exec(QStringLiteral("INSERT INTO REPORT (REPORTNAME, COMPNAME, PLEFT, PTOP, PHEIGHT, PWIDTH) "
                                  "VALUES (:R, :C, :L, :T, :H, :W)"),
                   {{"R", QString::fromLatin1(report)}, {"C", QString::fromLatin1(control)}, {"L", qint64(left)},
                    {"T", qint64(top)}, {"H", qint64(height)}, {"W", qint64(width)}});
    };
    store("RPTMANDAT_P", "LNOM", 500, 700, 30, 200);
    store("RPTMANDAT_P", "LART1", 0, 150, 0, 0);
    store("RPTMANDAT_2205_P", "LTOT", 20, 20, 20, 100);   // another form's row
    ASSERT_TRUE(DM->CommitWork());
    const int id = Order(80, {Invoice(l1, alpha, "100"), Invoice(l4, alpha, "200")});

    for (bool faculty : {true, false}) {
        PrintFacultyName = faculty;
        TfrmRptMandat_P form;
        const auto pages = Print(form, id);
        const rpt::Page& page = pages->page(0);
        const double left = page.bands.at(0).rect.left();
        const rpt::PageItem* nom = page.item(QStringLiteral("lNom"));
        ASSERT_NE(nom, nullptr);
        EXPECT_NEAR(nom->rect.left() - left, 500, 0.5);
        EXPECT_NEAR(nom->rect.top() - BandTop(page), 700, 0.5);
        EXPECT_NEAR(TopOf(page, "lArt1"), 150, 0.5);                 // the rows start at the stored first row
        EXPECT_GT(TopOf(page, "lArt2"), 150);
        EXPECT_NEAR(TopOf(page, "lTot"), 360, 0.5);
        EXPECT_EQ(Text(page, "lNom"), QStringLiteral("SARL ALPHA"));
        EXPECT_EQ(Text(page, "lTot"), QStringLiteral("300.00"));
        EXPECT_EQ(Text(page, "lNoMdt"), QStringLiteral("0080"));
        EXPECT_EQ(Text(page, "lFac").isEmpty(), !faculty);
        EXPECT_EQ(Text(page, "lUniv"), QString());
        EXPECT_EQ(Text(page, "lVille"), QString());
        for (const QString& text : page.texts())
            EXPECT_FALSE(text.contains(QStringLiteral("MANDAT DE PAIEMENT")) || text.contains(QStringLiteral("Net à Payer"))
                         || text.contains(QStringLiteral("Exercice")))
                << text.toStdString();
        for (const rpt::PageItem& item : page.items)
            EXPECT_EQ(item.kind, rpt::ItemKind::Text) << item.control.toStdString();
    }
    EXPECT_EQ(paperQuestions, 0);
}

// The social-contribution forms: the first line's chapter and article, the
// three contributions of every line (five here, the message for the fifth),
// their sum as the total.
TEST_F(MandatDocsTest, SocialContributionFormsSumEveryLinesContributions)
{
    QList<qint64> expenses;
    Currency regime, chomage, retraite;
    for (int i = 0; i < 5; ++i) {
        const Currency r = Currency::fromUnits(2375 * (i + 1));
        const Currency c = Currency::fromUnits(100 * (i + 1)) + Money("0.01");
        const Currency a = Currency::fromUnits(25 * (i + 1));
        const qint64 e = rows::Expense(ExpenseKind::Mission, social[i], alpha, r + c + a);
        rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=:R, ASS_CHOMAGE=:C, RETRAITE_ANT=:A WHERE ID_DEPENSE=:ID"),
                   {{"R", r}, {"C", c}, {"A", a}, {"ID", e}});
        DM->CommitWork();
        expenses << e;
        regime += r;
        chomage += c;
        retraite += a;
    }
    const int id = Order(90, expenses);
    const Currency total = regime + chomage + retraite;

    for (bool stationery : {false, true}) {
        SCOPED_TRACE(stationery ? "stationery" : "white paper");
        std::unique_ptr<TRptMandatForm> form = CreateMandatDocument(id, ExpenseKind::Mission, QStringLiteral("21-05"), QStringLiteral("01"),
                                                                    stationery);
        const auto pages = Print(*form, id);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Text(page, "cChap"), QStringLiteral("21-05"));
        EXPECT_EQ(Text(page, "lChap"), QStringLiteral("Charges sociales"));
        EXPECT_EQ(Text(page, "cArt"), QStringLiteral("01"));
        EXPECT_EQ(Text(page, "lArt"), QStringLiteral("Cotisations 1"));
        EXPECT_EQ(Text(page, "lRegimeGen"), regime.formatMoney());
        EXPECT_EQ(Text(page, "lAssChomage"), chomage.formatMoney());
        EXPECT_EQ(Text(page, "lRetraiteAnt"), retraite.formatMoney());
        EXPECT_EQ(Text(page, "lTot"), total.formatMoney());
        EXPECT_EQ(Text(page, "lNAP"), total.formatMoney());
        EXPECT_EQ(Flat(page, "lLettre"), AmountToWords(total));
        EXPECT_EQ(Text(page, "lSection"), QStringLiteral("S/SECTION  I"));
        EXPECT_EQ(pages->warnings, QStringList{TooMany4});
        // The contribution names and rates print in both presentations.
        const QString all = page.texts().join(QLatin1Char('\n'));
        for (const char* fixed : {"Régime général", "23.75%", "Assurance chômage", "1.00%", "Retraite anticipée", "0.25%"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(fixed))) << fixed;
        EXPECT_EQ(all.contains(QStringLiteral("République")), !stationery);
        if (!stationery) {   // the university, then the city on a line of its own
            EXPECT_EQ(Text(page, "lUniv").split(QLatin1Char('\n')).last(), QStringLiteral("Alger"));
        }
    }
}

// The salary form: rows at the pitch their number asks, a chapter heading
// when the imputations share one chapter, 13 rows per block; gross,
// deductions and net over every row, the words of the gross. A fourteenth
// row in either block prints nothing and says why.
TEST_F(MandatDocsTest, SalaryFormRowsAndTotalsCoverEveryRow)
{
    QList<qint64> deductionKinds;
    for (int j = 1; j <= 14; ++j)
        deductionKinds << Insert(QStringLiteral("INSERT INTO FRET (ID_RETENUE, LIBELLE) VALUES (0, 'Retenue %1')").arg(j),
                                 QStringLiteral("SELECT MAX(ID_RETENUE) FROM FRET"));

    struct Case {
        int imputations;     // on the social lines 1-3, or on all the lines of two chapters
        bool oneChapter;
        int deductions;
        bool heading;
        int pitch;
        int firstTop;        // of the first budget line's row
        int retPitch;
        int retTop;
        const char* refusal;
    };
    const Case cases[] = {
        {3, true, 13, true, 21, -1, 18, 382, nullptr},
        {10, false, 2, false, 19, 80, 20, 390, nullptr},
        {13, false, 10, false, 19, 75, 18, 390, nullptr},
        {3, true, 14, true, 0, 0, 0, 0,
         "Ce mandat porte sur 14 retenues ; le formulaire n'en contient que 13. Répartissez-les sur plusieurs mandats."},
        {14, false, 10, false, 0, 0, 0, 0,
         "Ce mandat porte sur 14 imputations ; le formulaire n'en contient que 13. Répartissez-les sur plusieurs "
         "mandats."},
    };
    const qint64 lines[] = {social[0], social[1], social[2], l1, l2, l4};
    int id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 imputations, %2 deductions").arg(c.imputations).arg(c.deductions).toStdString());
        Currency gross, deductions;
        const qint64 expense = rows::Expense(ExpenseKind::SalaryToPay, -1, alpha, Currency());
        for (int i = 0; i < c.imputations; ++i) {
            const Currency amount = Currency::fromUnits(10000 + i) + Money("0.50");
            rows::Imputation(expense, c.oneChapter ? lines[i % 3] : lines[i % 6], amount);
            gross += amount;
        }
        for (int j = 0; j < c.deductions; ++j) {
            const Currency amount = Currency::fromUnits(100 + j);
            rows::Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, "
                                      "MONTANT) VALUES (:ID, :DEP, :R, :N, :T, :M)"),
                       {{"ID", DM->NextGeneratorValue(QStringLiteral("GEN_DET_SAL_ID"))}, {"DEP", expense},
                        {"T", toDbValue(SalaryLineType::Deduction)},
                        {"R", deductionKinds[j]}, {"N", qint64(j + 1)}, {"M", amount}});
            deductions += amount;
        }
        rows::Exec(QStringLiteral("UPDATE DEPENSE SET MONTANT=:M WHERE ID_DEPENSE=:ID"), {{"M", gross}, {"ID", expense}});
        ASSERT_TRUE(DM->CommitWork());

        TfrmRptMandat_Salaire form;
        const int order = Order(++id, {expense}, QStringLiteral("Salaires de mars"));
        if (c.refusal) {
            form.IdMdt = order;
            const auto pages = form.Prepare();
            EXPECT_TRUE(pages->isEmpty());
            EXPECT_EQ(pages->refusal, QString::fromUtf8(c.refusal));
            continue;
        }
        const auto pages = Print(form, order);
        const rpt::Page& page = pages->page(0);

        const int first = c.heading ? 2 : 1;
        if (c.heading) {
            EXPECT_EQ(Text(page, "lImp_1"), QStringLiteral("21-05"));
            EXPECT_EQ(Text(page, "lLibImp_1"), QStringLiteral("Charges sociales"));
            EXPECT_TRUE(page.item(QStringLiteral("lLibImp_1"))->font.bold());
            EXPECT_NEAR(TopOf(page, "lLibImp_1"), 80, 0.5);
            EXPECT_EQ(Text(page, "lImp_2"), QStringLiteral("21-05.01"));
        } else {
            EXPECT_NEAR(TopOf(page, "lLibImp_1"), c.firstTop, 0.5);
        }
        EXPECT_NEAR(TopOf(page, qPrintable(QStringLiteral("lLibImp_%1").arg(first + 1)))
                        - TopOf(page, qPrintable(QStringLiteral("lLibImp_%1").arg(first))),
                    c.pitch, 0.5);
        const int printed = c.imputations + first - 1;
        EXPECT_FALSE(Text(page, qPrintable(QStringLiteral("lMtImp_%1").arg(printed))).isEmpty());
        EXPECT_EQ(Text(page, qPrintable(QStringLiteral("lMtImp_%1").arg(printed + 1))), QString());

        EXPECT_NEAR(TopOf(page, "lRet_1"), c.retTop, 0.5);
        EXPECT_NEAR(TopOf(page, "lRet_2") - TopOf(page, "lRet_1"), c.retPitch, 0.5);
        EXPECT_EQ(Text(page, qPrintable(QStringLiteral("lRet_%1").arg(c.deductions))),
                  QStringLiteral("Retenue %1").arg(c.deductions));

        EXPECT_EQ(Text(page, "lTotBrut"), gross.formatMoney());
        EXPECT_EQ(Text(page, "lTotRet"), deductions.formatMoney());
        EXPECT_EQ(Text(page, "lNAP"), (gross - deductions).formatMoney());
        EXPECT_EQ(Flat(page, "lLettre"), AmountToWords(gross));
        EXPECT_TRUE(pages->warnings.isEmpty());
        EXPECT_EQ(Flat(page, "lObjet"), QStringLiteral("Salaires de mars"));
        EXPECT_EQ(Text(page, "lSection"), QStringLiteral("S/SECTION  1"));
        EXPECT_EQ(Text(page, "lNom"), QStringLiteral("SARL ALPHA"));
        EXPECT_NEAR(page.item(QStringLiteral("lNom"))->rect.center().y() - BandTop(page), 391 + 16, 1.5);
        EXPECT_EQ(Text(page, "lBnq"), QStringLiteral("BNA - Agence Centre"));
    }
}

// A long creditor's name, a long bank and agency and thirteen-digit amounts
// print whole inside their boxes, in a smaller font where the design's does
// not hold them; short texts keep the design's font. A name longer than its
// box holds even at the smallest font ends with the ellipsis, inside its box,
// on each of the four standard forms.
TEST_F(MandatDocsTest, LongNamesAndLargeAmountsStayInTheirBoxes)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE TRAVAUX PUBLICS, DE CONSTRUCTION METALLIQUE ET DE "
                                        "MENUISERIE GENERALE - SPA");
    // As long as a name can be.
    const QString longer = QStringLiteral("ENTREPRISE NATIONALE DE TRAVAUX PUBLICS, DE CONSTRUCTION METALLIQUE, DE "
                                          "MENUISERIE GENERALE ET D'ENTRETIEN DES BATIMENTS ET DES ESPACES VERTS - S.P.A.");
    ASSERT_EQ(longer.size(), 150);
    const qint64 bank = Insert(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, "
                                              "'BANQUE EXTERIEURE D''ALGERIE - DR CENTRE')"),
                               QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
    const qint64 agency = Insert(QStringLiteral("INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (0, "
                                                "'Agence principale de Bab Ezzouar 123')"),
                                 QStringLiteral("SELECT MAX(ID_AGENCE) FROM AGENCE"));
    const qint64 ben = Supplier(name, bank, agency, QStringLiteral("00123 45"));
    const qint64 longBen = Supplier(longer, bank, agency, QStringLiteral("00123 46"));
    const Currency big = Money("9999999999999.99");
    const QString bigText = big.formatMoney();
    const QString bankText =
        QStringLiteral("BANQUE EXTERIEURE D'ALGERIE - DR CENTRE - Agence principale de Bab Ezzouar 123");
    const int order = Order(130, {Invoice(l1, ben, "9999999999999.99")});
    const qint64 salaryExpense = rows::Expense(ExpenseKind::SalaryToPay, -1, ben, big);
    rows::Imputation(salaryExpense, social[0], big);
    const qint64 kind = Insert(QStringLiteral("INSERT INTO FRET (ID_RETENUE, LIBELLE) VALUES (0, 'IRG')"),
                               QStringLiteral("SELECT MAX(ID_RETENUE) FROM FRET"));
    rows::Exec(QStringLiteral("INSERT INTO DET_SALAIRE (ID_DET_SAL, ID_DEPENSE, ID_DETAIL, NO_ORD, TYPE_DET, MONTANT) "
                              "VALUES (:ID, :DEP, :R, 1, :T, :M)"),
               {{"ID", DM->NextGeneratorValue(QStringLiteral("GEN_DET_SAL_ID"))}, {"DEP", salaryExpense}, {"R", kind},
                {"T", toDbValue(SalaryLineType::Deduction)}, {"M", big}});
    ASSERT_TRUE(DM->CommitWork());
    const int salary = Order(131, {salaryExpense});
    const int longOrder = Order(132, {Invoice(l1, longBen, "100")});
    // The social-contribution forms print an order whose contributions make its amount.
    const qint64 paid = rows::Expense(ExpenseKind::Mission, social[0], longBen, Money("100"));
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=95, ASS_CHOMAGE=4, RETRAITE_ANT=1 WHERE ID_DEPENSE=:ID"),
               {{"ID", paid}});
    ASSERT_TRUE(DM->CommitWork());
    const int longSocial = Order(133, {paid});

    struct Case {
        int order;
        ExpenseKind kind;
        const char* chap;
        bool stationery;
        const QString& nom;
        bool whole;      // the name prints whole, else cut with the ellipsis
        QStringList amounts;
    };
    const Case cases[] = {
        {order, ExpenseKind::Invoice, "22-04", false, name, true, {"lMt2", "lTot", "lNAP"}},
        {order, ExpenseKind::Invoice, "22-04", true, name, true, {"lMt2", "lTot", "lNAP"}},
        {salary, ExpenseKind::SalaryToPay, "", false, name, true, {"lMtImp_2", "lTotBrut", "lMtRet_1", "lTotRet"}},
        {longOrder, ExpenseKind::Invoice, "22-04", false, longer, false, {}},
        {longOrder, ExpenseKind::Invoice, "22-04", true, longer, false, {}},
        {longSocial, ExpenseKind::Mission, "21-05", false, longer, false, {}},
        {longSocial, ExpenseKind::Mission, "21-05", true, longer, false, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TRptMandatForm> form =
            CreateMandatDocument(c.order, c.kind, QString::fromLatin1(c.chap), QStringLiteral("01"), c.stationery);
        SCOPED_TRACE(form->report().name().toStdString());
        const auto pages = Print(*form, c.order);
        const rpt::Page& page = pages->page(0);
        const rpt::PageItem* nom = page.item(QStringLiteral("lNom"));
        ASSERT_NE(nom, nullptr);
        if (c.whole) {
            EXPECT_EQ(nom->text.simplified(), c.nom);
        } else {
            EXPECT_TRUE(nom->text.endsWith(rpt::Ellipsis)) << nom->text.toStdString();
            EXPECT_TRUE(c.nom.startsWith(nom->text.chopped(1).simplified())) << nom->text.toStdString();
            EXPECT_DOUBLE_EQ(nom->font.pointSizeF(), rpt::MinFontPoints);
        }
        if (!c.stationery) {   // the name's 32-pixel box on white paper
            EXPECT_LE(nom->rect.height(), 33);
        }
        EXPECT_EQ(Text(page, "lBnq").simplified(), bankText);
        for (const QString& amount : c.amounts)
            EXPECT_EQ(Text(page, qPrintable(amount)), bigText) << amount.toStdString();
        EXPECT_LT(nom->font.pointSizeF(), 9);
        EXPECT_DOUBLE_EQ(page.item(QStringLiteral("lCompte"))->font.pointSizeF(), 9);
        ExpectTextsInTheirBoxes(page);
    }
}

// Four budget lines of long titles share the imputation zone: the titles
// print in one size, each whole or cut with the ellipsis when even the
// smallest size cannot hold it, inside its box, the rows one under the
// other above the zone's end. The salary form's rows do likewise, a title
// that needs two lines taking them.
TEST_F(MandatDocsTest, LongBudgetLineTitlesShareTheirZoneInOneSize)
{
    const QString title = QStringLiteral("Pièces de rechange, fournitures et accessoires pour le matériel pédagogique "
                                         "et scientifique des laboratoires - Personnel enseignant");
    const QString longest = title + QStringLiteral(", technique et administratif des départements de mathématiques, "
                                                   "de physique, de chimie, de biologie et de géologie");
    ASSERT_LE(longest.size(), 250);
    int id = 140;
    for (const QString& full : {title, longest}) {
        const bool whole = full == title;   // four of the longest cannot all print whole, even at the floor
        rows::Exec(QStringLiteral("UPDATE FNM SET INTITULE=:T WHERE ID_FNM IN (:A, :B, :C, :D)"),
                   {{"T", full}, {"A", l1}, {"B", l2}, {"C", l4}, {"D", l5}});
        ASSERT_TRUE(DM->CommitWork());
        const int order = Order(++id, {Invoice(l1, alpha, "10"), Invoice(l2, alpha, "20"), Invoice(l4, alpha, "30"),
                                       Invoice(l5, alpha, "40")});
        for (bool stationery : {false, true}) {
            SCOPED_TRACE(QStringLiteral("%1, %2").arg(whole ? "whole" : "cut", stationery ? "stationery" : "white paper")
                             .toStdString());
            std::unique_ptr<TRptMandatForm> form =
                CreateMandatDocument(order, ExpenseKind::Invoice, QStringLiteral("22-04"), QStringLiteral("01"), stationery);
            const auto pages = Print(*form, order);
            const rpt::Page& page = pages->page(0);
            QStringList controls;
            const double size = page.item(QStringLiteral("lArt1"))->font.pointSizeF();
            EXPECT_GE(size, rpt::MinFontPoints);
            EXPECT_LT(size, 8);
            bool cut = false;
            for (int row = 1; row <= 4; ++row) {
                SCOPED_TRACE(row);
                const rpt::PageItem* item = page.item(QStringLiteral("lArt%1").arg(row));
                ASSERT_NE(item, nullptr);
                EXPECT_DOUBLE_EQ(item->font.pointSizeF(), size);
                if (item->text.endsWith(rpt::Ellipsis)) {
                    cut = true;
                    EXPECT_TRUE(full.startsWith(item->text.chopped(1).simplified())) << item->text.toStdString();
                } else {
                    EXPECT_EQ(item->text.simplified(), full);
                }
                EXPECT_LE(item->rect.bottom() - BandTop(page), 280);
                controls << QStringLiteral("cArt%1").arg(row) << QStringLiteral("lArt%1").arg(row)
                         << QStringLiteral("lMt%1").arg(row);
            }
            EXPECT_EQ(cut, !whole);
            ExpectTextsInTheirBoxes(page, controls);
            EXPECT_EQ(Text(page, "lTot"), QStringLiteral("100.00"));
        }
    }

    // Thirteen salary rows whose titles differ only at their end: each prints whole.
    const qint64 expense = rows::Expense(ExpenseKind::SalaryToPay, -1, alpha, Currency());
    QStringList titles;
    for (int i = 0; i < 13; ++i) {
        titles << QStringLiteral("Indemnité de qualification - Personnel enseignant du département %1").arg(i + 1);
        const qint64 line = rows::BudgetLine(QStringLiteral("22-07"), QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                                             QString(), titles.back());
        rows::Imputation(expense, line, Money("10"));
    }
    ASSERT_TRUE(DM->CommitWork());
    TfrmRptMandat_Salaire form;
    const auto pages = Print(form, Order(++id, {expense}));
    const rpt::Page& page = pages->page(0);
    QStringList controls;
    for (int row = 1; row <= 13; ++row) {
        SCOPED_TRACE(row);
        const rpt::PageItem* item = page.item(QStringLiteral("lLibImp_%1").arg(row));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text.simplified(), titles[row - 1]);
        EXPECT_LE(item->rect.bottom() - BandTop(page), rpt::MmToPx(88.1) - 4);
        controls << QStringLiteral("lImp_%1").arg(row) << QStringLiteral("lLibImp_%1").arg(row)
                 << QStringLiteral("lMtImp_%1").arg(row);
    }
    ExpectTextsInTheirBoxes(page, controls);
    EXPECT_EQ(Text(page, "lTotBrut"), QStringLiteral("130.00"));
}

// The paper dialog's answer, asked once per form: A4 as designed, any other
// entry Letter with its shorter margin and boxes.
TEST_F(MandatDocsTest, WhitePaperAdaptsToThePaperChosenOnce)
{
    const int order = Order(120, {Invoice(l1, alpha, "10")});
    const qint64 salaryExpense = rows::Expense(ExpenseKind::SalaryToPay, -1, alpha, Money("10"));
    rows::Imputation(salaryExpense, social[0], Money("10"));
    const int salary = Order(121, {salaryExpense});

    struct Case {
        int paper;
        bool salary;
        rpt::Paper expected;
        double top;
        int boxHeight;
        int refsTop;
    };
    const Case cases[] = {
        {0, false, rpt::Paper::A4, 10, 160, 1002}, {1, false, rpt::Paper::Letter, 5, 145, 984},
        {2, false, rpt::Paper::Letter, 5, 145, 984}, {0, true, rpt::Paper::A4, 10, 125, 1016},
        {1, true, rpt::Paper::Letter, 5, 97, 984},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("paper %1%2").arg(c.paper).arg(c.salary ? ", salary" : "").toStdString());
        paper = c.paper;
        paperQuestions = 0;
        std::unique_ptr<TRptMandatForm> form =
            CreateMandatDocument(c.salary ? salary : order,
                                 c.salary ? ExpenseKind::SalaryToPay : ExpenseKind::Invoice, QString(), QString(), false);
        const auto pages = Print(*form, c.salary ? salary : order);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(pages->setup.paper, c.expected);
        EXPECT_NEAR(BandTop(page), rpt::MmToPx(c.top), 0.5);
        EXPECT_NEAR(page.item(QStringLiteral("qRect1"))->rect.height(), c.boxHeight, 1);
        EXPECT_NEAR(TopOf(page, "lRefs"), c.refsTop, 0.5);
        EXPECT_LE(page.bands.at(0).rect.bottom(), page.size.height());
        form->PrepareAgain();
        EXPECT_EQ(paperQuestions, 1);
    }
}

// The print items: the kind of the order's line, its budget line and the
// order's contributions choose the document; a salary order does not print
// on stationery.
TEST_F(MandatDocsTest, PrintItemsChooseTheDocumentByKindBudgetLineAndContributions)
{
    const qint64 mission = rows::Expense(ExpenseKind::Mission, social[0], alpha, Money("400"));
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=300, ASS_CHOMAGE=100, RETRAITE_ANT=0 WHERE ID_DEPENSE=:ID"),
               {{"ID", mission}});
    ASSERT_TRUE(DM->CommitWork());
    const int contributions = Order(150, {mission});
    const int invoice = Order(151, {Invoice(social[0], alpha, "7425")});
    struct Case {
        int order;
        ExpenseKind kind;
        const char* chap;
        const char* art;
        bool stationery;
        const char* report;   // empty: refused
    };
    const Case cases[] = {
        {invoice, ExpenseKind::Invoice, "22-04", "01", false, "RptMandat_FB"},
        {invoice, ExpenseKind::Mission, "22-04", "01", true, "RptMandat_P"},
        {contributions, ExpenseKind::Mission, "21-05", "01", false, "RptMandat_2205_FB"},
        {contributions, ExpenseKind::Invoice, "22.05", "1", true, "RptMandat_2205_P"},
        {contributions, ExpenseKind::Mission, "2202", "08", false, "RptMandat_2205_FB"},
        {contributions, ExpenseKind::Mission, "22-02", "08", true, "RptMandat_2205_P"},
        {contributions, ExpenseKind::Mission, "21-05", "02", false, "RptMandat_FB"},
        {invoice, ExpenseKind::Invoice, "21-05", "01", false, "RptMandat_FB"},   // no contribution: the standard forms
        {invoice, ExpenseKind::Invoice, "22-02", "08", true, "RptMandat_P"},
        {invoice, ExpenseKind::SalaryToPay, "", "", false, "RptMandat_Salaire"},
        {invoice, ExpenseKind::SalaryToPay, "", "", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3 %4 %5").arg(c.order).arg(toDb(c.kind)).arg(c.chap, c.art).arg(c.stationery)
                         .toStdString());
        const auto form = CreateMandatDocument(c.order, c.kind, QString::fromLatin1(c.chap),
                                               QString::fromLatin1(c.art), c.stationery);
        EXPECT_EQ(form ? form->report().name() : QString(), QString::fromLatin1(c.report));
        if (form) {
            EXPECT_EQ(form->IdMdt, c.order);
        }
    }
    PreviewMandat(nullptr, 1, ExpenseKind::SalaryToPay, QString(), QString(), true);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Ce mandat ne peut être imprimé que sur feuille blanche !")});
}

// Whatever form prints an order on a social-contribution line, its net to
// pay is what the order pays: an invoice prints its amount on the standard
// form, contributions that make the amount print on their own form, and a
// social-contribution form refuses an order its contributions do not make.
TEST_F(MandatDocsTest, TheNetToPayIsWhatTheOrderPaysOnEveryForm)
{
    const auto missionOf = [this](qint64 line, const char* amount, const char* regime, const char* chomage) {
        const qint64 e = rows::Expense(ExpenseKind::Mission, line, alpha, Money(amount));
        rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=:R, ASS_CHOMAGE=:C, RETRAITE_ANT=0 WHERE ID_DEPENSE=:ID"),
                   {{"R", Money(regime)}, {"C", Money(chomage)}, {"ID", e}});
        DM->CommitWork();
        return e;
    };
    struct Case {
        const char* what;
        int order;
        const char* pays;
        const char* form;
    };
    const qint64 line0801 = rows::BudgetLine(QStringLiteral("22-02"), QStringLiteral("08"), QString(),
                                             QStringLiteral("Cotisations"));
    ASSERT_TRUE(DM->CommitWork());
    const Case cases[] = {
        {"invoice on 21-05 01", Order(160, {Invoice(social[0], alpha, "7425")}), "7425", "RptMandat_FB"},
        {"invoice on 22-02 08", Order(161, {Invoice(line0801, alpha, "7425")}), "7425", "RptMandat_FB"},
        {"contributions of a mission", Order(162, {missionOf(social[0], "400", "300", "100")}), "400",
         "RptMandat_2205_FB"},
        {"contributions short of the amount", Order(163, {missionOf(social[0], "500", "300", "100")}), "500",
         "RptMandat_FB"},
        {"an invoice and a mission", Order(164, {Invoice(social[0], alpha, "25"), missionOf(social[0], "400", "300", "100")}),
         "425", "RptMandat_FB"},
    };
    for (const Case& c : cases) {
        for (bool stationery : {false, true}) {
            SCOPED_TRACE(QStringLiteral("%1%2").arg(QLatin1String(c.what), stationery ? ", stationery" : "").toStdString());
            std::unique_ptr<TRptMandatForm> form =
                CreateMandatDocument(c.order, ExpenseKind::Invoice, QStringLiteral("21-05"), QStringLiteral("01"), stationery);
            QString expected = QString::fromLatin1(c.form);
            if (stationery)
                expected.replace(QLatin1String("_FB"), QLatin1String("_P"));
            EXPECT_EQ(form->report().name(), expected);
            const auto pages = Print(*form, c.order);
            const rpt::Page& page = pages->page(0);
            EXPECT_EQ(Text(page, "lNAP"), Money(c.pays).formatMoney());
            EXPECT_EQ(Text(page, "lTot"), Money(c.pays).formatMoney());
            EXPECT_EQ(Flat(page, "lLettre"), AmountToWords(Money(c.pays)));
        }
    }
    // Printed directly on the social-contribution form, an invoice prints nothing and says why.
    TfrmRptMandat_2205_FB form;
    form.IdMdt = cases[0].order;
    const auto pages = form.Prepare();
    EXPECT_TRUE(pages->isEmpty());
    EXPECT_TRUE(pages->refusal.startsWith(QStringLiteral("Les lignes de ce mandat ne portent pas de cotisations")));

    // A line whose expense is gone would be in the total and in no row: nothing prints.
    const int orphan = Order(165, {Invoice(l1, alpha, "10")});
    rows::Write([&] {
        rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:ID, 2, 32000, 50)"),
                   {{"ID", qint64(orphan)}});
    });
    TfrmRptMandat_FB standard;
    standard.IdMdt = orphan;
    const auto none = standard.Prepare();
    EXPECT_TRUE(none->isEmpty());
    EXPECT_TRUE(none->refusal.startsWith(QStringLiteral("Une ligne de ce mandat ne porte plus sur aucune dépense")));
}

// The print tool prints what the preview would: an order its form cannot
// hold writes no file, says why and ends in failure; one that fits is written.
TEST_F(MandatDocsTest, ThePrintToolWritesNoFileForAnOrderItsFormCannotHold)
{
    QList<qint64> expenses;
    for (qint64 line : {l1, l2, l3, l4, l5})
        expenses << Invoice(line, alpha, "100");
    const int five = Order(170, expenses);
    const int four = Order(171, expenses.mid(0, 4));
    const QString database = year->path();
    // The tool opens the year's file itself: this process lets go of it first.
    delete DM;
    DM = nullptr;

    struct Case {
        int order;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {five, 1, "Ce mandat porte sur 5 imputations ; le formulaire n'en contient que 4. Répartissez-les sur "
                  "plusieurs mandats."},
        {four, 0, "URptMandat_FB: 1 page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        const QString pdf = year->dir() + QStringLiteral("mandat_%1.pdf").arg(c.order);
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral(VOREL_PRINT_TOOL),
                   {database, QStringLiteral("URptMandat_FB"), QStringLiteral("IdMdt=%1").arg(c.order),
                    QStringLiteral("-o"), pdf});
        ASSERT_TRUE(tool.waitForFinished(60000));
        const QString output = QString::fromUtf8(tool.readAll());
        EXPECT_EQ(tool.exitCode(), c.exitCode) << output.toStdString();
        EXPECT_TRUE(output.contains(QString::fromUtf8(c.says))) << output.toStdString();
        EXPECT_EQ(QFile::exists(pdf), c.exitCode == 0);
    }
}
