// The transfer documents on a small year database, read from their page
// model: one order per beneficiary (bank and postal), the cutting line, the
// invoice rows and their limits, the totals over every line, the account to
// debit, the back of the postal orders, the mission advices on their
// stationery and the reduced cards; a second run gives the same pages.
#include "common/ExpenseRows.h"
#include "common/MessageRecorder.h"
#include "common/PreviewDriver.h"
#include "common/TextBoxes.h"
#include "common/YearDb.h"
#include "core/Fonts.h"
#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "reports/ReportTestSupport.h"
#include "reports/transfer/TransferPrint.h"
#include "reports/transfer/URptOrdVir.h"
#include "reports/transfer/URptOrdVirCCP.h"
#include "reports/transfer/URptOrdVirCCP_ACTEL.h"
#include "reports/transfer/URptOrdVirMis_FB.h"
#include "reports/transfer/URptOrdVirMission.h"
#include "reports/transfer/URptOrdVirMission_210208.h"
#include "reports/transfer/URptOrdVirMission_210501.h"
#include "shell/Startup.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <functional>

namespace {

using rows::Money;

QString Text(const rpt::Page& page, const QString& control)
{
    return page.textsOf(control).join(QLatin1Char('|'));
}

// What one control printed on every page, page after page.
QStringList Column(const rpt::PreparedPages& pages, const QString& control)
{
    QStringList out;
    for (const rpt::Page& page : pages.pages)
        out << page.textsOf(control);
    return out;
}

// Every text of every page: what a second run must give again.
QList<QStringList> AllTexts(const rpt::PreparedPages& pages)
{
    QList<QStringList> out;
    for (const rpt::Page& page : pages.pages)
        out << page.texts();
    return out;
}

class TransferDocsTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        InitProgramResources();
        RegisterFontSubstitutions();
        saved = {City, UniversityName, FacultyName, TreasuryAccount, PostalAccount, SupplierPostalAccount, MaxDocLines};
        City = QStringLiteral("Alger");
        UniversityName = QStringLiteral("Université Test");
        FacultyName = QStringLiteral("Faculté des Sciences");
        TreasuryAccount = QStringLiteral("RIT-TRESOR-01");
        PostalAccount = QStringLiteral("0012345678AB");
        SupplierPostalAccount = QStringLiteral("0098765432CD");
        messages = std::make_unique<MessageRecorder>();

        bna = Bank(QStringLiteral("BNA"));
        agency = Scalar(QStringLiteral("INSERT INTO AGENCE (ID_AGENCE, LIBELLE) VALUES (0, 'Agence Centre')"),
                        QStringLiteral("SELECT MAX(ID_AGENCE) FROM AGENCE"));
        line = rows::BudgetLine(QStringLiteral("22-04"), QStringLiteral("01"), QString(), QStringLiteral("Papeterie"));
        mission = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                   QStringLiteral("Frais de mission"));
    }

    void TearDown() override
    {
        messages.reset();
        City = saved.city;
        UniversityName = saved.university;
        FacultyName = saved.faculty;
        TreasuryAccount = saved.treasury;
        PostalAccount = saved.postal;
        SupplierPostalAccount = saved.supplierPostal;
        MaxDocLines = saved.maxLines;
        YearDbTest::TearDown();
    }

    static qint64 Scalar(const QString& insert, const QString& key)
    {
        rows::Exec(insert);
        const qint64 id = rows::Scalar(key);
        DM->CommitWork();
        return id;
    }

    static qint64 Bank(const QString& name)
    {
        rows::Exec(QStringLiteral("INSERT INTO BANQUE (ID_BANQUE, RS) VALUES (0, :RS)"), {{"RS", name}});
        const qint64 id = rows::Scalar(QStringLiteral("SELECT MAX(ID_BANQUE) FROM BANQUE"));
        DM->CommitWork();
        return id;
    }

    qint64 Ben(const QString& name, const QString& account, BeneficiaryType type = BeneficiaryType::Supplier,
               qint64 bank = -1)
    {
        rows::Exec(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, SERVICE_GRADE, NOM, ID_BANQUE, ID_AGENCE, COMPTE) "
                                  "VALUES (:T, 1, :N, :B, :A, :C)"),
                   {{"T", toDbValue(type)}, {"N", name}, {"B", bank < 0 ? bna : bank}, {"A", agency}, {"C", account}});
        const qint64 id = rows::Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
        DM->CommitWork();
        return id;
    }

    qint64 Invoice(qint64 ben, const char* amount, const QString& number = QString(), qint64 fnm = 0)
    {
        return rows::Expense(ExpenseKind::Invoice, fnm ? fnm : line, ben, Money(amount), number);
    }

    // A mission of `ben` on budget line `fnm` carrying the three contributions,
    // for `amount` (their sum unless given).
    qint64 ContributionMission(qint64 fnm, qint64 ben, const char* regime, const char* chomage, const char* retraite,
                               const char* amount = nullptr)
    {
        const Currency sum = Money(regime) + Money(chomage) + Money(retraite);
        const qint64 e = rows::Expense(ExpenseKind::Mission, fnm, ben, amount ? Money(amount) : sum);
        rows::Exec(QStringLiteral("UPDATE DEPENSE SET REGIME_GEN=:G, ASS_CHOMAGE=:C, RETRAITE_ANT=:R "
                                  "WHERE ID_DEPENSE=:ID"),
                   {{"G", Money(regime)}, {"C", Money(chomage)}, {"R", Money(retraite)}, {"ID", e}});
        DM->CommitWork();
        return e;
    }

    // An order of the expenses, each line paying `pays` when given, else the expense's amount.
    static int Order(int id, const QList<qint64>& expenses, const char* pays = nullptr)
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                      "VALUES (:ID, :NO, :D, :S, 0)"),
                       {{"ID", qint64(id)},
                        {"NO", QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'))},
                        {"D", QDate(2024, 3, 5)},
                        {"S", toDbValue(OrderStatus::Paid)}});
            int n = 1;
            for (qint64 e : expenses)
                rows::Exec(pays ? QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                                 "VALUES (:ID, :L, :E, :P)")
                                : QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                                 "SELECT :ID, :L, ID_DEPENSE, MONTANT FROM DEPENSE WHERE ID_DEPENSE=:E"),
                           pays ? QList<QPair<QString, db::Value>>{{"ID", qint64(id)}, {"L", qint64(n++)}, {"E", e},
                                                                   {"P", Money(pays)}}
                                : QList<QPair<QString, db::Value>>{{"ID", qint64(id)}, {"L", qint64(n++)}, {"E", e}});
        });
        return id;
    }

    static std::unique_ptr<rpt::PreparedPages> Print(TRptTransferForm& form, int idMdt)
    {
        form.IdMdt = idMdt;
        return form.Prepare();
    }

    struct Saved {
        QString city, university, faculty, treasury, postal, supplierPostal;
        std::int16_t maxLines = 25;
    } saved;
    std::unique_ptr<MessageRecorder> messages;
    qint64 bna = 0, agency = 0, line = 0, mission = 0;
};

} // namespace

