// The regularisation sheets on white paper and on stationery: the entries a
// payment-order sheet prints (its orders' expenses of the line, then each
// order), the limit of entries on each form, the one entry of a copied sheet,
// and the balances of the regularisation series.
#include "common/DocumentFixture.h"
#include "common/TextBoxes.h"
#include "core/Routines.h"
#include "reports/commitments/URptFEDep_Regul.h"
#include "reports/commitments/URptFEDep_Regul_PreImp.h"
#include "reports/commitments/URptFEEco_Art_Regul.h"
#include "reports/commitments/URptFEEco_Art_Regul_PreImp.h"

namespace {

class RegulSheetDocsTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        rows::BudgetLine(QStringLiteral("21-03"), QString(), QString(), QStringLiteral("Matériel et mobilier"));
        line = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("02"), QString(),
                                QStringLiteral("Mobilier de bureau"), rows::Money("10000"));
        other = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("03"), QString(),
                                 QStringLiteral("Matériel informatique"));
        supplier = rows::Beneficiary(QStringLiteral("SARL MEUBLES"));
    }

    qint64 Sheet(const QString& number, SheetObject objet, SheetOrigin kind, Currency amount,
                 const QString& obs = QStringLiteral("REGULARISATION"))
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS, OBJET, MONTANT, "
                                      "ORIGINE, ID_ORIGINE, STATUT) VALUES (:ID, :NO, :D, :F, :OBS, :OBJ, :M, :ORI, "
                                      "-1, 0)"),
                       {{"ID", id}, {"NO", number}, {"D", QDate(2024, 6, 5)}, {"F", line}, {"OBS", obs},
                        {"OBJ", toDbValue(objet)}, {"M", amount}, {"ORI", toDbValue(kind)}});
        });
        return id;
    }

    // An order paying `expenses` invoices of 100.00 on the line (and one on
    // another line), put on the sheet at its share of the line.
    qint64 OrderOnSheet(qint64 idEng, int noLine, int expenses)
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_MDT"));
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, NATURE, STATUT, MONTANT) "
                                      "VALUES (:ID, :NO, :D, 'Nature', 0, 0)"),
                       {{"ID", id}, {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
                        {"D", QDate(2024, 5, 2)}});
            int n = 0;
            for (int k = 0; k <= expenses; ++k) {
                const bool elsewhere = k == expenses;
                const qint64 e = rows::Expense(ExpenseKind::Invoice, elsewhere ? other : line, supplier,
                                               rows::Money("100"), QStringLiteral("F%1-%2").arg(id).arg(k));
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "VALUES (:M, :L, :E, 100)"),
                           {{"M", id}, {"L", qint64(++n)}, {"E", e}});
            }
            rows::Exec(QStringLiteral("INSERT INTO DET_ENG_REG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                                      "VALUES (:R, :L, :O, :M, :A)"),
                       {{"R", idEng}, {"L", qint64(noLine)}, {"O", toDbValue(LineObject::PaymentOrder)}, {"M", id},
                        {"A", rows::Money("100") * expenses}});
        });
        return id;
    }

    // A payment-order sheet of `orders` orders of `expenses` expenses each.
    qint64 OrderSheet(int orders, int expenses)
    {
        const Currency total = rows::Money("100") * (orders * expenses);
        const qint64 id = Sheet(QStringLiteral("0003"), SheetObject::Expense, SheetOrigin::PaymentOrders, total);
        for (int k = 1; k <= orders; ++k)
            OrderOnSheet(id, k, expenses);
        return id;
    }

    template <class Form>
    std::unique_ptr<rpt::PreparedPages> Print(qint64 idEng)
    {
        Form form;
        form.IdEng = int(idEng);
        form.IdFnm = int(line);
        return form.Prepare();
    }

    static int Entries(const rpt::Page& page)
    {
        int n = 0;
        while (page.item(QStringLiteral("lFact%1").arg(n + 1)))
            ++n;
        return n;
    }

    qint64 line = -1, other = -1, supplier = -1;
};

} // namespace

