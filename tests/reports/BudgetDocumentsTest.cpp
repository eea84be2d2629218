// The budget documents: the sheet of a budget or transfer movement, the
// chapter's recapitulative sheet and the statement of a credit transfer, read
// on their page model.
#include "common/DocumentFixture.h"
#include "common/SheetRows.h"
#include "core/Routines.h"
#include "reports/budget/URptEtVir.h"
#include "reports/budget/URptFEEco_Art.h"
#include "reports/budget/URptFEEco_Art_PreImp.h"
#include "reports/budget/URptFEEco_Chap.h"
#include "reports/budget/URptFEEco_Chap_PreImp.h"

namespace {

class BudgetDocumentsTest : public SignedDocumentTest {
protected:
    // A movement sheet of a budget line with its one line, committed.
    void Sheet(qint64 idFnm, const QString& number, SheetObject objet, SheetOrigin origin, qint64 idOrigine,
               Currency amount, const QString& obs = QString())
    {
        const qint64 id = rows::SheetHeader(idFnm, number, objet, origin, amount, idOrigine, obs);
        rows::SheetLine(id, 1, origin == SheetOrigin::User ? LineObject::Expense : LineObject(int(origin)), idFnm,
                        amount);
    }

    // One row of a transfer.
    void TransferRow(qint64 idVir, int noLine, TransferSide side, const QDate& date, qint64 idFnm, Currency amount)
    {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO VIREMENT (ID_VIR, NOLINE, SENS, DATE_VIR, ID_FNM, MONTANT) "
                                      "VALUES (:ID, :N, :S, :D, :F, :M)"),
                       {{"ID", idVir}, {"N", qint64(noLine)}, {"S", toDbValue(side)}, {"D", date}, {"F", idFnm},
                        {"M", amount}});
        });
    }

    static QString Text(const rpt::PreparedPages& pages, const QString& control)
    {
        return pages.page(0).textsOf(control).join(QLatin1Char('|'));
    }
};

// ---------------------------------------------------------------------------
// Sheets by article

