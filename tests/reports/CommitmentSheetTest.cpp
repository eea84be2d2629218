// The commitment sheet on white paper and on stationery: where its rows go,
// how many print, what each line prints, the balances, the budget line block.
#include "common/DocumentFixture.h"
#include "common/SheetRows.h"
#include "core/Routines.h"
#include "reports/commitments/URptFEDep.h"
#include "reports/commitments/URptFEDep_PreImp.h"
#include "common/TextBoxes.h"

namespace {

class CommitmentSheetTest : public SignedDocumentTest {
protected:
    void SetUp() override
    {
        SignedDocumentTest::SetUp();
        rows::BudgetLine(QStringLiteral("21-03"), QString(), QString(), QStringLiteral("Matériel et mobilier"));
        rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("02"), QString(), QStringLiteral("Mobilier de bureau"));
        line = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("02"), QStringLiteral("01"),
                                QStringLiteral("Achat de chaises"));
        supplier = rows::Beneficiary(QStringLiteral("SARL MEUBLES"));
    }

    // A sheet header, committed.
    qint64 Sheet(qint64 idFnm, const QString& number, SheetObject objet, SheetOrigin origin, Currency amount,
                 qint64 idOrigine = -1, const QString& obs = QStringLiteral("OBSERVATION"))
    {
        return rows::SheetHeader(idFnm, number, objet, origin, amount, idOrigine, obs);
    }

    void Line(qint64 idEng, int noLine, LineObject objet, qint64 idDetail, Currency amount)
    {
        rows::SheetLine(idEng, noLine, objet, idDetail, amount);
    }

    // A DEPENSE sheet of `count` invoices of 100.00, or an ECONOMIE sheet
    // cancelling as many sheets; its amount is the sum of its lines.
    qint64 SheetOf(int count, bool depense)
    {
        const Currency each = rows::Money("100");
        const qint64 id = Sheet(line, QStringLiteral("0005"), depense ? SheetObject::Expense : SheetObject::Economy,
                                depense ? SheetOrigin::User : SheetOrigin::Cancellation, each * count);
        const qint64 cancelled =
            depense ? -1 : Sheet(line, QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::User, each);
        for (int k = 1; k <= count; ++k)
            Line(id, k, depense ? LineObject::Expense : LineObject::Cancellation,
                 depense ? rows::Expense(ExpenseKind::Invoice, line, supplier, each, QStringLiteral("F%1").arg(k)) : cancelled, each);
        return id;
    }

    template <class Form>
    std::unique_ptr<rpt::PreparedPages> Print(qint64 idEng)
    {
        Form form;
        form.IdEng = int(idEng);
        return form.Prepare();
    }

    // A control's rectangle relative to the band it printed in.
    static QRectF InBand(const rpt::Page& page, const QString& control)
    {
        const rpt::PageItem* item = page.item(control);
        if (!item)
            return {};
        return item->rect.translated(-page.bands.at(0).rect.topLeft());
    }

    static int Rows(const rpt::Page& page)
    {
        int n = 0;
        while (page.item(QStringLiteral("lNum%1").arg(n + 1)))
            ++n;
        return n;
    }

    qint64 line = -1;
    qint64 supplier = -1;
};

} // namespace