TEST_F(RegulSheetDocsTest, EachFormPrintsEveryEntryOrNothingWithOneReason)
{
    MaxDocLines = 25;
    struct Case {
        bool white;
        int orders, expenses;   // entries: orders * (expenses + 1)
        const char* refusal;
    } cases[] = {
        {true, 13, 1, nullptr},   // 26: the white form's last slot
        {true, 9, 2, "La fiche ne peut pas prendre plus de dépenses ! (27 lignes ; 26 au plus)"},
        {false, 10, 1, nullptr},  // 20: the stationery's last slot
        {false, 7, 2, "La fiche ne peut pas prendre plus de factures ! (21 lignes ; 20 au plus)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1, %2 x %3").arg(c.white ? "white" : "stationery").arg(c.orders).arg(c.expenses)
                         .toStdString());
        const qint64 id = OrderSheet(c.orders, c.expenses);
        const auto pages = c.white ? Print<TfrmRptFEDep_Regul>(id) : Print<TfrmRptFEDep_Regul_PreImp>(id);
        if (c.refusal) {
            EXPECT_TRUE(pages->isEmpty());
            EXPECT_EQ(pages->refusal, QString::fromUtf8(c.refusal));
            continue;
        }
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Entries(page), c.orders * (c.expenses + 1));
        // The printed total is the header's and the sum of the orders' rows.
        Currency orders;
        for (int k = 1; k <= Entries(page); ++k)
            if (page.textsOf(QStringLiteral("lFact%1").arg(k)).join(QString()).startsWith(QStringLiteral("MANDAT N° ")))
                orders += *Currency::parse(page.textsOf(QStringLiteral("lMt%1").arg(k)).join(QString()).remove(' '));
        const Currency total = rows::Money("100") * (c.orders * c.expenses);
        EXPECT_EQ(orders, total);
        EXPECT_EQ(page.textsOf(QStringLiteral("lMontant1")), QStringList{total.formatMoney()});
        EXPECT_EQ(page.textsOf(QStringLiteral("lMontant")), QStringList{total.formatMoney()});
    }
}