TEST_F(BudgetDocumentsTest, ArticleSheetsPrintTheBalancesAndKindOfTheirOwnSheet)
{
    const qint64 giving = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Fournitures de bureau"));
    const qint64 receiving = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("02"), QString(),
                                              QStringLiteral("Produits d'entretien"));
    const qint64 vir = 7;
    // The giving line: 1 000 000.00, a commitment of 100 000.00, gives
    // 100 000.00, then its amending budget takes 50 000.00.
    Sheet(giving, QStringLiteral("0001"), SheetObject::Economy, SheetOrigin::PrimitiveBudget, giving,
          rows::Money("1000000"), QStringLiteral("BUDGET PRIMITIF 2024"));
    Sheet(giving, QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::User, NoOriginRecord, rows::Money("100000"));
    Sheet(giving, QStringLiteral("0003"), SheetObject::Expense, SheetOrigin::Transfer, vir, rows::Money("100000"),
          QStringLiteral("TRANSFERT"));
    Sheet(giving, QStringLiteral("0004"), SheetObject::Expense, SheetOrigin::AmendingBudget, giving,
          rows::Money("-50000"));
    // The receiving line: 200 000.00, receives 100 000.00; its amending
    // budget, once positive, is now brought to zero (its sheet kept ECONOMIE).
    Sheet(receiving, QStringLiteral("0001"), SheetObject::Economy, SheetOrigin::PrimitiveBudget, receiving,
          rows::Money("200000"));
    Sheet(receiving, QStringLiteral("0002"), SheetObject::Economy, SheetOrigin::Transfer, vir, rows::Money("100000"));
    Sheet(receiving, QStringLiteral("0003"), SheetObject::Economy, SheetOrigin::AmendingBudget, receiving, Currency());

    struct Case {
        const char* what;
        SheetObject objet;   // as the caller passes it
        SheetOrigin origin;
        qint64 idOrigine, idFnm;
        const char* number;
        const char* kind;
        const char* oldBalance;
        const char* amount;
        const char* newBalance;
    };
    const Case cases[] = {
        {"primitive sheet 0001", SheetObject::Economy, SheetOrigin::PrimitiveBudget, giving, giving, "0001",
         "ECONOMIE", "0.00", "1 000 000.00", "1 000 000.00"},
        {"negative amending sheet", SheetObject::Expense, SheetOrigin::AmendingBudget, giving, giving, "0004",
         "DEPENSE", "800 000.00", "-50 000.00", "750 000.00"},
        {"giving transfer row", SheetObject::Expense, SheetOrigin::Transfer, vir, giving, "0003", "DEPENSE",
         "900 000.00", "100 000.00", "800 000.00"},
        {"receiving transfer row", SheetObject::Economy, SheetOrigin::Transfer, vir, receiving, "0002", "ECONOMIE",
         "200 000.00", "100 000.00", "300 000.00"},
        // The amending budget is 0 now, so the caller asks for a DEPENSE; the
        // sheet is found all the same and prints as stored.
        {"amending sheet brought to zero", SheetObject::Expense, SheetOrigin::AmendingBudget, receiving, receiving,
         "0003", "ECONOMIE", "300 000.00", "0.00", "300 000.00"},
    };
    for (bool white : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (white ? ", white paper" : ", stationery"));
            std::unique_ptr<TBudgetSheetForm> form;
            if (white)
                form = std::make_unique<TfrmRptFEEco_Art>();
            else
                form = std::make_unique<TfrmRptFEEco_Art_PreImp>();
            form->Objet = toDb(c.objet);
            form->Origine = int(c.origin);
            form->IdOrigine = int(c.idOrigine);
            form->IdFnm = int(c.idFnm);
            const auto pages = form->Prepare();
            ASSERT_EQ(pages->count(), 1) << pages->refusal.toStdString();
            EXPECT_EQ(Text(*pages, QStringLiteral("lNoFe")), QLatin1String(c.number));
            EXPECT_EQ(Text(*pages, QStringLiteral("lObjet")), QLatin1String(c.kind));
            EXPECT_EQ(Text(*pages, QStringLiteral("lOldSolde")), QLatin1String(c.oldBalance));
            EXPECT_EQ(Text(*pages, QStringLiteral("lMontant")), QLatin1String(c.amount));
            EXPECT_EQ(Text(*pages, QStringLiteral("lMt1")), QLatin1String(c.amount));
            EXPECT_EQ(Text(*pages, QStringLiteral("lNewSolde")), QLatin1String(c.newBalance));
            const Currency amount = *Currency::parse(QString::fromLatin1(c.amount).remove(QLatin1Char(' ')));
            EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lLettre")).join(QLatin1Char(' ')).simplified(),
                      AmountToWords(amount).simplified());
            EXPECT_EQ(Text(*pages, QStringLiteral("dbChap1")), QStringLiteral("21-05"));
        }
    }

    // A line without an amending sheet: nothing prints, and the user is told why.
    const qint64 bare = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("03"), QString(), QStringLiteral("Divers"));
    TfrmRptFEEco_Art form;
    form.Objet = toDb(SheetObject::Economy);
    form.Origine = int(SheetOrigin::AmendingBudget);
    form.IdOrigine = int(bare);
    form.IdFnm = int(bare);
    const auto none = form.Prepare();
    EXPECT_EQ(none->count(), 0);
    EXPECT_FALSE(none->refusal.isEmpty());
}

// ---------------------------------------------------------------------------
// Chapter recapitulative sheets