TEST_F(CommitmentSheetTest, WhitePaperRowsAreSpacedAndSizedByTheirNumber)
{
    struct Case {
        bool depense;
        int rows;
        int step;
        double points;
    };
    for (const Case& c : {Case{true, 23, 33, 10}, Case{true, 24, 29, 9}, Case{false, 5, 45, 10}, Case{false, 20, 30, 10}}) {
        SCOPED_TRACE(QStringLiteral("%1 rows, %2").arg(c.rows).arg(c.depense ? "DEPENSE" : "ECONOMIE").toStdString());
        const auto pages = Print<TfrmRptFEDep>(SheetOf(c.rows, c.depense));
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Rows(page), c.rows);
        EXPECT_EQ(page.textsOf(QStringLiteral("lObjet")), QStringList{c.depense ? "DEPENSE" : "ECONOMIE"});
        EXPECT_DOUBLE_EQ(InBand(page, QStringLiteral("lFact1")).top(), 120);
        for (const char* prefix : {"lNum", "lFact", "lMt"}) {
            const QString second = QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(c.rows);
            EXPECT_DOUBLE_EQ(InBand(page, second).top(), 120 + (c.rows - 1) * c.step) << prefix;
            EXPECT_DOUBLE_EQ(page.item(second)->font.pointSizeF(), c.points) << prefix;
        }
        EXPECT_EQ(page.textsOf(QStringLiteral("lNum2")), QStringList{QStringLiteral("2- ")});
        EXPECT_EQ(page.textsOf(QStringLiteral("lMt2")), QStringList{QStringLiteral("100.00")});
        EXPECT_TRUE(pages->warnings.isEmpty());
    }
}

