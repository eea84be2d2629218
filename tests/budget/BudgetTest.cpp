// The allocation window: the budget line and its primitive and amending budget
// sheets saved together, the refusals, a failure that leaves everything as it
// was, the close question, keys and date fields.
#include "budget/BudgetFixture.h"
#include "common/EventLoopWatch.h"

#include "core/Pause.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "ui/UCalendar.h"
#include "budget/BudgetStore.h"
#include "budget/UBudget.h"
#include "data/WriteGuard.h"
#include "budget/UFindImput.h"
#include "budget/UTotChap.h"
#include "controls/NumEdit.h"
#include "ui/ListRecordPattern.h"

#include <QToolButton>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Replaces the field's text by typing (an empty text clears it).
void Put(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        QTest::keyClicks(e, text);
}

const QDate kToday = QDate::currentDate();

class Allocation : public BudgetTest {
protected:
    void Open(qint64 idFnm)
    {
        frm = std::make_unique<TfrmBudget>();
        frm->IdFnm = idFnm;
        frm->show();
    }
    QString Mode() const { return frm->stBar->Panel(3); }
    QString FocusName() const { return frm->focusWidget() ? frm->focusWidget()->objectName() : QString(); }
    // The store's refusal of its write of `a` on the line (nothing stored);
    // empty when the write went through.
    static QString StoreRefusal(qint64 idFnm, const QString& chapter, const budget::Allocations& a)
    {
        try {
            TWriteGuard write;
            TBudgetStore().SaveAllocations(idFnm, chapter, true, a);
            write.Commit();
        } catch (const TRefusalError& e) {
            return e.refusal().message;
        }
        return QString();
    }

    void TearDown() override
    {
        frm.reset();
        BudgetTest::TearDown();
    }

    std::unique_ptr<TfrmBudget> frm;
};

TEST_F(Allocation, PrimitiveBudgetSheetFollowsTheLine)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(), QStringLiteral("Traitements"));
    AddObservations(QStringLiteral("21-05"), QStringLiteral("Obs BP"), QStringLiteral("Obs BS"), QStringLiteral("Obs BS-"));
    Open(id);
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    EXPECT_EQ(frm->stBar->Panel(0), QStringLiteral("BUDGETIER"));
    EXPECT_EQ(frm->stBar->Panel(1), QStringLiteral("2024"));
    EXPECT_EQ(frm->lInt->text(), QStringLiteral("Traitements"));

    // First primitive budget, with its visa date.
    frm->btnEdit->click();
    EXPECT_EQ(Mode(), QStringLiteral("Edition"));
    EXPECT_EQ(frm->edDateEng_BP->text(), DateText(DefaultDate()));
    Put(frm->edMt_BP, QStringLiteral("1500000"));
    Put(frm->edDateBP, QStringLiteral("10/01/2024"));
    Put(frm->edDateEng_BP, QStringLiteral("12/01/2024"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Mode(), QStringLiteral("Affichage"));
    EXPECT_EQ(frm->edMt_BP->text(), QStringLiteral("1 500 000.00"));

    StoredLine line = Line(id);
    EXPECT_EQ(line.bp, Money("1500000"));
    EXPECT_EQ(line.dateBP, QDate(2024, 1, 10));
    EXPECT_EQ(line.user, QStringLiteral("BUDGETIER"));
    std::vector<StoredSheet> sheets = Sheets(id);
    ASSERT_EQ(sheets.size(), 1u);
    const StoredSheet first = sheets[0];
    EXPECT_EQ(first.number, QStringLiteral("0001"));
    EXPECT_EQ(first.origin, SheetOrigin::PrimitiveBudget);
    EXPECT_EQ(first.idOrigine, id);
    EXPECT_EQ(first.objet, SheetObject::Economy);
    EXPECT_EQ(first.amount, Money("1500000"));
    EXPECT_EQ(first.sheetDate, QDate(2024, 1, 12));
    EXPECT_EQ(first.visaDate, QDate(2024, 1, 10));
    EXPECT_EQ(first.obs, QStringLiteral("Obs BP"));
    EXPECT_EQ(first.statut, SheetInForce);
    EXPECT_EQ(first.user, QStringLiteral("BUDGETIER"));
    EXPECT_EQ(first.created, kToday);
    EXPECT_EQ(first.lines, 1);
    EXPECT_EQ(first.lineNo, 1);
    EXPECT_EQ(first.lineObjet, LineObject::PrimitiveBudget);
    EXPECT_EQ(first.lineDetail, id);
    EXPECT_EQ(first.lineAmount, Money("1500000"));

    // Changed later, with an imprest part larger than the budget (accepted):
    // the same sheet, no new one.
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("1750000.5"));
    Put(frm->edMt_Regie, QStringLiteral("2000000"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty());
    line = Line(id);
    EXPECT_EQ(line.bp, Money("1750000.50"));
    EXPECT_EQ(line.regie, Money("2000000"));
    sheets = Sheets(id);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].id, first.id);
    EXPECT_EQ(sheets[0].amount, Money("1750000.50"));   // the imprest part is not deducted
    EXPECT_EQ(sheets[0].lineAmount, Money("1750000.50"));

    // Back to 0: the visa and sheet dates go, sheet "0001" stays with 0.
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("0"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty());
    line = Line(id);
    EXPECT_TRUE(line.bp.isZero());
    EXPECT_FALSE(line.dateBP.isValid());
    sheets = Sheets(id);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].number, QStringLiteral("0001"));
    EXPECT_TRUE(sheets[0].amount.isZero());
    EXPECT_FALSE(sheets[0].sheetDate.isValid());
    EXPECT_FALSE(sheets[0].visaDate.isValid());
    EXPECT_TRUE(frm->edDateBP->text().isEmpty());
    EXPECT_TRUE(frm->edDateEng_BP->text().isEmpty());
}