TEST_F(BudgetDocumentsTest, ChapterSheetTotalsEveryFundedLineOrPrintsNothing)
{
    struct Case {
        bool white;
        int lines;
        bool prints;
    };
    int chapterNo = 10;
    for (const Case& c : {Case{true, 3, true}, Case{true, 19, true}, Case{true, 25, false}, Case{false, 35, true},
                          Case{false, 36, false}}) {
        SCOPED_TRACE(QStringLiteral("%1 lines, %2").arg(c.lines).arg(c.white ? "white" : "stationery").toStdString());
        const QString chapter = QStringLiteral("21-%1").arg(chapterNo++);
        rows::BudgetLine(chapter, QString(), QString(), QStringLiteral("Chapitre ") + chapter);
        Currency total;
        for (int k = 1; k <= c.lines; ++k) {
            const Currency amount = rows::Money("1000") * k;
            // An unfunded article between the funded ones is no line of the sheet.
            if (k == 2)
                rows::BudgetLine(chapter, QStringLiteral("01"), QStringLiteral("99"), QStringLiteral("Sans budget"));
            const qint64 line = rows::BudgetLine(chapter, QStringLiteral("%1").arg(k / 10 + 1, 2, 10, QLatin1Char('0')),
                                                 QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0')),
                                                 QStringLiteral("Article %1").arg(k), amount);
            if (k == 1)
                rows::PrimitiveSheet(line, amount);
            total += amount;
        }
        std::unique_ptr<TChapterSheetForm> form;
        if (c.white)
            form = std::make_unique<TfrmRptFEEco_Chap>();
        else
            form = std::make_unique<TfrmRptFEEco_Chap_PreImp>();
        form->Chap = chapter;
        form->Intitule = QStringLiteral("Chapitre ") + chapter;
        const auto pages = form->Prepare();
        if (!c.prints) {
            EXPECT_EQ(pages->count(), 0);
            EXPECT_TRUE(pages->refusal.contains(QString::number(c.lines))) << pages->refusal.toStdString();
            continue;
        }
        ASSERT_EQ(pages->count(), 1) << pages->refusal.toStdString();
        EXPECT_TRUE(pages->warnings.isEmpty());
        const rpt::Page& page = pages->page(0);
        Currency printed;
        for (int k = 1; k <= c.lines; ++k) {
            QString mt = page.textsOf(QStringLiteral("lMt%1").arg(k)).join(QString());
            printed += *Currency::parse(mt.remove(QLatin1Char(' ')));
        }
        EXPECT_TRUE(page.textsOf(QStringLiteral("lMt%1").arg(c.lines + 1)).isEmpty());
        EXPECT_EQ(printed, total);
        EXPECT_EQ(Text(*pages, QStringLiteral("lMontant1")), total.formatMoney());
        EXPECT_EQ(Text(*pages, QStringLiteral("lNewSolde")), total.formatMoney());
        EXPECT_EQ(Text(*pages, QStringLiteral("lOldSolde")), QStringLiteral("0.00"));
        EXPECT_EQ(page.textsOf(QStringLiteral("lLettre")).join(QLatin1Char(' ')).simplified(),
                  AmountToWords(total).simplified());
        EXPECT_EQ(Text(*pages, QStringLiteral("lNoFe")), QStringLiteral("0001"));
        const QString third = page.textsOf(QStringLiteral("lFact3")).join(QLatin1Char(' ')).simplified();
        EXPECT_EQ(third, c.white ? QStringLiteral("3 . %1 - 01-03- Article 3").arg(chapter)
                                 : QStringLiteral("01-03- Article 3"));
    }
}

TEST_F(BudgetDocumentsTest, AChapterWithoutFundedArticleNeverPrintsTheSheetOfAnother)
{
    rows::BudgetLine(QStringLiteral("21-05"), QString(), QString(), QStringLiteral("Chapitre dote"));
    const qint64 funded = rows::BudgetLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Article dote"), rows::Money("5000"));
    rows::PrimitiveSheet(funded, rows::Money("5000"));
    rows::BudgetLine(QStringLiteral("21-06"), QString(), QString(), QStringLiteral("Chapitre vide"));
    rows::BudgetLine(QStringLiteral("21-06"), QStringLiteral("01"), QString(), QStringLiteral("Article vide"));

    TfrmRptFEEco_Chap form;
    form.Chap = QStringLiteral("21-05");
    const auto first = form.Prepare();
    ASSERT_EQ(first->count(), 1);
    EXPECT_EQ(Text(*first, QStringLiteral("lNoFe")), QStringLiteral("0001"));

    form.Chap = QStringLiteral("21-06");
    const auto second = form.Prepare();
    EXPECT_EQ(second->count(), 0);
    EXPECT_TRUE(second->refusal.contains(QStringLiteral("21-06"))) << second->refusal.toStdString();
}