TEST_F(TransferDocsTest, BankOrdersTwoToAPageWithOneCuttingLineTheSameOnAReprint)
{
    const qint64 c = Ben(QStringLiteral("SNC GAMMA"), QStringLiteral("00777"));
    const qint64 a = Ben(QStringLiteral("SARL ALPHA"), QStringLiteral("00123"));
    const qint64 b = Ben(QStringLiteral("EURL BETA"), QStringLiteral("00999"));
    const int id = Order(1, {Invoice(c, "300", QStringLiteral("F-3")), Invoice(a, "100", QStringLiteral("F-1")),
                             Invoice(b, "200", QStringLiteral("F-2")), Invoice(b, "50", QStringLiteral("F-4"))});

    TfrmRptOrdVir form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(Column(*pages, QStringLiteral("lNom")),
              (QStringList{"EURL BETA", "SARL ALPHA", "SNC GAMMA"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lMontant")), (QStringList{"250.00", "100.00", "300.00"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lMontant1")), Column(*pages, QStringLiteral("lMontant")));
    EXPECT_EQ(Column(*pages, QStringLiteral("lDetail")),
              (QStringList{"Paiement de Factures", "Paiement de la Facture", "Paiement de la Facture"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNoF2")), QStringList{"F-4"});
    EXPECT_EQ(Column(*pages, QStringLiteral("lBnq")), (QStringList{"BNA", "BNA", "BNA"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lAgence")).first(), QStringLiteral("Agence Centre"));
    // The cutting line separates the two orders of the first page only.
    EXPECT_EQ(pages->pages[0].bandCount(QStringLiteral("bdCut")), 1);
    EXPECT_EQ(pages->pages[1].bandCount(QStringLiteral("bdCut")), 0);

    const auto again = form.PrepareAgain();
    EXPECT_EQ(AllTexts(*again), AllTexts(*pages));
    EXPECT_EQ(again->pages[0].bandCount(QStringLiteral("bdCut")), 1);
    EXPECT_EQ(again->pages[1].bandCount(QStringLiteral("bdCut")), 0);
}

TEST_F(TransferDocsTest, BankOrderOfFourteenInvoicesShowsThirteenRowsAndPaysAllFourteen)
{
    const qint64 a = Ben(QStringLiteral("SARL ALPHA"), QStringLiteral("00123"));
    QList<qint64> invoices;
    for (int i = 1; i <= 14; ++i)
        invoices << Invoice(a, "1000", QStringLiteral("F-%1").arg(i, 2, 10, QLatin1Char('0')));
    const int id = Order(2, invoices);

    TfrmRptOrdVir form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->pages[0];
    EXPECT_EQ(Text(page, QStringLiteral("lNoF13")), QStringLiteral("F-13"));
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoF14")), QStringList());
    EXPECT_EQ(Text(page, QStringLiteral("lMontant")), QStringLiteral("14 000.00"));
    EXPECT_EQ(Text(page, QStringLiteral("lMontant1")), QStringLiteral("14 000.00"));
    EXPECT_EQ(pages->warnings, QStringList{TfrmRptOrdVir::TooManyInvoicesText(QStringLiteral("SARL ALPHA"))});
}

TEST_F(TransferDocsTest, BankOrderKeepsALongNameInsideItsBox)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE FOURNITURES SCOLAIRES ET DE MATERIEL DE BUREAU "
                                        "DE LA WILAYA D'ALGER ET DES WILAYAS LIMITROPHES DU CENTRE DU PAYS");
    const int id = Order(3, {Invoice(Ben(name, QStringLiteral("1")), "10")});
    TfrmRptOrdVir form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->pages[0];
    const rpt::PageItem* item = page.item(QStringLiteral("lNom"));
    ASSERT_NE(item, nullptr);
    const double bandTop = page.bands.at(0).rect.top();
    EXPECT_GE(item->rect.top() - bandTop, 217);
    EXPECT_LE(item->rect.bottom() - bandTop, 217 + 71 + 1);
    EXPECT_EQ(Text(page, QStringLiteral("lNom")).simplified(), name);
}

// A long payee wraps over the room above the amount in place of shrinking
// to one line; each order starts again from the design's size, so the next
// payee's short name prints at its size.
TEST_F(TransferDocsTest, PostalOrderPayeeWrapsAboveTheAmountEachOrderAtItsOwnSize)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE FOURNITURES SCOLAIRES ET DE MATERIEL DE BUREAU");
    const int id = Order(9, {Invoice(Ben(name, QStringLiteral("CCP 1")), "10"),
                             Invoice(Ben(QStringLiteral("ZOHRA"), QStringLiteral("CCP 2")), "20")});
    TfrmRptOrdVirCCP form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->pages[0];
    ExpectTextsInTheirBoxes(page, {QStringLiteral("lFour"), QStringLiteral("lFour1"), QStringLiteral("lMontant"),
                                   QStringLiteral("lMontant1"), QStringLiteral("lCpt"), QStringLiteral("lCpt1"),
                                   QStringLiteral("lTxtMontant"), QStringLiteral("lTxtMontant1")});
    for (const QString& control : {QStringLiteral("lFour"), QStringLiteral("lFour1")}) {
        SCOPED_TRACE(control.toStdString());
        const rpt::PageItem* payee = page.item(control, 0);
        ASSERT_NE(payee, nullptr);
        EXPECT_EQ(payee->text.split(QLatin1Char('\n')).join(QLatin1Char(' ')), name);
        EXPECT_GT(payee->text.count(QLatin1Char('\n')), 0);
        EXPECT_GT(payee->font.pointSizeF(), rpt::MinFontPoints);
        const rpt::PageItem* box = page.item(control == QLatin1String("lFour") ? QStringLiteral("shpMontant")
                                                                                : QStringLiteral("shpMontant1"));
        ASSERT_NE(box, nullptr);
        EXPECT_LE(payee->rect.bottom(), box->rect.top());
        const rpt::PageItem* next = page.item(control, 1);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->text, QStringLiteral("ZOHRA"));
        EXPECT_DOUBLE_EQ(next->font.pointSizeF(), 10);
    }
}

TEST_F(TransferDocsTest, PostalOrderDebitsTheAccountOfTheBeneficiarysTypeSplitFromItsKey)
{
    struct Case {
        BeneficiaryType type;
        const char* postal;
        const char* supplierPostal;
        const char* account;
        const char* key;
        const char* object;
    };
    const Case cases[] = {
        {BeneficiaryType::Employee, "0012345678AB", "XX", "0012345678", "AB", "Frais de Mission"},
        {BeneficiaryType::Supplier, "XX", "0098765432CD", "0098765432", "CD", "Paiement de factures"},
        {BeneficiaryType::Supplier, "XX", "7", "", "7", "Paiement de factures"},
        {BeneficiaryType::Supplier, "XX", "", "", "", "Paiement de factures"},
    };
    const qint64 ben[2] = {Ben(QStringLiteral("AGENT UN"), QStringLiteral("CCP 11"), BeneficiaryType::Employee),
                           Ben(QStringLiteral("FOURNISSEUR"), QStringLiteral("CCP 22"))};
    const int employeeOrder = Order(4, {Invoice(ben[0], "120")});
    const int supplierOrder = Order(5, {Invoice(ben[1], "80"), Invoice(ben[1], "20")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.supplierPostal);
        PostalAccount = QString::fromLatin1(c.postal);
        SupplierPostalAccount = QString::fromLatin1(c.supplierPostal);
        TfrmRptOrdVirCCP form;
        const auto pages = Print(form, c.type == BeneficiaryType::Employee ? employeeOrder : supplierOrder);
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->pages[0];
        for (const QString& half : {QString(), QStringLiteral("1")}) {
            EXPECT_EQ(Text(page, QStringLiteral("lRIP") + half), QString::fromLatin1(c.account));
            EXPECT_EQ(Text(page, QStringLiteral("lKey") + half), QString::fromLatin1(c.key));
            EXPECT_EQ(Text(page, QStringLiteral("lObs") + half), QString::fromLatin1(c.object));
        }
        EXPECT_EQ(Text(page, QStringLiteral("lMontant")), Text(page, QStringLiteral("lMontant1")));
        EXPECT_EQ(Text(page, QStringLiteral("lMontant")),
                  c.type == BeneficiaryType::Employee ? QStringLiteral("120.00") : QStringLiteral("100.00"));
    }
}

TEST_F(TransferDocsTest, PostalBackClearsEveryRowForEachBeneficiaryAndPairsHomonymsWithTheFront)
{
    MaxDocLines = 20;
    // Two homonyms: the second created carries fewer invoices and a later key.
    const qint64 first = Ben(QStringLiteral("BENALI"), QStringLiteral("CPT-1"));
    const qint64 second = Ben(QStringLiteral("BENALI"), QStringLiteral("CPT-2"));
    QList<qint64> invoices;
    for (int i = 1; i <= 3; ++i)
        invoices << Invoice(second, "10", QStringLiteral("S-%1").arg(i));
    for (int i = 1; i <= 22; ++i)
        invoices << Invoice(first, "1", QStringLiteral("P-%1").arg(i));
    const int id = Order(6, invoices);

    TfrmRptOrdVirCCP front;
    const auto fronts = Print(front, id);
    EXPECT_EQ(Column(*fronts, QStringLiteral("lCpt")), (QStringList{"CPT-1", "CPT-2"}));
    EXPECT_EQ(Column(*fronts, QStringLiteral("lMontant")), (QStringList{"22.00", "30.00"}));

    TfrmRptOrdVirCCP_Verso back;
    const auto backs = Print(back, id);
    ASSERT_EQ(backs->count(), 1);
    const rpt::Page& page = backs->pages[0];
    // The first back: its 22 invoices; the second: its 3 and nothing of the first's.
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoF22")), QStringList{"P-22"});
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoF1")), (QStringList{"P-1", "S-1"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoF3")), (QStringList{"P-3", "S-3"}));
    EXPECT_EQ(page.textsOf(QStringLiteral("lNoF4")), QStringList{"P-4"});
    EXPECT_EQ(page.textsOf(QStringLiteral("lNo21")).size(), 1);
    EXPECT_TRUE(page.textsOf(QStringLiteral("lMontant")).isEmpty());
    EXPECT_TRUE(backs->warnings.isEmpty());

    // Past the 25 rows of the back the user is told.
    QList<qint64> more;
    for (int i = 1; i <= 26; ++i)
        more << Invoice(first, "1");
    TfrmRptOrdVirCCP_Verso crowded;
    const auto crowdedPages = Print(crowded, Order(7, more));
    EXPECT_EQ(crowdedPages->warnings,
              QStringList{TfrmRptOrdVirCCP_Verso::TooManyInvoicesText(QStringLiteral("BENALI"))});
}