TEST_F(RegulSheetDocsTest, AnOrderListsItsExpensesOfTheLineThenItself)
{
    const qint64 id = Sheet(QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::PaymentOrders, rows::Money("200"));
    const qint64 order = OrderOnSheet(id, 1, 2);
    const auto pages = Print<TfrmRptFEDep_Regul>(id);
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->page(0);
    const QString no = QStringLiteral("%1").arg(order, 4, 10, QLatin1Char('0'));
    EXPECT_EQ(Entries(page), 3);
    EXPECT_EQ(page.textsOf(QStringLiteral("lNum1")).join(QString()), QStringLiteral("1- "));
    EXPECT_EQ(page.textsOf(QStringLiteral("lFact1")).join(QLatin1Char(' ')),
              QStringLiteral("FACTURE N° F%1-0 DU 01/03/2024 DE SARL MEUBLES").arg(order));
    EXPECT_EQ(page.textsOf(QStringLiteral("lFact3")).join(QLatin1Char(' ')),
              QStringLiteral("MANDAT N° %1 DU 02/05/2024").arg(no));
    EXPECT_EQ(page.textsOf(QStringLiteral("lMt3")), QStringList{QStringLiteral("200.00")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lObjet")), QStringList{QStringLiteral("DEPENSE")});
    // The regularisation series starts from the primitive budget.
    EXPECT_EQ(page.textsOf(QStringLiteral("lOldSolde")), QStringList{QStringLiteral("10 000.00")});
    EXPECT_EQ(page.textsOf(QStringLiteral("lNewSolde")), QStringList{QStringLiteral("9 800.00")});
    ExpectTextsInTheirBoxes(page);
}

TEST_F(RegulSheetDocsTest, ACopiedSheetPrintsItsObservationAsItsOneEntry)
{
    Sheet(QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::PaymentOrders, rows::Money("1500"));
    const qint64 id = Sheet(QStringLiteral("0003"), SheetObject::Economy, SheetOrigin::Transfer, rows::Money("700"),
                            QStringLiteral("Transfert reçu"));
    for (bool white : {true, false}) {
        const auto pages = white ? Print<TfrmRptFEEco_Art_Regul>(id) : Print<TfrmRptFEEco_Art_Regul_PreImp>(id);
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Entries(page), 1);
        EXPECT_EQ(page.textsOf(QStringLiteral("lFact1")).join(QLatin1Char(' ')), QStringLiteral("Transfert reçu"));
        EXPECT_EQ(page.textsOf(QStringLiteral("lMt1")), QStringList{QStringLiteral("700.00")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lObjet")), QStringList{QStringLiteral("ECONOMIE")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lOldSolde")), QStringList{QStringLiteral("8 500.00")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lNewSolde")), QStringList{QStringLiteral("9 200.00")});
    }
}

// A payment-order sheet carries the regularisation heading above its budget
// line on both papers, and each order's own row starts at its own left
// (260 pixels on white paper, 264 on the stationery); the other sheets have
// no such heading.
TEST_F(RegulSheetDocsTest, APaymentOrderSheetIsHeadedAsARegularisationAndSetsItsOrdersIn)
{
    const QString heading =
        QStringLiteral("FICHE DE REGULARISATION DES DEPENSES EFFECTUEES DANS LE CADRE DU CONTROLE A POSTERIORI");
    const qint64 orders = Sheet(QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::PaymentOrders,
                                rows::Money("200"));
    OrderOnSheet(orders, 1, 2);
    const qint64 copied = Sheet(QStringLiteral("0003"), SheetObject::Economy, SheetOrigin::Transfer, rows::Money("700"));
    for (bool white : {true, false}) {
        SCOPED_TRACE(white ? "white paper" : "stationery");
        const auto pages = white ? Print<TfrmRptFEDep_Regul>(orders) : Print<TfrmRptFEDep_Regul_PreImp>(orders);
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(page.textsOf(QStringLiteral("LibRegul")), QStringList{heading});
        const rpt::PageItem* item = page.item(QStringLiteral("LibRegul"));
        const rpt::PageItem* chapter = page.item(QStringLiteral("lCapChap"));
        ASSERT_TRUE(item && chapter);
        EXPECT_LE(item->rect.bottom(), chapter->rect.top());
        if (white) {
            const rpt::PageItem* section = page.item(QStringLiteral("lSousSection"));
            ASSERT_NE(section, nullptr);
            EXPECT_GE(item->rect.top(), section->rect.bottom());
        }
        ExpectTextsInTheirBoxes(page);

        // Two expenses, then the order's own row, set in.
        const double band = page.bands.at(0).rect.left();
        EXPECT_EQ(int(page.item(QStringLiteral("lFact3"))->rect.left() - band), white ? 260 : 264);
        EXPECT_LT(page.item(QStringLiteral("lFact1"))->rect.left() - band, 100);
        EXPECT_EQ(page.item(QStringLiteral("lFact3"))->rect.right(), page.item(QStringLiteral("lFact1"))->rect.right());

        const auto others = white ? Print<TfrmRptFEEco_Art_Regul>(copied) : Print<TfrmRptFEEco_Art_Regul_PreImp>(copied);
        ASSERT_EQ(others->count(), 1);
        EXPECT_EQ(others->page(0).item(QStringLiteral("LibRegul")), nullptr);
    }
}

// A new sheet without lines (no number, line, kind or object yet) prints
// through the other forms as an expense of nothing.
TEST_F(RegulSheetDocsTest, ANewSheetWithoutLinesPrintsAsAnExpenseOfNothing)
{
    const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
    rows::Write([&] {
        rows::Exec(QStringLiteral("INSERT INTO ENT_ENG_REG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, OBS, OBJET, MONTANT, "
                                  "ORIGINE, ID_ORIGINE, STATUT) VALUES (:ID, '', :D, -1, '', -1, 0, '', -1, 0)"),
                   {{"ID", id}, {"D", QDate(2024, 6, 5)}});
    });
    for (bool white : {true, false}) {
        SCOPED_TRACE(white ? "white paper" : "stationery");
        const auto pages = white ? Print<TfrmRptFEEco_Art_Regul>(id) : Print<TfrmRptFEEco_Art_Regul_PreImp>(id);
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(page.textsOf(QStringLiteral("lObjet")), QStringList{QStringLiteral("DEPENSE")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lMontant")), QStringList{QStringLiteral("0.00")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lNewSolde")), page.textsOf(QStringLiteral("lOldSolde")));
    }
}