// ---------------------------------------------------------------------------
// Statement of a credit transfer

TEST_F(BudgetDocumentsTest, TransferStatementCountsTheTransfersBeforeItSameDayIncluded)
{
    const qint64 a = rows::BudgetLine(QStringLiteral("22-01"), QStringLiteral("01"), QString(),
                                      QStringLiteral("Ligne A"), rows::Money("500000"));
    const qint64 b = rows::BudgetLine(QStringLiteral("22-01"), QStringLiteral("02"), QString(),
                                      QStringLiteral("Ligne B"), rows::Money("200000"));
    const qint64 other = rows::BudgetLine(QStringLiteral("22-01"), QStringLiteral("03"), QString(),
                                          QStringLiteral("Ligne C"));
    // An earlier transfer gave 50 000.00 from A; two transfers of 1 March
    // follow, 11 then 12.
    TransferRow(10, 1, TransferSide::Giving, QDate(2024, 2, 1), a, rows::Money("50000"));
    TransferRow(10, 2, TransferSide::Receiving, QDate(2024, 2, 1), other, rows::Money("50000"));
    TransferRow(11, 1, TransferSide::Giving, QDate(2024, 3, 1), a, rows::Money("100000"));
    TransferRow(11, 2, TransferSide::Receiving, QDate(2024, 3, 1), b, rows::Money("100000"));
    TransferRow(12, 1, TransferSide::Giving, QDate(2024, 3, 1), a, rows::Money("10000"));
    TransferRow(12, 2, TransferSide::Receiving, QDate(2024, 3, 1), b, rows::Money("10000"));

    struct Case {
        int idVir;
        QStringList allocated, revised, totals;   // part A then part B
    };
    const Case cases[] = {
        {11, {"450 000.00", "200 000.00"}, {"350 000.00", "300 000.00"},
         {"450 000.00", "100 000.00", "350 000.00", "200 000.00", "100 000.00", "300 000.00"}},
        // The later transfer of the same day sees the earlier one.
        {12, {"350 000.00", "300 000.00"}, {"340 000.00", "310 000.00"},
         {"350 000.00", "10 000.00", "340 000.00", "300 000.00", "10 000.00", "310 000.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.idVir);
        TfrmRptEtVir form;
        form.IdVir = c.idVir;
        form.DateVir = QDate(2024, 3, 1);
        for (int run = 0; run < 2; ++run) {   // a reprint gives the same figures
            const auto pages = form.Prepare();
            ASSERT_EQ(pages->count(), 1);
            const rpt::Page& page = pages->page(0);
            EXPECT_EQ(page.textsOf(QStringLiteral("lCrInit")), c.allocated);
            EXPECT_EQ(page.textsOf(QStringLiteral("lCrRev")), c.revised);
            QStringList totals;
            for (int side = 0; side < 2; ++side)
                for (const char* name : {"lTotCr", "lTotTr", "lTotRe"})
                    totals << page.textsOf(QString::fromLatin1(name)).value(side);
            EXPECT_EQ(totals, c.totals);
            EXPECT_EQ(page.textsOf(QStringLiteral("lCredit")),
                      (QStringList{QStringLiteral("ETAT \"A\"  -   CREDITS ANNULES"),
                                   QStringLiteral("ETAT \"B\"  -   CREDITS OUVERTS")}));
        }
    }
}

} // namespace