TEST_F(Allocation, AmendingSheetTakesTheNextNumberFollowsItsSignAndGoesOnlyWhenLast)
{
    const qint64 id = AddLine(QStringLiteral("22-03"), QStringLiteral("02"), QStringLiteral("01"), QStringLiteral("Fournitures"));
    AddObservations(QStringLiteral("22-03"), QStringLiteral("Obs BP"), QStringLiteral("Obs BS"), QStringLiteral("Obs BS-"));
    // User commitments never take "0001", the primitive-budget sheet's number.
    for (const char* no : {"0002", "0003", "0004", "0005"})
        AddUserSheet(id, QString::fromLatin1(no), Money("10"));
    Open(id);

    // -50 000.00 without a visa date: the question, Yes saves a null visa date.
    frm->btnEdit->click();
    Put(frm->edMt_BS, QStringLiteral("-50000"));
    Put(frm->edDateEng_BS, QStringLiteral("05/03/2024"));
    messages->answer(mrYes);
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("La date de prise en charge du BS est incorrecte !\rContinuer ?")});
    messages->clear();
    EXPECT_EQ(Line(id).bs, Money("-50000"));
    std::optional<StoredSheet> amending = ByOrigin(Sheets(id), SheetOrigin::AmendingBudget);
    ASSERT_TRUE(amending);
    EXPECT_EQ(amending->number, QStringLiteral("0006"));
    EXPECT_EQ(amending->objet, SheetObject::Expense);
    EXPECT_EQ(amending->amount, Money("-50000"));
    EXPECT_EQ(amending->obs, QStringLiteral("Obs BS-"));
    EXPECT_EQ(amending->sheetDate, QDate(2024, 3, 5));
    EXPECT_FALSE(amending->visaDate.isValid());
    EXPECT_EQ(amending->idOrigine, id);
    EXPECT_EQ(amending->lineObjet, LineObject::AmendingBudget);
    EXPECT_EQ(amending->lineDetail, id);
    EXPECT_EQ(amending->lineAmount, Money("-50000"));
    // The primitive budget is 0 and had no sheet: none is made.
    EXPECT_FALSE(ByOrigin(Sheets(id), SheetOrigin::PrimitiveBudget));

    // +20 000.00: the same sheet "0006" changes side and observation.
    frm->btnEdit->click();
    Put(frm->edMt_BS, QStringLiteral("20000"));
    Put(frm->edDateBS, QStringLiteral("06/03/2024"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty());
    const std::optional<StoredSheet> changed = ByOrigin(Sheets(id), SheetOrigin::AmendingBudget);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->id, amending->id);
    EXPECT_EQ(changed->number, QStringLiteral("0006"));
    EXPECT_EQ(changed->objet, SheetObject::Economy);
    EXPECT_EQ(changed->obs, QStringLiteral("Obs BS"));
    EXPECT_EQ(changed->amount, Money("20000"));
    EXPECT_EQ(changed->lineAmount, Money("20000"));
    EXPECT_EQ(changed->visaDate, QDate(2024, 3, 6));

    // Set to 0 while "0007" follows: the whole save is refused, nothing stored.
    AddUserSheet(id, QStringLiteral("0007"), Money("5"));
    frm->btnEdit->click();
    Put(frm->edMt_BS, QStringLiteral("0"));
    Put(frm->edMt_BP, QStringLiteral("999"));
    Put(frm->edDateEng_BP, QStringLiteral("02/01/2024"));
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Cette ficher n'est pas la dernière !\rIl faut, donc, "
                                                            "supprimer les celles qui sont aprés celle-là.")});
    messages->clear();
    EXPECT_TRUE(frm->Editing());
    EXPECT_EQ(FocusName(), QStringLiteral("edMt_BS"));
    EXPECT_EQ(Line(id).bs, Money("20000"));
    EXPECT_TRUE(Line(id).bp.isZero());
    EXPECT_EQ(ByOrigin(Sheets(id), SheetOrigin::AmendingBudget)->amount, Money("20000"));
    EXPECT_FALSE(ByOrigin(Sheets(id), SheetOrigin::PrimitiveBudget));

    // The store refuses too, whatever the checks saw: another sheet may be
    // given to the line while the save's questions are on screen.
    budget::Allocations zero;
    zero.bp = Money("999");
    zero.dateEngBP = QDate(2024, 1, 2);
    EXPECT_EQ(StoreRefusal(id, QStringLiteral("22-03"), zero), budget::AmendingSheetNotLastRefusal);
    EXPECT_EQ(Line(id).bs, Money("20000"));
    EXPECT_TRUE(ByOrigin(Sheets(id), SheetOrigin::AmendingBudget));

    // Once "0007" is gone, the sheet and its line are deleted with the save.
    Exec(QStringLiteral("DELETE FROM ENT_ENG WHERE ID_FNM=:F AND NO_ENG='0007'"), {{"F", id}});
    DM->CommitWork();
    Put(frm->edMt_BP, QStringLiteral("0"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty());
    EXPECT_TRUE(Line(id).bs.isZero());
    EXPECT_FALSE(Line(id).dateBS.isValid());
    EXPECT_FALSE(ByOrigin(Sheets(id), SheetOrigin::AmendingBudget));
    EXPECT_EQ(Sheets(id).size(), 4u);
    EXPECT_EQ(AllSheetLines(), 0);
}