// A line whose text is longer than its row (a supplier's name of the length
// the beneficiaries hold, a long observation on a chapter-08 mission) prints
// whole, taking the lines it needs; the rows keep one size and never cover
// one another.
TEST_F(CommitmentSheetTest, ALongLinePrintsWholeAndTheRowsNeverOverlap)
{
    const QString name = QStringLiteral("ENTREPRISE NATIONALE DE TRAVAUX PUBLICS, DE CONSTRUCTION METALLIQUE, DE "
                                        "MENUISERIE GENERALE ET D'ENTRETIEN DES BATIMENTS UNIVERSITAIRES - SPA");
    const QString obs = QStringLiteral("Frais de mission et de séjour des enseignants invités dans le cadre de la "
                                       "convention de coopération interuniversitaire pour les jurys de soutenance de "
                                       "doctorat et d'habilitation universitaire, y compris le transport aérien, "
                                       "l'hébergement et la restauration pendant la durée du séjour");
    const qint64 longName = rows::Beneficiary(name);
    const qint64 line08 = rows::BudgetLine(QStringLiteral("21-08"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Frais de mission"));
    struct Case {
        const char* what;
        bool white;
        int rows;
        bool chapter08;      // line 3 a chapter-08 mission, printing the sheet's observation
    };
    const Case cases[] = {
        {"white paper", true, 25, false},
        {"stationery", false, 20, false},
        {"white paper, chapter 08", true, 4, true},
        {"stationery, chapter 08", false, 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const qint64 id = SheetOf(c.rows, true);
        rows::Write([&] {
            if (c.chapter08) {
                rows::Exec(QStringLiteral("UPDATE ENT_ENG SET OBS=:O WHERE ID_ENG=:E"), {{"O", obs}, {"E", id}});
                rows::Exec(QStringLiteral("UPDATE DEPENSE SET TYPE_DEPENSE=:K, ID_FNM=:F WHERE ID_DEPENSE="
                                          "(SELECT ID_DETAIL FROM DET_ENG WHERE ID_ENG=:E AND NOLINE=3)"),
                           {{"K", toDbValue(ExpenseKind::Mission)}, {"F", line08}, {"E", id}});
            } else {
                rows::Exec(QStringLiteral("UPDATE DEPENSE SET ID_BEN=:B WHERE ID_DEPENSE="
                                          "(SELECT ID_DETAIL FROM DET_ENG WHERE ID_ENG=:E AND NOLINE=3)"),
                           {{"B", longName}, {"E", id}});
            }
        });
        const auto pages = c.white ? Print<TfrmRptFEDep>(id) : Print<TfrmRptFEDep_PreImp>(id);
        const rpt::Page& page = pages->page(0);
        const rpt::PageItem* third = page.item(QStringLiteral("lFact3"));
        ASSERT_NE(third, nullptr);
        EXPECT_TRUE(third->text.simplified().endsWith(c.chapter08 ? QStringLiteral("durée du séjour -")
                                                                  : QStringLiteral("UNIVERSITAIRES - SPA")))
            << third->text.toStdString();
        EXPECT_GT(third->text.count(QLatin1Char('\n')), 0);
        QStringList controls;
        for (int k = 1; k <= c.rows; ++k) {
            for (const char* prefix : {"lNum", "lFact", "lMt"})
                controls << QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(k);
            EXPECT_DOUBLE_EQ(page.item(QStringLiteral("lFact%1").arg(k))->font.pointSizeF(), third->font.pointSizeF());
        }
        EXPECT_LE(InBand(page, QStringLiteral("lFact3")).bottom(), InBand(page, QStringLiteral("lFact4")).top());
        ExpectTextsInTheirBoxes(page, controls);
    }
}

TEST_F(CommitmentSheetTest, StationeryRowsStartAtTheStoredTopOfTheFirstRow)
{
    rows::Write([] {
        rows::Exec(QStringLiteral("INSERT INTO REPORT (REPORTNAME, COMPNAME, PLEFT, PTOP, PHEIGHT, PWIDTH) "
                                  "VALUES ('RPTFEDEP_PREIMP', 'LFACT1', 60, 250, 30, 400)"));
    });
    const auto pages = Print<TfrmRptFEDep_PreImp>(SheetOf(4, true));
    const rpt::Page& page = pages->page(0);
    EXPECT_EQ(Rows(page), 4);
    EXPECT_EQ(InBand(page, QStringLiteral("lFact1")).topLeft(), QPointF(60, 250));
    EXPECT_DOUBLE_EQ(InBand(page, QStringLiteral("lFact1")).width(), 400);
    EXPECT_DOUBLE_EQ(InBand(page, QStringLiteral("lNum1")).top(), 250);
    EXPECT_DOUBLE_EQ(InBand(page, QStringLiteral("lFact4")).top(), 250 + 3 * 45);   // 600 div 4, at most 45
    // Only the values: no frame, no heading of the form.
    EXPECT_FALSE(page.texts().contains(QStringLiteral("DETAIL DES ENGAGEMENTS")));
    EXPECT_EQ(page.textsOf(QStringLiteral("lDate")), QStringList{QStringLiteral("05/03/2024")});
}

// Each form prints as many lines as it has rows, the total under them; a
// sheet of more lines prints nothing and says why.
TEST_F(CommitmentSheetTest, EachFormPrintsItsOwnNumberOfRowsAndNoMore)
{
    MaxDocLines = 20;   // the cancellation window has been opened
    struct Case {
        bool white;
        bool depense;
        int lines;
        const char* refusal;
    };
    const Case cases[] = {
        {true, true, 25, nullptr},
        {true, false, 25, nullptr},
        {true, true, 26,
         "Cette fiche porte sur 26 lignes ; le formulaire n'en contient que 25. Répartissez-les sur plusieurs fiches."},
        {false, true, 20, nullptr},
        {false, true, 21,
         "Cette fiche porte sur 21 lignes ; le formulaire pré-imprimé n'en contient que 20. Imprimez-la sur papier "
         "blanc."},
        {false, false, 26,
         "Cette fiche porte sur 26 lignes ; le formulaire pré-imprimé n'en contient que 20. Répartissez-les sur "
         "plusieurs fiches."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 lines, %3").arg(c.white ? "white" : "stationery").arg(c.lines)
                         .arg(c.depense ? "DEPENSE" : "ECONOMIE").toStdString());
        const qint64 id = SheetOf(c.lines, c.depense);
        const auto pages = c.white ? Print<TfrmRptFEDep>(id) : Print<TfrmRptFEDep_PreImp>(id);
        if (c.refusal) {
            EXPECT_TRUE(pages->isEmpty());
            EXPECT_EQ(pages->refusal, QString::fromUtf8(c.refusal));
            continue;
        }
        ASSERT_EQ(pages->count(), 1);
        const rpt::Page& page = pages->page(0);
        EXPECT_EQ(Rows(page), c.lines);
        EXPECT_TRUE(pages->warnings.isEmpty());
        const Currency total = rows::Money("100") * c.lines;
        EXPECT_EQ(page.textsOf(QStringLiteral("lMontant1")), QStringList{total.formatMoney()});
        EXPECT_EQ(page.textsOf(QStringLiteral("lMontant")), QStringList{total.formatMoney()});
        EXPECT_EQ(page.textsOf(QStringLiteral("lLettre")).join(QLatin1Char(' ')).simplified(),
                  AmountToWords(total).simplified());
    }
}

TEST_F(CommitmentSheetTest, EachLinePrintsWhatItIs)
{
    rows::Exec(QStringLiteral("INSERT INTO GRADE (LIBELLE) VALUES ('MAITRE ASSISTANT')"));
    const int grade = int(rows::Scalar(QStringLiteral("SELECT MAX(ID_GRADE) FROM GRADE")));
    DM->CommitWork();
    const qint64 teacher = rows::Beneficiary(QStringLiteral("BENALI Karim"), BeneficiaryType::Employee, grade);
    const qint64 other = rows::Beneficiary(QStringLiteral("CHERIF Amel"), BeneficiaryType::Other, grade);   // not an employee: no grade
    const qint64 line08 = rows::BudgetLine(QStringLiteral("21-08"), QStringLiteral("01"), QString(),
                                           QStringLiteral("Frais de mission"));

    const qint64 invoice = rows::Expense(ExpenseKind::Invoice, line, supplier, rows::Money("1500"), QStringLiteral("F-77"),
                                         QDate(2024, 2, 10));
    const qint64 mission = rows::Expense(ExpenseKind::Mission, line, teacher, rows::Money("800"));
    rows::Exec(QStringLiteral("UPDATE DEPENSE SET DATED_MISSION='2024-02-01', DATEF_MISSION='2024-02-03' "
                              "WHERE ID_DEPENSE=:ID"), {{"ID", mission}});
    const qint64 plain = rows::Expense(ExpenseKind::Mission, line, other, rows::Money("50"));
    const qint64 mission08 = rows::Expense(ExpenseKind::Mission, line08, teacher, rows::Money("900"));
    const qint64 salary = rows::Expense(ExpenseKind::SalaryToCommit, line, supplier, rows::Money("70"), QString(), QDate(2024, 3, 1),
                                        QStringLiteral("SALAIRES DE MARS"));
    DM->CommitWork();
    // The invoice and the chapter-08 mission stand on payment orders; the first order counts.
    const auto order = [](qint64 id, const char* number, const QDate& date, const QList<qint64>& expenses) {
        rows::Write([&] {
            rows::Exec(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                                      "VALUES (:ID, :NO, :D, :S, 0)"),
                       {{"ID", id}, {"NO", QString::fromLatin1(number)}, {"D", date}, {"S", toDbValue(OrderStatus::Paid)}});
            int n = 0;
            for (qint64 e : expenses)
                rows::Exec(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) "
                                          "VALUES (:ID, :N, :E, 0)"),
                           {{"ID", id}, {"N", qint64(++n)}, {"E", e}});
        });
    };
    order(7, "0012", QDate(2024, 4, 2), {invoice, mission08});
    order(9, "0031", QDate(2024, 5, 2), {invoice});

    const qint64 sheet = Sheet(line, QStringLiteral("0003"), SheetObject::Expense, SheetOrigin::User,
                               rows::Money("3320"), -1, QStringLiteral("MISSION A ORAN"));
    Line(sheet, 1, LineObject::Expense, invoice, rows::Money("1500"));
    Line(sheet, 2, LineObject::Expense, mission, rows::Money("800"));
    Line(sheet, 3, LineObject::Expense, plain, rows::Money("50"));
    Line(sheet, 4, LineObject::Expense, mission08, rows::Money("900"));
    Line(sheet, 5, LineObject::Expense, salary, rows::Money("70"));
    const QString mdt = QStringLiteral(" - MANDAT No 0012 DU 02/04/2024");
    const QStringList white = {
        QStringLiteral("FACTURE N° F-77 DU 10/02/2024 DE SARL MEUBLES") + mdt,
        QStringLiteral("BENALI Karim - MAITRE ASSISTANT - Du 01/02/2024 au 03/02/2024"),
        QStringLiteral("CHERIF Amel"),
        QStringLiteral("MISSION A ORAN - ") + mdt,
        QStringLiteral("SALAIRES DE MARS"),
    };
    const QStringList stationery = {
        QStringLiteral("FACTURE N° F-77 DU 10/02/2024 DE SARL MEUBLES"), white[1], white[2], white[3], white[4],
    };
    const auto texts = [](const rpt::PreparedPages& pages) {
        QStringList out;
        for (int k = 1; k <= 5; ++k)
            out << pages.page(0).textsOf(QStringLiteral("lFact%1").arg(k)).join(QLatin1Char(' ')).replace(
                QLatin1Char('\n'), QLatin1Char(' '));
        return out;
    };
    EXPECT_EQ(texts(*Print<TfrmRptFEDep>(sheet)), white);
    EXPECT_EQ(texts(*Print<TfrmRptFEDep_PreImp>(sheet)), stationery);

    // Lines that are not expenses carry other keys in ID_DETAIL (here the
    // invoice's own number): they print the movement they record.
    const qint64 transfer =
        Sheet(line, QStringLiteral("0004"), SheetObject::Expense, SheetOrigin::Transfer, rows::Money("1500"), 7);
    Line(transfer, 1, LineObject::Transfer, invoice, rows::Money("1500"));
    const qint64 budget =
        Sheet(line, QStringLiteral("0001"), SheetObject::Economy, SheetOrigin::PrimitiveBudget, rows::Money("9000"), line);
    Line(budget, 1, LineObject::PrimitiveBudget, invoice, rows::Money("9000"));
    const qint64 cancellation =
        Sheet(line, QStringLiteral("0006"), SheetObject::Economy, SheetOrigin::Cancellation, rows::Money("3320"), sheet);
    Line(cancellation, 1, LineObject::Cancellation, sheet, rows::Money("3320"));
    const struct {
        qint64 id;
        QString text;
    } movements[] = {
        {transfer, QStringLiteral("TRANSFERT DE CREDITS N° 7 DU 05/03/2024")},
        {budget, QStringLiteral("BUDGET PRIMITIF")},
        {cancellation, QStringLiteral("FICHE D'ENGAGEMENT N° 0003 DU 05/03/2024")},
    };
    for (const auto& m : movements) {
        const auto pages = Print<TfrmRptFEDep>(m.id);
        EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lFact1")), QStringList{m.text});
        EXPECT_FALSE(pages->texts().join(QLatin1Char(' ')).contains(QStringLiteral("FACTURE")));
    }
}