TEST_F(TransferDocsTest, PhoneOperatorOrderPrintsItsFixedPayeeWithEachBeneficiarysTotal)
{
    const QStringList savedPhone{PhonePayeeName, PhonePayeeAccount, PhonePayeeDebitAccount, PhonePayeeObject};
    PhonePayeeName = QStringLiteral("ACTEL - Algérie Télécom");
    PhonePayeeAccount = QStringLiteral("ACTEL-CPT");
    PhonePayeeDebitAccount = QStringLiteral("4455667788ZZ");
    PhonePayeeObject = QStringLiteral("Diverses factures");
    const int id = Order(8, {Invoice(Ben(QStringLiteral("A"), QStringLiteral("1")), "15.5")});
    TfrmRptOrdVirCCP_Actel form;
    const auto pages = Print(form, id);
    PhonePayeeName = savedPhone[0];
    PhonePayeeAccount = savedPhone[1];
    PhonePayeeDebitAccount = savedPhone[2];
    PhonePayeeObject = savedPhone[3];
    ASSERT_EQ(pages->count(), 1);
    const rpt::Page& page = pages->pages[0];
    EXPECT_EQ(Text(page, QStringLiteral("lFour1")), QStringLiteral("ACTEL - Algérie Télécom"));
    EXPECT_EQ(Text(page, QStringLiteral("lCpt")), QStringLiteral("ACTEL-CPT"));
    EXPECT_EQ(Text(page, QStringLiteral("lRIP1")) + "|" + Text(page, QStringLiteral("lKey1")),
              QStringLiteral("4455667788|ZZ"));
    EXPECT_EQ(Text(page, QStringLiteral("lObs")), QStringLiteral("Diverses factures"));
    EXPECT_EQ(Text(page, QStringLiteral("lMontant")), QStringLiteral("15.50"));
}