struct Refusal {
    const char* bp;
    const char* regie;
    const char* bs;
    const char* dateBP;
    const char* dateEngBP;
    const char* dateBS;
    const char* dateEngBS;
    int answer;               // to the question, 0 when none is expected
    QStringList messages;
    const char* focus;
};

TEST_F(Allocation, RefusalsNameTheirFieldAndStoreNothing)
{
    const QString question = QStringLiteral("La date de prise en charge du BS est incorrecte !\rContinuer ?");
    const Refusal cases[] = {
        {"-5", "0", "0", "", "12/01/2024", "", "", 0,
         {QStringLiteral("Le Montant du budget primitif doit être supérieur ou égale à zéro !")}, "edMt_BP"},
        {"100", "-1", "0", "", "12/01/2024", "", "", 0,
         {QStringLiteral("Le Montant de la régie doit être supérieur ou égale à zéro !")}, "edMt_Regie"},
        {"100", "0", "0", "31/02/2024", "12/01/2024", "", "", 0,
         {QStringLiteral("La Date visa du BP est incorrecte !")}, "edDateBP"},
        {"100", "0", "0", "15/01/2023", "12/01/2024", "", "", 0,
         {QStringLiteral("La date visa du BP ne correspond pas à l'exercice en cours !")}, "edDateBP"},
        {"100", "0", "0", "", "", "", "", 0,
         {QStringLiteral("La Date de la fiche d'engagement (BP) est manquante !")}, "edDateEng_BP"},
        {"100", "0", "0", "", "12/13/2024", "", "", 0,
         {QStringLiteral("La Date de la fiche d'engagement (BP) est incorrecte !")}, "edDateEng_BP"},
        {"100", "0", "0", "", "1/1/2025", "", "", 0,
         {QStringLiteral("La date de la fiche d'engagement (BP) ne correspond pas à l'exercice en cours !")}, "edDateEng_BP"},
        {"0", "0", "50", "", "", "", "02/01/2024", mrNo, {question}, "edDateBS"},
        {"0", "0", "50", "", "", "x", "02/01/2024", mrYes,
         {question, QStringLiteral("La Date visa du BS est incorrecte !")}, "edDateBS"},
        {"0", "0", "50", "", "", "01/01/2025", "02/01/2024", 0,
         {QStringLiteral("La date visa du BS ne correspond pas à l'exercice en cours !")}, "edDateBS"},
        {"0", "0", "50", "", "", "01/01/2024", "", 0,
         {QStringLiteral("La Date de la fiche d'engagement (BS) est manquante !")}, "edDateEng_BS"},
        {"0", "0", "-50", "", "", "01/01/2024", "2024", 0,
         {QStringLiteral("La Date de la fiche d'engagement (BS) est incorrecte !")}, "edDateEng_BS"},
        {"0", "0", "-50", "", "", "01/01/2024", "31/12/2023", 0,
         {QStringLiteral("La date de la fiche d'engagement (BS) ne correspond pas à l'exercice en cours !")}, "edDateEng_BS"},
    };
    const qint64 id = AddLine(QStringLiteral("21-02"), QStringLiteral("08"), QString(), QStringLiteral("Charges"));
    Open(id);
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.messages.last().toStdString());
        if (frm->btnCancel->isEnabled())
            frm->btnCancel->click();
        frm->btnEdit->click();
        Put(frm->edMt_BP, QString::fromUtf8(c.bp));
        Put(frm->edMt_Regie, QString::fromUtf8(c.regie));
        Put(frm->edMt_BS, QString::fromUtf8(c.bs));
        Put(frm->edDateBP, QString::fromUtf8(c.dateBP));
        Put(frm->edDateEng_BP, QString::fromUtf8(c.dateEngBP));
        Put(frm->edDateBS, QString::fromUtf8(c.dateBS));
        Put(frm->edDateEng_BS, QString::fromUtf8(c.dateEngBS));
        messages->clear();
        if (c.answer)
            messages->answer(c.answer);
        frm->btnPost->click();
        EXPECT_EQ(messages->texts(), c.messages);
        EXPECT_TRUE(frm->Editing());
        EXPECT_EQ(FocusName(), QString::fromLatin1(c.focus));
        const StoredLine line = Line(id);
        EXPECT_TRUE(line.bp.isZero() && line.regie.isZero() && line.bs.isZero());
        EXPECT_TRUE(Sheets(id).empty());
    }
    // An amount larger than its column cannot even be typed: the amount
    // fields keep thirteen integer digits.
    for (TNumEdit* amount : {frm->edMt_BP, frm->edMt_BS}) {
        Put(amount, QStringLiteral("-99999999999999"));
        EXPECT_EQ(amount->text(), QStringLiteral("-9 999 999 999 999.00"));
    }
}