TEST_F(CommitmentSheetTest, TheBalancesAreThoseOfTheSharedRoutineSheetAfterSheet)
{
    // Every kind of sheet, some stored with a negative amount.
    const struct {
        const char* number;
        SheetObject objet;
        const char* amount;
    } sheets[] = {{"0001", SheetObject::Economy, "1000"},
                  {"0002", SheetObject::Expense, "300"},
                  {"0003", SheetObject::Economy, "-200"},
                  {"0004", SheetObject::Expense, "-20"},
                  {"0005", SheetObject::Expense, "50"}};
    QList<qint64> ids;
    for (const auto& s : sheets) {
        const bool economy = s.objet == SheetObject::Economy;
        const qint64 id = Sheet(line, QString::fromLatin1(s.number), s.objet,
                                economy ? SheetOrigin::Cancellation : SheetOrigin::User, rows::Money(s.amount));
        Line(id, 1, economy ? LineObject::Cancellation : LineObject::Expense, supplier, rows::Money(s.amount));
        ids << id;
    }
    for (int i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(sheets[i].number);
        const QString next = QStringLiteral("%1").arg(i + 2, 4, 10, QLatin1Char('0'));
        const Currency before = DM->Queries().CommitmentBalanceBefore(line, QString::fromLatin1(sheets[i].number));
        const Currency after = DM->Queries().CommitmentBalanceBefore(line, next);
        for (bool white : {true, false}) {
            const auto pages = white ? Print<TfrmRptFEDep>(ids[i]) : Print<TfrmRptFEDep_PreImp>(ids[i]);
            EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lOldSolde")), QStringList{before.formatMoney()});
            EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("lNewSolde")), QStringList{after.formatMoney()});
        }
    }
    // 1000 - 300 + 200 - 20 - 50
    EXPECT_EQ(DM->Queries().CommitmentBalanceBefore(line, QStringLiteral("0006")), rows::Money("830"));
}