TEST_F(TransferDocsTest, AdviceAndCardDebitThePostalAccountForThePostalCentreOnly)
{
    struct Case {
        const char* bank;
        bool postal;
    };
    const Case cases[] = {{"CCP", true}, {" c.c.p ", true}, {"C C P", true}, {"BNA", false}, {"CCPX", false}};
    int id = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bank);
        const qint64 ben = Ben(QStringLiteral("AGENT"), QStringLiteral("777"), BeneficiaryType::Employee,
                               Bank(QString::fromLatin1(c.bank)));
        const int order = Order(++id, {rows::Expense(ExpenseKind::Mission, mission, ben, Money("10"))});
        const QString expected = c.postal ? PostalAccount : TreasuryAccount;
        TfrmRptOrdVirMission advice;
        const auto pages = Print(advice, order);
        ASSERT_EQ(pages->count(), 1);
        EXPECT_EQ(Text(pages->pages[0], QStringLiteral("lRITP")), expected);
        EXPECT_EQ(Text(pages->pages[0], QStringLiteral("lRITP1")), expected);
        TfrmRptOrdVirMis_FB card;
        const auto cards = Print(card, order);
        ASSERT_EQ(cards->count(), 1);
        EXPECT_EQ(Text(cards->pages[0], QStringLiteral("lRITP")), expected);
    }
}