enum class Failure { LockFromAnotherConnection, FailingTrigger, RefusedCommit };

class AllocationFailure : public Allocation, public ::testing::WithParamInterface<Failure> {};

TEST_P(AllocationFailure, LeavesTheLineAndItsSheetsAsTheyWere)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("03"), QString(), QStringLiteral("Primes"));
    Open(id);
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("100000"));
    Put(frm->edDateEng_BP, QStringLiteral("02/01/2024"));
    frm->btnPost->click();
    ASSERT_EQ(Sheets(id).size(), 1u);

    db::Connection other;
    if (GetParam() == Failure::LockFromAnotherConnection) {
        other.open(year->params());
        other.execute(QStringLiteral("UPDATE ENT_ENG SET OBS='autre poste' WHERE ID_FNM=%1").arg(id));
    } else if (GetParam() == Failure::FailingTrigger) {
        DM->LURDO.execute(QStringLiteral("CREATE EXCEPTION E_BUDGET_TEST 'refus du test'"));
        DM->CommitWork();
        DM->LURDO.execute(QStringLiteral("CREATE TRIGGER DET_ENG_TEST FOR DET_ENG ACTIVE BEFORE INSERT OR UPDATE "
                                         "POSITION 0 AS BEGIN EXCEPTION E_BUDGET_TEST; END"));
        DM->CommitWork();
    } else {
        // The engine refuses the commit itself, after every statement went through.
        DM->LURDO.executeScript(QStringLiteral(
            "CREATE EXCEPTION E_BUDGET_TEST 'refus du test';"
            "COMMIT;"
            "SET TERM ^ ;"
            "CREATE TRIGGER BUDGET_COMMIT_TEST ON TRANSACTION COMMIT AS BEGIN"
            "  IF (EXISTS(SELECT 1 FROM FNM WHERE MT_BS <> 0)) THEN EXCEPTION E_BUDGET_TEST; END^"
            "SET TERM ; ^"
            "COMMIT;"));
    }

    // The line, the primitive sheet and a new amending sheet in one save.
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("250000"));
    Put(frm->edMt_BS, QStringLiteral("30000"));
    Put(frm->edDateBS, QStringLiteral("03/01/2024"));
    Put(frm->edDateEng_BS, QStringLiteral("04/01/2024"));
    {
        TEventLoopWatch watch;
        frm->btnPost->click();
        EXPECT_FALSE(watch.Ran());
    }

    // The user is told why; the entry stays on screen in edit mode, to be saved again.
    ASSERT_EQ(messages->calls().size(), 1);
    if (GetParam() == Failure::RefusedCommit) {
        EXPECT_EQ(messages->texts()[0],
                  QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées."));
        EXPECT_EQ(messages->calls()[0].type, int(mtError));
    } else {
        EXPECT_TRUE(messages->calls()[0].standard);
        EXPECT_EQ(messages->calls()[0].type, int(StdDialogType::Error));
    }
    EXPECT_TRUE(frm->Editing());
    EXPECT_EQ(frm->stBar->Panel(3), QStringLiteral("Edition"));
    EXPECT_EQ(frm->edMt_BP->text(), QStringLiteral("250 000.00"));
    EXPECT_EQ(frm->edMt_BS->text(), QStringLiteral("30 000.00"));
    EXPECT_EQ(frm->edDateEng_BS->text(), QStringLiteral("04/01/2024"));
    if (other.isOpen()) {
        other.rollback();
        other.close();
    }

    // Nothing of the save is stored, even in this connection's own view.
    const StoredLine line = Line(id);
    EXPECT_EQ(line.bp, Money("100000"));
    EXPECT_TRUE(line.bs.isZero());
    const std::vector<StoredSheet> sheets = Sheets(id);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].amount, Money("100000"));
    EXPECT_EQ(sheets[0].lineAmount, Money("100000"));
    db::Query own(DM->LURDO, QStringLiteral("SELECT MT_BP FROM FNM WHERE ID_FNM=:ID"));
    own.setParam(QStringLiteral("ID"), id);
    own.open();
    EXPECT_EQ(own.asCurrency(QStringLiteral("MT_BP")), Money("100000"));
}