TEST_F(CommitmentSheetTest, TheBudgetLineBlockAndTheObservationStayInTheirZone)
{
    // With a paragraph: the chapter, article and line titles on their rows.
    const qint64 withPar = Sheet(line, QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::User, rows::Money("10"));
    auto pages = Print<TfrmRptFEDep>(withPar);
    const rpt::Page* page = &pages->page(0);
    EXPECT_EQ(page->textsOf(QStringLiteral("dblChap")), QStringList{QStringLiteral("Matériel et mobilier")});
    EXPECT_EQ(page->textsOf(QStringLiteral("dblArt")), QStringList{QStringLiteral("Mobilier de bureau")});
    EXPECT_EQ(page->textsOf(QStringLiteral("dblPar")), QStringList{QStringLiteral("Achat de chaises")});
    EXPECT_EQ(page->textsOf(QStringLiteral("dbPar1")), QStringList{QStringLiteral("01")});
    EXPECT_DOUBLE_EQ(InBand(*page, QStringLiteral("lObs")).top(), InBand(*page, QStringLiteral("dblPar")).bottom() + 10);

    // Without: no paragraph row, the line's own title on the article row, and
    // a 512-character observation cut above the place and date.
    const qint64 noPar = rows::BudgetLine(QStringLiteral("21-03"), QStringLiteral("05"), QString(),
                                          QStringLiteral("Entretien des locaux"));
    const QString obs = QStringLiteral("OBSERVATION TRES LONGUE ").repeated(22).left(512);
    const qint64 id = Sheet(noPar, QStringLiteral("0002"), SheetObject::Expense, SheetOrigin::User, rows::Money("10"), -1, obs);
    pages = Print<TfrmRptFEDep>(id);
    ASSERT_EQ(pages->count(), 1);
    page = &pages->page(0);
    EXPECT_EQ(page->textsOf(QStringLiteral("dblArt")), QStringList{QStringLiteral("Entretien des locaux")});
    for (const char* hidden : {"lPar", "dbPar", "lTiretPar", "dblPar"})
        EXPECT_EQ(page->item(QString::fromLatin1(hidden)), nullptr) << hidden;
    const QRectF lObs = InBand(*page, QStringLiteral("lObs"));
    EXPECT_DOUBLE_EQ(lObs.top(), InBand(*page, QStringLiteral("dblArt")).bottom() + 10);
    EXPECT_LE(lObs.bottom(), InBand(*page, QStringLiteral("lVille")).top());
    EXPECT_EQ(page->bands.size(), 1u);
    EXPECT_DOUBLE_EQ(page->bands[0].rect.height(), 1080);
    EXPECT_EQ(page->textsOf(QStringLiteral("lVille")), QStringList{QStringLiteral("Alger, le 05/03/2024")});

    // A sheet without budget line prints an empty block; an unknown sheet an empty page.
    pages = Print<TfrmRptFEDep>(Sheet(-1, QString(), SheetObject::Expense, SheetOrigin::User, Currency()));
    EXPECT_TRUE(pages->page(0).textsOf(QStringLiteral("dbChap")).isEmpty());
    pages = Print<TfrmRptFEDep>(31000);
    ASSERT_EQ(pages->count(), 1);
    EXPECT_TRUE(pages->page(0).texts().isEmpty());
}