TEST_F(TransferDocsTest, MissionAdvicesOnePerLineOnTheirOwnPageOfTheStationery)
{
    const qint64 zed = Ben(QStringLiteral("ZERROUK"), QStringLiteral("Z-1"), BeneficiaryType::Employee);
    const qint64 amr = Ben(QStringLiteral("AMRANI"), QStringLiteral("A-1"), BeneficiaryType::Employee);
    const qint64 refund = rows::Expense(ExpenseKind::Mission, mission, zed, Money("700"));
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET REMBOURS=:R WHERE ID_DEPENSE=:ID"),
               {{"R", toDbValue(PaymentType::Reimbursement)}, {"ID", refund}});
    DM->CommitWork();
    const qint64 shared = rows::Expense(ExpenseKind::Mission, mission, amr, Money("500"));
    // The same expense on another order, for another amount: only this order's counts.
    Order(30, {shared}, "123");
    const int id = Order(31, {refund, shared, rows::Expense(ExpenseKind::Mission, mission, amr, Money("40"))});

    TfrmRptOrdVirMission form;
    form.NoMdt = QStringLiteral("0031");
    form.DateMdt = QStringLiteral("05/03/2024");
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(Column(*pages, QStringLiteral("lNom")), (QStringList{"AMRANI", "AMRANI", "ZERROUK"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNap")), (QStringList{"500.00", "40.00", "700.00"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNap1")), Column(*pages, QStringLiteral("lNap")));
    EXPECT_EQ(Column(*pages, QStringLiteral("lReglement")),
              (QStringList{"PAIEMENT FRAIS DE MISSION", "PAIEMENT FRAIS DE MISSION", "REMBOURSEMENT FRAIS DE MISSION"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNoMandat")), (QStringList{"0031", "0031", "0031"}));
    // The stationery's own size, width and length as given, one advice per sheet.
    for (const rpt::Page& page : pages->pages) {
        EXPECT_NEAR(rpt::PxToMm(page.size.width()), 345, 0.5);
        EXPECT_NEAR(rpt::PxToMm(page.size.height()), 140, 0.5);
        EXPECT_EQ(page.bandCount(QStringLiteral("bdDetail")), 1);
    }
    EXPECT_EQ(AllTexts(*form.PrepareAgain()), AllTexts(*pages));
}

TEST_F(TransferDocsTest, ContributionAdvicesAreThreeSummedOverEveryBudgetLine)
{
    const qint64 other = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("02"), QString(),
                                          QStringLiteral("Cotisations 2"));
    const qint64 ben = Ben(QStringLiteral("CNAS"), QStringLiteral("CNAS-1"));
    const int id = Order(40, {ContributionMission(line, ben, "2375", "100", "25"),
                              ContributionMission(other, ben, "1187.5", "50", "12.5")});

    TfrmRptOrdVirMission_210501 form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(Column(*pages, QStringLiteral("lReglement")), TfrmRptOrdVirMission_210501::ContributionTexts());
    EXPECT_EQ(Column(*pages, QStringLiteral("lNap2")), (QStringList{"3 562.50", "150.00", "37.50"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNom")), (QStringList{"CNAS", "CNAS", "CNAS"}));
    const auto again = form.PrepareAgain();
    EXPECT_EQ(AllTexts(*again), AllTexts(*pages));
}

TEST_F(TransferDocsTest, SalaryDetailAdvicesFollowTheFirstLinesRows)
{
    const qint64 ben = Ben(QStringLiteral("PERSONNEL"), QStringLiteral("P-1"));
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToPay, line, ben, Money("900"));
    const qint64 l2 = rows::BudgetLine(QStringLiteral("21-02"), QStringLiteral("08"), QString(),
                                       QStringLiteral("Oeuvres sociales"));
    rows::Imputation(salary, line, Money("600"));
    rows::Imputation(salary, l2, Money("300"));
    const int id = Order(50, {salary});

    TfrmRptOrdVirMission_210208 form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(Column(*pages, QStringLiteral("lIntitule")), (QStringList{"Papeterie", "Oeuvres sociales"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNap")), (QStringList{"600.00", "300.00"}));

    TfrmRptOrdVirMission_210208 empty;
    EXPECT_EQ(Print(empty, Order(51, {}))->count(), 0);
}

TEST_F(TransferDocsTest, ReducedCardsFourToALetterPage)
{
    QList<qint64> invoices;
    for (const char* name : {"E", "D", "C", "B", "A"})
        invoices << Invoice(Ben(QString::fromLatin1(name), QStringLiteral("C-") + QString::fromLatin1(name)), "25");
    invoices << Invoice(rows::Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF")), "5");
    TfrmRptOrdVirMis_FB form;
    const auto pages = Print(form, Order(60, invoices));
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->pages[0].bandCount(QStringLiteral("bdDetail")), 4);
    EXPECT_EQ(pages->pages[1].bandCount(QStringLiteral("bdDetail")), 1);
    EXPECT_EQ(Column(*pages, QStringLiteral("lNom")), (QStringList{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(Column(*pages, QStringLiteral("lNap1")), (QStringList{"30.00", "25.00", "25.00", "25.00", "25.00"}));
    // Two columns side by side.
    const rpt::Page& page = pages->pages[0];
    EXPECT_LT(page.item(QStringLiteral("lNom"), 0)->rect.left(), page.item(QStringLiteral("lNom"), 2)->rect.left());
}

TEST_F(TransferDocsTest, PrintItemsChooseTheSalaryAdviceAndAskForTheBackOnce)
{
    const qint64 ben = Ben(QStringLiteral("A"), QStringLiteral("1"));
    const int id = Order(70, {Invoice(ben, "10")});
    EXPECT_NE(dynamic_cast<TfrmRptOrdVirMission_210208*>(
                  CreateTransferDocument(TransferItem::MissionSalary, {id, {}, {}, "21-05", "01"}).get()),
              nullptr);

    for (const int answer : {int(mrYes), int(mrNo)}) {
        messages->clear();
        messages->answer(answer);
        int previews = 0;
        // Each preview is closed once its pages are ready; the next one is
        // watched for once the previous has closed.
        std::function<void(QDialog*)> closePreview = [&](QDialog* d) {
            ++previews;
            if (auto* preview = qobject_cast<TfrmPreview*>(d)) {
                QElapsedTimer clock;
                clock.start();
                while (!preview->Ready() && clock.elapsed() < 30000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            d->close();
            if (previews < 2)
                OnNextModal(closePreview, 20);
        };
        OnNextModal(closePreview);
        PreviewTransferDocument(nullptr, TransferItem::Postal, {id, {}, {}, {}, {}});
        StopPendingModalWatches();
        EXPECT_EQ(messages->texts(), QStringList{PostalBackQuestionText()});
        EXPECT_EQ(previews, answer == mrYes ? 2 : 1);
    }
}

TEST_F(TransferDocsTest, StationeryAdvicePrintsAtItsStoredPositionsOnePerSheet)
{
    rows::Exec(QStringLiteral("INSERT INTO REPORT (REPORTNAME, COMPNAME, PLEFT, PTOP, PHEIGHT, PWIDTH) "
                              "VALUES ('RPTORDVIRMISSION_210501', 'LNAP2', 600, 300, 20, 120)"));
    ASSERT_TRUE(DM->CommitWork());
    const int id = Order(90, {ContributionMission(line, Ben(QStringLiteral("CNAS"), QStringLiteral("1")), "7.5", "2",
                                                  "0.5")});
    TfrmRptOrdVirMission_210501 form;
    const auto pages = Print(form, id);
    ASSERT_EQ(pages->count(), 3);
    for (const rpt::Page& page : pages->pages) {
        ASSERT_EQ(page.bandCount(QStringLiteral("bdDetail")), 1);
        const rpt::PageItem* amount = page.item(QStringLiteral("lNap2"));
        ASSERT_NE(amount, nullptr);
        const rpt::BandBox& detail = page.bands.back();
        EXPECT_NEAR(amount->rect.left() - detail.rect.left(), 600, 0.5);
        EXPECT_NEAR(amount->rect.top() - detail.rect.top(), 300, 0.5);
        // Every text stays on the sheet.
        for (const rpt::PageItem& item : page.items)
            EXPECT_LE(item.rect.bottom(), page.size.height()) << item.control.toStdString();
    }
}

// The mission item prints the three contribution advices only for an order on
// a line of chapter 21.05/22.05 article 01 whose lines' contributions make
// what it pays; any other order (invoices on that line among them) gets one
// advice per line, each for the line's amount. Printed directly, the
// contribution advices refuse such an order and say why.
TEST_F(TransferDocsTest, MissionItemPrintsContributionAdvicesOnlyWhenTheContributionsMakeTheOrder)
{
    const qint64 social = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Cotisations"));
    const qint64 cnas = Ben(QStringLiteral("CNAS"), QStringLiteral("CNAS-1"));
    const int contributions = Order(80, {ContributionMission(social, cnas, "300", "100", "25")});
    struct Case {
        const char* what;
        int order;
        const char* chap;
        const char* art;
        bool contributionAdvices;
        QStringList amounts;     // of the advices, in their order
    };
    const Case cases[] = {
        {"contributions of a mission", contributions, "21-05", "01", true, {"300.00", "100.00", "25.00"}},
        {"the same, chapter with a dot", contributions, "22.05", "01", true, {"300.00", "100.00", "25.00"}},
        {"contributions, on another line", contributions, "22-04", "01", false, {"425.00"}},
        {"invoices on the line",
         Order(81, {Invoice(cnas, "7425", QStringLiteral("F-1"), social),
                    Invoice(cnas, "100", QStringLiteral("F-2"), social)}),
         "21-05", "01", false, {"7 425.00", "100.00"}},
        {"contributions short of the amount", Order(82, {ContributionMission(social, cnas, "300", "100", "0", "500")}),
         "21-05", "01", false, {"500.00"}},
        {"an invoice and a mission",
         Order(83, {Invoice(cnas, "25", QStringLiteral("F-3"), social),
                    ContributionMission(social, cnas, "300", "100", "0")}),
         "22-05", "01", false, {"25.00", "400.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TRptTransferForm> form = CreateTransferDocument(
            TransferItem::Mission, {c.order, QStringLiteral("0080"), QStringLiteral("05/03/2024"), c.chap, c.art});
        EXPECT_EQ(dynamic_cast<TfrmRptOrdVirMission_210501*>(form.get()) != nullptr, c.contributionAdvices);
        const auto pages = form->Prepare();
        EXPECT_TRUE(pages->refusal.isEmpty()) << pages->refusal.toStdString();
        EXPECT_EQ(Column(*pages, QStringLiteral("lNap1")), c.amounts);
        EXPECT_EQ(Column(*pages, QStringLiteral("lNap")), c.amounts);

        // Printed directly, the contribution advices take only the order of contributions.
        TfrmRptOrdVirMission_210501 direct;
        const auto directPages = Print(direct, c.order);
        if (c.order == contributions) {
            EXPECT_EQ(directPages->count(), 3);
        } else {
            EXPECT_TRUE(directPages->isEmpty());
            EXPECT_EQ(directPages->refusal, TfrmRptOrdVirMission_210501::NotContributionsText());
        }
    }
}

// The print tool prints what the preview would: the contribution advices of an
// order of invoices write no file, say why and end in failure.
TEST_F(TransferDocsTest, ThePrintToolRefusesTheContributionAdvicesOfAnOrderOfInvoices)
{
    const qint64 social = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Cotisations"));
    const qint64 cnas = Ben(QStringLiteral("CNAS"), QStringLiteral("CNAS-1"));
    const int invoices = Order(84, {Invoice(cnas, "7425", QStringLiteral("F-1"), social)});
    const int contributions = Order(85, {ContributionMission(social, cnas, "300", "100", "25")});
    const QString database = year->path();
    // The tool opens the year's file itself: this process lets go of it first.
    delete DM;
    DM = nullptr;

    struct Case {
        int order;
        int exitCode;
        QString says;
    };
    const Case cases[] = {
        {invoices, 1, TfrmRptOrdVirMission_210501::NotContributionsText()},
        {contributions, 0, QStringLiteral("URptOrdVirMission_210501: 3 pages")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        const QString pdf = year->dir() + QStringLiteral("avis_%1.pdf").arg(c.order);
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral(VOREL_PRINT_TOOL),
                   {database, QStringLiteral("URptOrdVirMission_210501"), QStringLiteral("IdMdt=%1").arg(c.order),
                    QStringLiteral("NoMdt=0084"), QStringLiteral("-o"), pdf});
        ASSERT_TRUE(tool.waitForFinished(60000));
        const QString output = QString::fromUtf8(tool.readAll());
        EXPECT_EQ(tool.exitCode(), c.exitCode) << output.toStdString();
        EXPECT_TRUE(output.contains(c.says)) << output.toStdString();
        EXPECT_EQ(QFile::exists(pdf), c.exitCode == 0);
    }
}

// Each form prints on its paper, upright, within the margins of its design:
// its bands start at the top and left margins, and nothing it prints (a long
// name, a long account, a large amount) runs past the left or right margin.
TEST_F(TransferDocsTest, EachFormPrintsOnItsPaperWithinItsMargins)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE FOURNITURES SCOLAIRES ET DE MATERIEL DE BUREAU");
    const QString account = QStringLiteral("00799999 0000123456789 / CLE 12 AGENCE 00345");
    const qint64 ben = Ben(name, account, BeneficiaryType::Employee);
    TreasuryAccount = QStringLiteral("4000-000123-45 TRESOR WILAYA D'ALGER");
    const int invoices = Order(100, {Invoice(ben, "41714459.37", QStringLiteral("F-2024-000001")),
                                     rows::Expense(ExpenseKind::Mission, mission, ben, Money("99999999.99"))});
    const qint64 social = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Cotisations"));
    const int contributions =
        Order(101, {ContributionMission(social, ben, "99999999.99", "41714459.37", "1234567.89")});
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToPay, line, ben, Money("99999999.99"));
    rows::Imputation(salary, line, Money("99999999.99"));
    const int salaries = Order(102, {salary});

    using Make = std::function<std::unique_ptr<TRptTransferForm>()>;
    struct Case {
        const char* unit;
        Make form;
        int order;
        rpt::Paper paper;
        double length;
        double width;
        rpt::Margins margins;   // top, bottom, left, right
    };
    const rpt::Margins postal{10, 0, 10, 10};
    const rpt::Margins advice{10, 10, 1, 5};
    const Case cases[] = {
        {"URptOrdVir", [] { return std::make_unique<TfrmRptOrdVir>(); }, invoices, rpt::Paper::A4, 297, 210,
         {5, 0, 15, 10}},
        {"URptOrdVirCCP", [] { return std::make_unique<TfrmRptOrdVirCCP>(); }, invoices, rpt::Paper::A4, 297, 210,
         postal},
        {"URptOrdVirCCP_ACTEL", [] { return std::make_unique<TfrmRptOrdVirCCP_Actel>(); }, invoices, rpt::Paper::A4,
         297, 210, postal},
        {"URptOrdVirCCP_Verso", [] { return std::make_unique<TfrmRptOrdVirCCP_Verso>(); }, invoices, rpt::Paper::A4,
         297, 210, postal},
        {"URptOrdVirMission", [] { return std::make_unique<TfrmRptOrdVirMission>(); }, invoices, rpt::Paper::Custom,
         140, 345, advice},
        {"URptOrdVirMission_210501", [] { return std::make_unique<TfrmRptOrdVirMission_210501>(); }, contributions,
         rpt::Paper::Custom, 140, 345, advice},
        {"URptOrdVirMission_210208", [] { return std::make_unique<TfrmRptOrdVirMission_210208>(); }, salaries,
         rpt::Paper::Custom, 140, 345, advice},
        {"URptOrdVirMis_FB", [] { return std::make_unique<TfrmRptOrdVirMis_FB>(); }, invoices, rpt::Paper::Letter,
         279.4, 215.9, {15, 0, 10, 10}},
    };
    constexpr double Tolerance = 0.5;   // pixels
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        std::unique_ptr<TRptTransferForm> form = c.form();
        if (auto* stationery = dynamic_cast<TRptMissionAdvice*>(form.get())) {
            stationery->NoMdt = QStringLiteral("0100");
            stationery->DateMdt = QStringLiteral("05/03/2024");
        }
        const auto pages = Print(*form, c.order);
        ASSERT_FALSE(pages->isEmpty()) << pages->refusal.toStdString();
        const rpt::PageSetup& setup = pages->setup;
        EXPECT_EQ(setup.paper, c.paper);
        EXPECT_EQ(setup.orientation, QPageLayout::Portrait);
        EXPECT_DOUBLE_EQ(setup.length, c.length);
        EXPECT_DOUBLE_EQ(setup.width, c.width);
        EXPECT_DOUBLE_EQ(setup.margins.top, c.margins.top);
        EXPECT_DOUBLE_EQ(setup.margins.bottom, c.margins.bottom);
        EXPECT_DOUBLE_EQ(setup.margins.left, c.margins.left);
        EXPECT_DOUBLE_EQ(setup.margins.right, c.margins.right);

        const double left = rpt::MmToPx(c.margins.left);
        const double right = rpt::MmToPx(c.width - c.margins.right);
        for (const rpt::Page& page : pages->pages) {
            EXPECT_NEAR(page.size.width(), rpt::MmToPx(c.width), Tolerance);
            EXPECT_NEAR(page.size.height(), rpt::MmToPx(c.length), Tolerance);
            ASSERT_FALSE(page.bands.empty());
            EXPECT_NEAR(page.bands.front().rect.top(), rpt::MmToPx(c.margins.top), Tolerance);
            EXPECT_NEAR(page.bands.front().rect.left(), left, Tolerance);
            for (const rpt::PageItem& item : page.items) {
                const QRectF r = item.rect.normalized();
                EXPECT_GE(r.left(), left - Tolerance) << item.control.toStdString();
                EXPECT_LE(r.right(), right + Tolerance) << item.control.toStdString();
            }
            // The stub's amount and account to debit print whole inside it.
            for (const char* stub : {"lNap1", "lRITP1"})
                for (const QString& text : page.textsOf(QString::fromLatin1(stub)))
                    EXPECT_FALSE(text.contains(QChar(0x2026))) << stub << ": " << text.toStdString();
        }
    }
}