INSTANTIATE_TEST_SUITE_P(Budget, AllocationFailure,
                         ::testing::Values(Failure::LockFromAnotherConnection, Failure::FailingTrigger,
                                           Failure::RefusedCommit));

// The largest amount the columns hold is stored exactly, in the line and in
// its primitive-budget sheet; the save never waits by running the event loop.
// "0001" is the primitive-budget sheet's number: when a sheet of another
// origin holds it on the line (a transfer's receiving sheet, a year file made
// elsewhere), the first primitive budget is refused and nothing is written,
// in the window's checks and again in the store's write.
TEST_F(Allocation, APrimitiveBudgetNeverTakesA0001HeldByAnotherSheet)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("04"), QString(), QStringLiteral("Mutuelle"));
    const qint64 sheet = DM->NextGeneratorValue(QStringLiteral("GEN_ENGAGEMENT_ID"));
    Exec(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE, "
                        "STATUT) VALUES (:ID, '0001', :D, :F, 500, :OBJET, :ORIGINE, 9, :S)"),
         {{"ID", sheet}, {"D", QDate(2024, 2, 1)}, {"F", id}, {"OBJET", toDbValue(SheetObject::Economy)},
          {"ORIGINE", toDbValue(SheetOrigin::Transfer)}, {"S", SheetInForce}});
    DM->CommitWork();

    Open(id);
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("1000"));
    Put(frm->edDateEng_BP, QStringLiteral("12/01/2024"));
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{budget::FirstNumberTakenRefusal});
    EXPECT_TRUE(frm->Editing());
    EXPECT_EQ(FocusName(), QStringLiteral("edMt_BP"));
    EXPECT_TRUE(Line(id).bp.isZero());
    ASSERT_EQ(Sheets(id).size(), 1u);
    EXPECT_EQ(Sheets(id)[0].origin, SheetOrigin::Transfer);

    // The store refuses too, whatever the checks saw.
    budget::Allocations a;
    a.bp = Money("1000");
    a.dateEngBP = QDate(2024, 1, 12);
    EXPECT_EQ(StoreRefusal(id, QStringLiteral("21-05"), a), budget::FirstNumberTakenRefusal);
    EXPECT_TRUE(Line(id).bp.isZero());
    EXPECT_EQ(Sheets(id).size(), 1u);

    // An amending budget alone goes through, numbered after the line's last.
    Put(frm->edMt_BP, QStringLiteral("0"));
    Put(frm->edMt_BS, QStringLiteral("200"));
    Put(frm->edDateBS, QStringLiteral("12/01/2024"));
    Put(frm->edDateEng_BS, QStringLiteral("12/01/2024"));
    messages->clear();
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(Sheets(id).size(), 2u);
    EXPECT_EQ(Sheets(id)[1].number, QStringLiteral("0002"));
}

// An amending budget entered before the primitive one leaves "0001" free, so
// the primitive budget can still be entered afterwards.
TEST_F(Allocation, AnAmendingBudgetFirstLeaves0001ForThePrimitiveBudget)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("06"), QString(), QStringLiteral("Vacations"));
    Open(id);
    frm->btnEdit->click();
    Put(frm->edMt_BS, QStringLiteral("300"));
    Put(frm->edDateBS, QStringLiteral("12/01/2024"));
    Put(frm->edDateEng_BS, QStringLiteral("12/01/2024"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(Sheets(id).size(), 1u);
    EXPECT_EQ(Sheets(id)[0].number, QStringLiteral("0002"));

    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("1000"));
    Put(frm->edDateBP, QStringLiteral("13/01/2024"));
    Put(frm->edDateEng_BP, QStringLiteral("13/01/2024"));
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Line(id).bp, Money("1000"));
    const std::optional<StoredSheet> primitive = ByOrigin(Sheets(id), SheetOrigin::PrimitiveBudget);
    ASSERT_TRUE(primitive);
    EXPECT_EQ(primitive->number, QStringLiteral("0001"));
}

// Allocations another user changed since the line was shown are not written
// over: the save is refused and the entry kept, answering No.
TEST_F(Allocation, ASaveNeverUndoesAnotherUsersChange)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("05"), QString(), QStringLiteral("Primes"));
    Open(id);
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("1000"));
    Put(frm->edDateEng_BP, QStringLiteral("12/01/2024"));
    {
        db::Query other(Committed(), QStringLiteral("UPDATE FNM SET MT_REGIE=5 WHERE ID_FNM=:ID"));
        other.setParam(QStringLiteral("ID"), id);
        other.exec();
    }
    Committed();   // commits the other user's change
    messages->answer(mrNo);
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_TRUE(frm->Editing());
    EXPECT_EQ(frm->edMt_BP->text(), QStringLiteral("1 000.00"));
    EXPECT_TRUE(Line(id).bp.isZero());
    EXPECT_EQ(Line(id).regie, Money("5"));
    EXPECT_TRUE(Sheets(id).empty());
}

TEST_F(Allocation, TheLargestAmountIsStoredExactlyAndTheSaveNeverWaits)
{
    const qint64 id = AddLine(QStringLiteral("21-05"), QStringLiteral("04"), QString(), QStringLiteral("Matériel"));
    Open(id);
    frm->btnEdit->click();
    Put(frm->edMt_BP, QStringLiteral("9999999999999.99"));
    Put(frm->edDateEng_BP, QStringLiteral("02/01/2024"));
    {
        TEventLoopWatch watch;
        frm->btnPost->click();
        EXPECT_FALSE(watch.Ran());
    }
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(frm->Editing());
    const Currency largest = Currency::fromRaw(99999999999999900);
    EXPECT_EQ(Line(id).bp, largest);
    const std::optional<StoredSheet> sheet = ByOrigin(Sheets(id), SheetOrigin::PrimitiveBudget);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->amount, largest);
    EXPECT_EQ(sheet->lineAmount, largest);
    EXPECT_EQ(frm->edMt_BP->text(), QStringLiteral("9 999 999 999 999.99"));
}

struct CloseCase {
    int answer;
    const char* bp;
    bool staysOpen;
    bool stillEditing;
    const char* storedBp;
};

TEST_F(Allocation, ClosingWhileEditingAsksWhetherToSave)
{
    const CloseCase cases[] = {
        {mrCancel, "700", true, true, "0"},
        {mrNo, "700", false, false, "0"},
        {mrYes, "700", false, false, "700"},
        {mrYes, "-700", true, true, "0"},   // a refused save keeps the window open
    };
    const qint64 id = AddLine(QStringLiteral("21-01"), QStringLiteral("01"), QString(), QStringLiteral("Indemnités"));
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(std::string(c.bp) + " answer " + std::to_string(c.answer));
        Exec(QStringLiteral("UPDATE FNM SET MT_BP=0 WHERE ID_FNM=:F"), {{"F", id}});
        Exec(QStringLiteral("DELETE FROM ENT_ENG"));
        DM->CommitWork();
        Open(id);
        frm->btnEdit->click();
        Put(frm->edMt_BP, QString::fromLatin1(c.bp));
        Put(frm->edDateEng_BP, QStringLiteral("02/01/2024"));
        messages->clear();
        messages->answer(c.answer);
        frm->close();
        ASSERT_GE(messages->texts().size(), 1);
        EXPECT_EQ(messages->texts()[0], QStringLiteral("Voulez-vous enregistrer les modifications apportées à l'imputation ?"));
        EXPECT_EQ(messages->calls()[0].type, int(mtWarning));
        EXPECT_EQ(frm->isVisible(), c.staysOpen);
        EXPECT_EQ(frm->Editing(), c.stillEditing);
        EXPECT_EQ(Line(id).bp, Money(c.storedBp));
    }
}

TEST_F(Allocation, KeysDriveTheWindow)
{
    const qint64 id = AddLine(QStringLiteral("21-01"), QStringLiteral("02"), QString(), QStringLiteral("Heures"), Money("400"));
    Open(id);
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));

    // F2 edits; Ctrl+Z, typed in an amount, cancels the edit.
    QTest::keyClick(frm.get(), Qt::Key_F2);
    ASSERT_TRUE(frm->Editing());
    ASSERT_TRUE(frm->edMt_BP->hasFocus());
    QTest::keyClicks(frm->edMt_BP, QStringLiteral("250"));
    QTest::keyClick(frm->edMt_BP, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(frm->Editing());
    EXPECT_EQ(frm->edMt_BP->text(), QStringLiteral("400.00"));

    // Ctrl+S, typed in a date field, saves.
    QTest::keyClick(frm.get(), Qt::Key_F2);
    QTest::keyClicks(frm->edMt_BP, QStringLiteral("300"));
    Put(frm->edDateEng_BP, QStringLiteral("02/01/2024"));
    QTest::keyClick(frm->edDateEng_BP, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(messages->texts().isEmpty());
    EXPECT_FALSE(frm->Editing());
    EXPECT_EQ(Line(id).bp, Money("300"));

    // Esc cancels an edit without a question, then closes the window.
    QTest::keyClick(frm.get(), Qt::Key_F2);
    QTest::keyClicks(frm->edMt_BP, QStringLiteral("9"));
    QTest::keyClick(frm->edMt_BP, Qt::Key_Escape);
    EXPECT_FALSE(frm->Editing());
    EXPECT_TRUE(frm->isVisible());
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_TRUE(messages->texts().isEmpty());
    EXPECT_EQ(Line(id).bp, Money("300"));
}

TEST_F(Allocation, WithoutTheWriteRightNothingIsEdited)
{
    Exec(QStringLiteral("INSERT INTO T_SECUR (ID_SECUR, ID_USER, OBJECT_TYPE, OBJECT_NAME, OBJECT_DESC, TYPE_ACCES, "
                        "TV_LEVEL, NB_CHILD) VALUES (1, 7, 0, 'MNBUDGET', 'Budget', 1, 2, 0)"));
    DM->CommitWork();
    const qint64 id = AddLine(QStringLiteral("21-01"), QStringLiteral("03"), QString(), QStringLiteral("Vacations"));
    Open(id);
    frm->btnEdit->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")});
    EXPECT_FALSE(frm->Editing());
}

TEST_F(Allocation, HeadingsNavigatorSearchAndChapterTotal)
{
    const qint64 heading = AddLine(QStringLiteral("21-05"), QString(), QString(), QStringLiteral("Personnel"), Money("10"));
    const qint64 first = AddLine(QStringLiteral("21-05"), QStringLiteral("01"), QString(), QStringLiteral("Traitements"), Money("1000.25"));
    AddLine(QStringLiteral("21-05"), QStringLiteral("02"), QStringLiteral("01"), QStringLiteral("Primes"), Money("500"));
    AddLine(QStringLiteral("22-01"), QStringLiteral("01"), QString(), QStringLiteral("Matériel"), Money("7"));
    Open(heading);

    // A chapter heading is shown, its allocations cannot be edited.
    EXPECT_EQ(frm->edChap->text(), QStringLiteral("21-05"));
    EXPECT_FALSE(frm->btnEdit->isEnabled());
    EXPECT_FALSE(frm->mnEdit->isEnabled());
    EXPECT_FALSE(frm->edMt_BP->isEnabled());
    EXPECT_FALSE(frm->btnPrior->isEnabled());

    frm->btnNext->click();
    EXPECT_EQ(frm->IdFnm, first);
    EXPECT_EQ(frm->lInt->text(), QStringLiteral("Traitements"));
    EXPECT_TRUE(frm->btnEdit->isEnabled());
    frm->btnLast->click();
    EXPECT_EQ(frm->edChap->text(), QStringLiteral("22-01"));
    EXPECT_FALSE(frm->btnNext->isEnabled());

    // The search, by the three texts as typed.
    struct { const char* chap; const char* art; const char* par; const char* title; } searches[] = {
        {"21-05", "02", "01", "Primes"},
        {"21-05", "", "", "Personnel"},
        {"21-05", "2", "01", nullptr},
    };
    for (const auto& s : searches) {
        messages->clear();
        OnNextModal([&](QDialog* d) {
            auto* find = qobject_cast<TfrmFindImput*>(d);
            ASSERT_NE(find, nullptr);
            find->edChap->setText(QString::fromLatin1(s.chap));
            find->edArt->setText(QString::fromLatin1(s.art));
            find->edPar->setText(QString::fromLatin1(s.par));
            find->btnOk->click();
        });
        frm->btnFind->click();
        if (s.title) {
            EXPECT_EQ(frm->lInt->text(), QString::fromUtf8(s.title));
            EXPECT_TRUE(messages->texts().isEmpty());
        } else {
            EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Imputation introuvable !")});
            EXPECT_EQ(frm->lInt->text(), QStringLiteral("Personnel"));
        }
    }

    // The chapter total: every primitive budget of the chapter, its heading included.
    QString total;
    OnNextModal([&](QDialog* d) {
        auto* tot = qobject_cast<TfrmTotChap*>(d);
        ASSERT_NE(tot, nullptr);
        total = tot->lChap->text() + QLatin1Char('=') + tot->lTotChap->text();
        tot->btnOk->click();
    });
    frm->mnTotChap->trigger();
    EXPECT_EQ(total, QStringLiteral("21-05=1 510.25"));
}

TEST_F(Allocation, DateFieldsTakeTheCalendarOrTodayAndAskBeforeReplacing)
{
    const qint64 id = AddLine(QStringLiteral("21-01"), QStringLiteral("04"), QString(), QStringLiteral("Frais"));
    Open(id);
    frm->btnEdit->click();
    frm->edDateBP->clear();
    auto pick = [&](const QDate& date) {
        OnNextModal([date](QDialog* d) {
            auto* calendar = qobject_cast<TfrmCalendar*>(d);
            ASSERT_NE(calendar, nullptr);
            calendar->myCalend->setSelectedDate(date);
            calendar->btnOk->click();
        });
        frm->btnGetDateBP->click();
    };
    pick(QDate(2024, 1, 20));
    EXPECT_EQ(frm->edDateBP->text(), QStringLiteral("20/01/2024"));
    EXPECT_TRUE(messages->texts().isEmpty());

    messages->answer(mrNo);
    pick(QDate(2024, 1, 21));
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Remplacer 20/01/2024  par  21/01/2024 ?")});
    EXPECT_EQ(frm->edDateBP->text(), QStringLiteral("20/01/2024"));
    messages->answer(mrYes);
    pick(QDate(2024, 1, 21));
    EXPECT_EQ(frm->edDateBP->text(), QStringLiteral("21/01/2024"));

    // A double click: today into an empty field, a question for another date.
    messages->clear();
    frm->edDateBS->clear();
    QTest::mouseDClick(frm->edDateBS, Qt::LeftButton);
    const QString today = DateText(DefaultDate());
    EXPECT_EQ(frm->edDateBS->text(), today);
    EXPECT_TRUE(messages->texts().isEmpty());
    messages->answer(mrYes);
    QTest::mouseDClick(frm->edDateBP, Qt::LeftButton);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Remplacer 21/01/2024  par  ") + today + QStringLiteral(" ?")});
    EXPECT_EQ(frm->edDateBP->text(), today);
}

} // namespace
