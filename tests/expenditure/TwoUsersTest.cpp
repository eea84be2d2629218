// Two users on one year, each with a connection of its own: user A drives the
// program's windows; user B runs the same stores' writes and leaves its
// operation in progress while A acts, then ends it. Whatever the order, one of
// the two wins, the other is told, and nothing is half written.
#include "budget/RegulStore.h"
#include "budget/UAddRegul_Mdt.h"
#include "budget/UEngagement_Annul.h"
#include "budget/UGet_Eng.h"
#include "common/PickerFixture.h"
#include "common/SecondUser.h"
#include "common/SheetRows.h"
#include "common/TestServer.h"
#include "core/Guard.h"
#include "expenditure/ExpenseStore.h"
#include "expenditure/PickerStore.h"
#include "expenditure/UListMdt.h"
#include "expenditure/UMandat.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <optional>

using rows::Money;
using rows::Write;

namespace {

const QString InProgress = QStringLiteral("Ces informations sont en cours de modification par un autre utilisateur");

class TwoUsersTest : public PickerTest {
protected:
    void SetUp() override
    {
        PickerTest::SetUp();
        supplier = rows::Beneficiary(QStringLiteral("SARL ALPHA"), BeneficiaryType::Supplier, toDb(ServiceKind::Supply));
        line = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(), QStringLiteral("Fournitures"),
                                Money("1000"));
        b = std::make_unique<SecondUser>();
        bStores = std::make_unique<Stores>();
    }

    void TearDown() override
    {
        b->Run([&] {
            held.reset();
            bStores.reset();
        });
        b.reset();
        PickerTest::TearDown();
    }

    // The stores B writes through (each keeps B's connection).
    struct Stores {
        TPickerStore picker;
        TSheetStore sheets;
        TOrderStore orders;
        TExpenseStore expenses;
        TSheetExpenseLines sheetLines;
        TOrderExpenseLines orderLines;
        TRegulStore regul;
        // The picker's add to a document of the mode.
        TPickerStore::Result Add(picker::Mode mode, qint64 idDoc, const picker::Expense& checked)
        {
            TExpenseDocument& document = mode == picker::Mode::PaymentOrder ? static_cast<TExpenseDocument&>(orderLines)
                                                                             : sheetLines;
            return picker.AddExpense(document, mode, idDoc, checked);
        }
    };

    // B starts an operation, runs `statements` in it and leaves it in progress.
    void BHolds(const std::function<void()>& statements)
    {
        b->Run([&] {
            held.emplace();
            statements();
        });
    }
    void BCommits()
    {
        b->Run([&] {
            held->Commit();
            held.reset();
        });
    }

    // What the picker would add for B: the expense as it stands.
    picker::Expense Checked(qint64 id)
    {
        const std::optional<TExpense> e = ExpenseStoreRead(id);
        picker::Expense p;
        p.id = id;
        p.kind = e->kind;
        p.idFnm = e->idFnm;
        p.amount = e->amount;
        p.idBen = e->idBen;
        return p;
    }
    std::optional<TExpense> ExpenseStoreRead(qint64 id)
    {
        db::Query q(Committed(), QStringLiteral("SELECT * FROM DEPENSE WHERE ID_DEPENSE=:ID"));
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        if (q.isEmpty())
            return std::nullopt;
        return ExpenseOfRow(q);
    }

    // A was told, once, that another user's change is in progress, and A's
    // own operation is over.
    void ExpectToldInProgress()
    {
        ASSERT_EQ(messages->calls().size(), 1) << messages->texts().join(" | ").toStdString();
        EXPECT_TRUE(messages->calls().first().text.startsWith(InProgress)) << messages->texts().join(" | ").toStdString();
        EXPECT_FALSE(DM->LURDO.inTransaction());
        messages->clear();
    }

    // The committed lines of a document, "NOLINE:ID_DETAIL".
    QStringList Lines(picker::Mode mode, qint64 idDoc)
    {
        return mode == picker::Mode::PaymentOrder ? CommittedLines(QStringLiteral("DET_MDT"), QStringLiteral("ID_MDT"), idDoc)
                                                  : CommittedLines(QStringLiteral("DET_ENG"), QStringLiteral("ID_ENG"), idDoc);
    }
    // The committed header total of a document.
    Currency Total(picker::Mode mode, qint64 idDoc)
    {
        return CommittedMoney(mode == picker::Mode::PaymentOrder
                                  ? QStringLiteral("SELECT MONTANT FROM ENT_MDT WHERE ID_MDT=:ID")
                                  : QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"),
                              idDoc);
    }
    QString SheetNumber(qint64 idEng)
    {
        return CommittedText(QStringLiteral("SELECT NO_ENG FROM ENT_ENG WHERE ID_ENG=:ID"), idEng);
    }

    qint64 supplier = 0, line = 0;
    std::unique_ptr<SecondUser> b;
    std::unique_ptr<Stores> bStores;
    std::optional<TWriteGuard> held;
};

struct ModeCase {
    picker::Mode mode;
    const char* doc;      // the picker's ModeDoc
    const char* taken;
};
const ModeCase Modes[] = {
    {picker::Mode::Commitment, "E", "Dépense déja engagée !"},
    {picker::Mode::PaymentOrder, "M", "Dépense déja mandatée !"},
};

} // namespace

// A and B put one expense on two documents of one kind at once: the one whose
// operation runs first takes it; the other is told while it is in progress and
// refused once it is stored; the loser's document is left as it was.
TEST_F(TwoUsersTest, OneExpenseGoesOnOneDocumentOnly)
{
    DecisionCommit = 0;
    DecisionMandate = 0;
    for (const ModeCase& c : Modes) {
        SCOPED_TRACE(c.doc);
        const bool order = c.mode == picker::Mode::PaymentOrder;
        const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("200"));
        const qint64 docA = order ? NewOrder(QStringLiteral("0101"), QDate(2024, 4, 2)) : NewSheet();
        const qint64 docB = order ? NewOrder(QStringLiteral("0102"), QDate(2024, 4, 2)) : NewSheet();
        auto frm = Open(c.doc, docA);
        messages->clear();

        // B adds it first and has not committed yet: A is told and nothing is written.
        BHolds([&] { EXPECT_EQ(bStores->Add(c.mode, docB, Checked(e)).outcome, TPickerStore::Outcome::Added); });
        Pick(*frm, e);
        ExpectToldInProgress();
        EXPECT_EQ(frm->LineCount(), 0);
        EXPECT_TRUE(Lines(c.mode, docA).isEmpty());
        EXPECT_EQ(Total(c.mode, docA), Currency());
        if (!order) {
            EXPECT_EQ(SheetNumber(docA), QString());
        }

        // B's operation is stored: A's try again is refused as taken.
        BCommits();
        Pick(*frm, e);
        EXPECT_EQ(messages->texts(), QStringList{QString::fromUtf8(c.taken)});
        EXPECT_TRUE(Lines(c.mode, docA).isEmpty());
        ASSERT_EQ(Lines(c.mode, docB).size(), 1);
        EXPECT_EQ(Total(c.mode, docB), Money("200"));
        messages->clear();

        // The other way round: A first, then B is refused.
        const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("50"));
        frm->close();
        frm = Open(c.doc, docA);
        Pick(*frm, e2);
        EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
        EXPECT_EQ(Lines(c.mode, docA).size(), 1);
        b->Run([&] {
            TWriteGuard write;
            EXPECT_EQ(bStores->Add(c.mode, docB, Checked(e2)).outcome, TPickerStore::Outcome::Taken);
        });
        EXPECT_EQ(Lines(c.mode, docB).size(), 1);
        frm->close();
    }
}

// Two sheets of one budget line numbered at once: the second waits for the
// first, then takes the next number.
TEST_F(TwoUsersTest, TwoSheetsOfOneLineNeverTakeOneNumber)
{
    DecisionCommit = 0;
    rows::PrimitiveSheet(line, Money("1000"));
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("120"));
    const qint64 s1 = NewSheet();
    const qint64 s2 = NewSheet();
    auto frm = Open("E", s2);
    messages->clear();

    BHolds([&] { bStores->Add(picker::Mode::Commitment, s1, Checked(e1)); });
    Pick(*frm, e2);
    ExpectToldInProgress();
    EXPECT_TRUE(Lines(picker::Mode::Commitment, s2).isEmpty());
    EXPECT_EQ(SheetNumber(s2), QString());

    BCommits();
    EXPECT_EQ(SheetNumber(s1), QStringLiteral("0002"));
    Pick(*frm, e2);
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(SheetNumber(s2), QStringLiteral("0003"));
    EXPECT_EQ(Total(picker::Mode::Commitment, s2), Money("120"));
}

// B deletes an expense while A adds it, and the other way round: the expense
// is either deleted or on the order, never deleted and on the order.
TEST_F(TwoUsersTest, AnExpenseIsDeletedOrPlacedNeverBoth)
{
    DecisionMandate = 0;
    const qint64 order = NewOrder(QStringLiteral("0201"), QDate(2024, 4, 2));
    const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("200"));
    auto frm = Open("M", order);
    messages->clear();

    // B's deletion in progress: A's add is refused, the order left empty.
    BHolds([&] { EXPECT_FALSE(bStores->expenses.DeleteExpense(e).Any()); });
    Pick(*frm, e);
    ExpectToldInProgress();
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, order).isEmpty());
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Currency());
    BCommits();
    EXPECT_FALSE(ExpenseStoreRead(e));
    // The expense is gone: adding it writes nothing.
    Pick(*frm, e);
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, order).isEmpty());
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Currency());
    messages->clear();

    // B's add in progress: A's deletion from the list is refused, then once
    // B's order is stored, refused as mandated.
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("80"));
    frm->close();
    frm = Open("M", NewOrder(QStringLiteral("0202"), QDate(2024, 4, 2)));
    BHolds([&] { bStores->Add(picker::Mode::PaymentOrder, order, Checked(e2)); });
    ASSERT_TRUE(frm->Expenses()->locate({db::Value(e2)}));
    frm->btnDelete->click();
    // The confirmation, then the refusal.
    ASSERT_EQ(messages->calls().size(), 2) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(messages->calls().last().text.startsWith(InProgress)) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(ExpenseStoreRead(e2));
    messages->clear();
    BCommits();
    ASSERT_TRUE(frm->Expenses()->locate({db::Value(e2)}));
    frm->btnDelete->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible.")});
    EXPECT_TRUE(ExpenseStoreRead(e2));
    EXPECT_EQ(Lines(picker::Mode::PaymentOrder, order).size(), 1);
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Money("80"));
}

// A cancellation saved while an expense is being added to its sheet, and the
// other way round: the cancellation gives back the sheet's amount as stored
// with every line, and a cancelled sheet takes no line.
TEST_F(TwoUsersTest, ACancellationGivesBackTheSheetAsItStands)
{
    DecisionCommit = 0;
    rows::PrimitiveSheet(line, Money("1000"));
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("100"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("50"));
    const qint64 sheet = rows::UserSheet({e1}, Money("100"), QDate(2024, 3, 1));
    ASSERT_EQ(SheetNumber(sheet), QStringLiteral("0002"));

    auto frm = std::make_unique<TfrmEngagement_Annul>();
    frm->show();
    QApplication::setActiveWindow(frm.get());
    frm->btnAdd->click();
    OnNextModal([sheet](QDialog* d) {
        auto* dialog = qobject_cast<TfrmGet_Eng*>(d);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(dialog->Sheets()->locate({db::Value(sheet)}));
        dialog->btnOk->click();
    });
    frm->btnModifDet->click();
    QApplication::setActiveWindow(frm.get());
    frm->edDateE->setText(QStringLiteral("20/04/2024"));
    messages->clear();

    // B adds a line to the sheet and has not committed: A's save is told, and
    // neither a cancellation nor the mark is stored.
    BHolds([&] { bStores->Add(picker::Mode::Commitment, sheet, Checked(e2)); });
    frm->btnPost->click();
    ExpectToldInProgress();
    const QList<QPair<QString, db::Value>> cancellations{
        {QStringLiteral("ORIGINE"), toDbValue(SheetOrigin::Cancellation)}};
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT COUNT(*) FROM ENT_ENG WHERE ORIGINE=:ORIGINE AND ID_ORIGINE=:ID"), sheet,
                           cancellations),
              0);
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT STATUT FROM ENT_ENG WHERE ID_ENG=:ID"), sheet), SheetInForce);
    EXPECT_EQ(frm->Mode(), emInsert);

    // Once B's line is stored, the cancellation gives back 150.00, not the 100.00 shown when chosen.
    BCommits();
    frm->btnPost->click();
    EXPECT_TRUE(messages->texts().isEmpty()) << messages->texts().join(" | ").toStdString();
    const qint64 cancellation =
        CommittedInt(QStringLiteral("SELECT ID_ENG FROM ENT_ENG WHERE ORIGINE=:ORIGINE AND ID_ORIGINE=:ID"), sheet,
                     cancellations);
    ASSERT_GT(cancellation, 0);
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG WHERE ID_ENG=:ID"), cancellation), Money("150"));
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM DET_ENG WHERE ID_ENG=:ID"), cancellation), Money("150"));
    EXPECT_EQ(CommittedInt(QStringLiteral("SELECT STATUT FROM ENT_ENG WHERE ID_ENG=:ID"), sheet), cancellation);
    frm->close();

    // The other way round: B's cancellation of another sheet in progress,
    // then stored; A's line is refused both times and the sheet keeps its amount.
    const qint64 e3 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("30"));
    const qint64 e4 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("20"));
    const qint64 other = rows::UserSheet({e3}, Money("30"), QDate(2024, 3, 2));
    auto picker = Open("E", other);
    messages->clear();
    BHolds([&] {
        TSheet h;
        h.number = TSheetStore::NextUserNumber(line);
        h.date = QDate(2024, 4, 21);
        h.idOrigine = other;
        qint64 id = 0;
        EXPECT_TRUE(bStores->sheets.InsertCancellation(h, &id));
    });
    Pick(*picker, e4);
    ExpectToldInProgress();
    BCommits();
    Pick(*picker, e4);
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Fiche annulée, modification impossible !")});
    EXPECT_EQ(Lines(picker::Mode::Commitment, other).size(), 1);
    EXPECT_EQ(Total(picker::Mode::Commitment, other), Money("30"));
}

// Two orders saved with one number at once: the second is told while the
// first is in progress, then refused as a number taken.
TEST_F(TwoUsersTest, TwoOrdersNeverTakeOneNumber)
{
    auto frm = std::make_unique<TfrmMandat>();
    frm->show();
    QApplication::setActiveWindow(frm.get());
    const auto save = [&frm](const QString& number) {
        frm->btnAdd->click();
        frm->edNoMdt->setText(number);
        frm->edNature->setText(QStringLiteral("Fournitures"));
        frm->btnPost->click();
    };
    messages->clear();

    BHolds([&] {
        bStores->orders.LockNumbers();
        TOrder o;
        o.number = QStringLiteral("0007");
        bStores->orders.InsertOrder(o);
    });
    save(QStringLiteral("7"));
    ExpectToldInProgress();
    EXPECT_EQ(frm->Mode(), emInsert);
    BCommits();
    frm->btnPost->click();
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Ce N° de mandat existe déjà !")});
    db::Query count(Committed(), QStringLiteral("SELECT COUNT(*) AS N FROM ENT_MDT WHERE NO_MDT='0007'"));
    count.open();
    EXPECT_EQ(count.asInt(QStringLiteral("N")), 1);
}

// A line taken off an order while B adds another: the order's stored total
// always equals its lines.
TEST_F(TwoUsersTest, AnOrdersTotalFollowsBothUsersLines)
{
    DecisionMandate = 0;
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("200"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("75"));
    const qint64 order = NewOrder(QStringLiteral("0301"), QDate(2024, 4, 2));
    Write([&] { orders.AddLine(order, e1, Money("200")); });

    auto frm = std::make_unique<TfrmMandat>();
    frm->IdMdt = order;
    frm->show();
    QApplication::setActiveWindow(frm.get());
    messages->clear();

    BHolds([&] { bStores->Add(picker::Mode::PaymentOrder, order, Checked(e2)); });
    frm->btnDelDet->click();   // the question answered Yes, then the refusal
    ASSERT_EQ(messages->calls().size(), 2) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(messages->calls().last().text.startsWith(InProgress)) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(Lines(picker::Mode::PaymentOrder, order).size(), 1);
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Money("200"));
    messages->clear();

    // Once B's line is stored, A's removal counts it in the total.
    BCommits();
    frm->btnDelDet->click();
    EXPECT_EQ(messages->calls().size(), 1) << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(Lines(picker::Mode::PaymentOrder, order), QStringList{QStringLiteral("1:%1").arg(e2)});
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Money("75"));
}

// Two expenses of one budget line put on two orders at once, each fitting the
// line's credit alone but not both: B's add in progress holds the line, so A is
// told and writes nothing; B's add stored while A answered a question makes
// A's add ask the credit question on the figures as they stand, and the No
// leaves A's order as it was.
TEST_F(TwoUsersTest, TwoAddsNeverBothPassACreditOnlyOneFits)
{
    DecisionMandate = 2;
    rows::PrimitiveSheet(line, Money("1000"));
    const qint64 e1 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("600"));
    const qint64 e2 = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("600"));
    const qint64 orderA = NewOrder(QStringLiteral("0501"), QDate(2024, 4, 2));
    const qint64 orderB = NewOrder(QStringLiteral("0502"), QDate(2024, 4, 2));
    const auto bAdds = [&] {
        BHolds([&] {
            TPickerStore::LockCheckedRows({line}, -1);
            EXPECT_EQ(bStores->Add(picker::Mode::PaymentOrder, orderB, Checked(e1)).outcome,
                      TPickerStore::Outcome::Added);
        });
    };
    auto frm = Open("M", orderA);
    messages->clear();

    bAdds();
    Pick(*frm, e2);
    ASSERT_FALSE(messages->calls().isEmpty());
    EXPECT_TRUE(messages->calls().last().text.startsWith(InProgress)) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, orderA).isEmpty());
    b->Run([&] { held.reset(); });
    messages->clear();

    // B's add stored while A's first question is on screen.
    const MessageResponder recorder = CurrentMessageResponder();
    bool stored = false;
    SetMessageResponder([&](const MessageCall& call) {
        if (!stored) {
            stored = true;
            bAdds();
            BCommits();
        }
        recorder(call);
        return call.text.startsWith(QStringLiteral("Crédit insuffisant")) ? int(mrNo) : int(mrYes);
    });
    Pick(*frm, e2);
    SetMessageResponder(recorder);
    EXPECT_TRUE(stored);
    ASSERT_FALSE(messages->calls().isEmpty());
    EXPECT_TRUE(messages->calls().last().text.startsWith(QStringLiteral("Crédit insuffisant pour mandater !")))
        << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, orderA).isEmpty());
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, orderA), Currency());
    EXPECT_EQ(Lines(picker::Mode::PaymentOrder, orderB), QStringList{QStringLiteral("1:%1").arg(e1)});
}

// The amount an order line takes is the expense's amount as it stands when the
// line is written, the amount the checks passed: a change B stored after A's
// list was read is taken; one in progress, or stored while A answered the
// checks' questions, refuses the line until A adds the expense again.
TEST_F(TwoUsersTest, AnOrderLineTakesTheAmountStoredWhenItIsAdded)
{
    const qint64 order = NewOrder(QStringLiteral("0401"), QDate(2024, 4, 2));
    const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, Money("300"));
    const auto bChangesAmount = [&](const char* amount, bool commit) {
        BHolds([&] {
            std::optional<TExpense> x = bStores->expenses.LockExpense(e);
            ASSERT_TRUE(x);
            x->amount = Money(amount);
            bStores->expenses.UpdateExpense(*x);
        });
        if (commit)
            BCommits();
    };
    DecisionMandate = 0;
    auto frm = Open("M", order);
    messages->clear();

    // B's change in progress: A is told, nothing written.
    bChangesAmount("320", false);
    Pick(*frm, e);
    ExpectToldInProgress();
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, order).isEmpty());
    BCommits();

    // B changes it again and stores it while A answers the checks' first
    // question (more mandated than committed): A's line is refused, the list
    // shows the amount stored.
    DecisionMandate = 2;
    const MessageResponder recorder = CurrentMessageResponder();
    bool changed = false;
    SetMessageResponder([&](const MessageCall& call) {
        if (!changed) {
            changed = true;
            bChangesAmount("1250", true);
        }
        return recorder(call);
    });
    Pick(*frm, e);
    EXPECT_TRUE(changed);
    ASSERT_FALSE(messages->calls().isEmpty());
    EXPECT_TRUE(messages->calls().last().text.startsWith(
        QStringLiteral("Cette dépense a été modifiée par un autre utilisateur : elle n'a pas été ajoutée.")))
        << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(Lines(picker::Mode::PaymentOrder, order).isEmpty());
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Currency());
    const int row = frm->Expenses()->findRow({db::Value(e)});
    ASSERT_GE(row, 0);
    EXPECT_EQ(db::toCurrency(frm->Expenses()->value(row, QStringLiteral("MONTANT"))), Money("1250"));

    // Added again, the checks see 1 250.00, and so do the line and the order's total.
    messages->clear();
    Pick(*frm, e);
    EXPECT_TRUE(messages->texts().first().startsWith(QStringLiteral("Crédit insuffisant pour mandater !")))
        << messages->texts().join(" | ").toStdString();
    EXPECT_EQ(Lines(picker::Mode::PaymentOrder, order), QStringList{QStringLiteral("1:%1").arg(e)});
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM DET_MDT WHERE ID_MDT=:ID"), order), Money("1250"));
    EXPECT_EQ(Total(picker::Mode::PaymentOrder, order), Money("1250"));
    SetMessageResponder(recorder);
}

// Two programs on one year through a server: one expense added to two orders
// at once ends on one order, and the other user reads that the information is
// being changed by another user.
TEST(TwoUsersThroughAServer, OneExpenseGoesOnOneOrderOnly)
{
    TestServer server;
    if (!server.unavailable().isEmpty())
        GTEST_SKIP() << "no Firebird server on this machine: " << server.unavailable().toStdString();
    ASSERT_TRUE(server.started()) << server.error().toStdString();

    // The year, made locally with an expense and two orders, then served.
    QString served;
    picker::Expense expense;
    qint64 first = 0, second = 0;
    {
        YearDb local;
        const qint64 idFnm = rows::BudgetLine(QStringLiteral("22-03"), QStringLiteral("01"), QString(),
                                              QStringLiteral("Fournitures"), Money("1000"));
        expense.idBen = rows::Beneficiary(QStringLiteral("SARL ALPHA"));
        expense.idFnm = idFnm;
        expense.amount = Money("200");
        expense.id = rows::Expense(ExpenseKind::Invoice, idFnm, expense.idBen, expense.amount);
        TOrderStore orders;
        for (qint64* id : {&first, &second}) {
            TOrder o;
            o.number = QString::number(10004 + (id == &second ? 1 : 0));
            Write([&] { *id = orders.InsertOrder(o); });
        }
        delete DM;
        DM = nullptr;
        served = server.folder() + QStringLiteral("KIV_DB_2024.FDB");
        ASSERT_TRUE(QFile::copy(local.path(), served));
    }
    YearDb year({QStringLiteral("2024"), false});
    ServerAddress = server.address();
    DbWorkDir = server.folder();
    DbPath = server.remotePath(served);
    MessageRecorder messages;
    DM = new TDM();
    ASSERT_TRUE(DM->LURDO.isOpen()) << messages.texts().join(" | ").toStdString();
    SecondUser b;

    // A adds it to 10004 and has not committed; B's add to 10005 is refused.
    auto aPicker = std::make_unique<TPickerStore>();
    auto aOrders = std::make_unique<TOrderExpenseLines>();
    std::optional<TWriteGuard> aWrite(std::in_place);
    EXPECT_EQ(aPicker->AddExpense(*aOrders, picker::Mode::PaymentOrder, first, expense).outcome,
              TPickerStore::Outcome::Added);
    std::unique_ptr<TPickerStore> bPicker;
    std::unique_ptr<TOrderExpenseLines> bOrders;
    b.Run([&] {
        bPicker = std::make_unique<TPickerStore>();
        bOrders = std::make_unique<TOrderExpenseLines>();
        try {
            TWriteGuard write;
            bPicker->AddExpense(*bOrders, picker::Mode::PaymentOrder, second, expense);
            ADD_FAILURE() << "B's add went through A's";
        } catch (const db::DbError& e) {
            EXPECT_TRUE(e.isConflict()) << e.message().toStdString();
            EXPECT_TRUE(DatabaseErrorText(e).startsWith(InProgress)) << DatabaseErrorText(e).toStdString();
        }
    });
    aWrite->Commit();
    aWrite.reset();
    // A's order is stored: B's add again is refused as mandated.
    b.Run([&] {
        TWriteGuard write;
        EXPECT_EQ(bPicker->AddExpense(*bOrders, picker::Mode::PaymentOrder, second, expense).outcome,
                  TPickerStore::Outcome::Taken);
        bPicker.reset();
        bOrders.reset();
    });
    EXPECT_EQ(DM->Queries().GetExpenseState(expense.id), ExpenseState::Mandated);
    db::Query lines(DM->LURDO, QStringLiteral("SELECT ID_MDT, COUNT(*) AS N FROM DET_MDT GROUP BY ID_MDT"));
    lines.open();
    ASSERT_EQ(lines.rowCount(), 1);
    EXPECT_EQ(lines.asInt(QStringLiteral("ID_MDT")), first);
    EXPECT_EQ(lines.asInt(QStringLiteral("N")), 1);
    aPicker.reset();
    aOrders.reset();
    EXPECT_TRUE(messages.calls().isEmpty()) << messages.texts().join(" | ").toStdString();
}

// An order deleted from the order listing while it is put on a regularisation
// sheet, and the other way round: the order is either deleted or on the sheet,
// never deleted and paid by the sheet.
TEST_F(TwoUsersTest, AnOrderIsDeletedOrRegularisedNeverBoth)
{
    DecisionMandate = 0;
    const auto orderOfLine = [&](const char* number, const char* amount) {
        const qint64 order = NewOrder(QString::fromLatin1(number), QDate(2024, 4, 2));
        const qint64 e = rows::Expense(ExpenseKind::Invoice, line, supplier, Money(amount));
        Write([&] { orders.AddLine(order, e, Money(amount)); });
        return order;
    };
    const auto regulSheet = [&] {
        TRegulSheet s;
        s.date = QDate(2024, 6, 1);
        qint64 id = 0;
        Write([&] { id = TRegulStore().Insert(s); });
        return id;
    };
    const auto sheetLines = [&](qint64 idEng) {
        return CommittedLines(QStringLiteral("DET_ENG_REG"), QStringLiteral("ID_ENG"), idEng);
    };
    const auto orderExists = [&](qint64 order) {
        return CommittedInt(QStringLiteral("SELECT COUNT(*) FROM ENT_MDT WHERE ID_MDT=:ID"), order) == 1;
    };

    // B's deletion in progress: A's add is told and writes nothing; once the
    // deletion is stored, A's add is refused.
    const qint64 gone = orderOfLine("0601", "200");
    const qint64 sheetA = regulSheet();
    auto picker = std::make_unique<TfrmAddRegul_Mdt>();
    picker->IdFnm = line;
    picker->IdEngReg = sheetA;
    picker->show();
    messages->clear();
    BHolds([&] {
        ASSERT_TRUE(bStores->orders.LockOrder(gone));
        bStores->orders.DeleteOrder(gone);
    });
    RunGuarded([&] { picker->AddOrder(gone); });
    ExpectToldInProgress();
    EXPECT_TRUE(sheetLines(sheetA).isEmpty());
    BCommits();
    EXPECT_FALSE(orderExists(gone));
    RunGuarded([&] { EXPECT_FALSE(picker->AddOrder(gone)); });
    EXPECT_EQ(messages->texts(), QStringList{QStringLiteral("Ce mandat n'existe plus !")});
    EXPECT_TRUE(sheetLines(sheetA).isEmpty());
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG_REG WHERE ID_ENG=:ID"), sheetA), Currency());
    picker.reset();
    messages->clear();

    // B's add in progress: A's deletion from the listing is told and deletes
    // nothing; once the add is stored, the deletion is refused.
    const qint64 kept = orderOfLine("0602", "80");
    const qint64 sheetB = regulSheet();
    auto listing = std::make_unique<TfrmListMdt>();
    listing->show();
    QApplication::setActiveWindow(listing.get());
    BHolds([&] { bStores->regul.AddOrder(sheetB, line, kept); });
    ASSERT_TRUE(listing->Rows()->locate({db::Value(kept)}));
    messages->clear();
    listing->btnDelete->click();
    // The two questions, then the refusal.
    ASSERT_EQ(messages->calls().size(), 3) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(messages->calls().last().text.startsWith(InProgress)) << messages->texts().join(" | ").toStdString();
    EXPECT_TRUE(orderExists(kept));
    messages->clear();
    BCommits();
    ASSERT_TRUE(listing->Rows()->locate({db::Value(kept)}));
    listing->btnDelete->click();
    EXPECT_EQ(messages->texts(),
              QStringList{QStringLiteral("Ce mandat figure sur une fiche de régularisation !\rSuppression impossible.")});
    EXPECT_TRUE(orderExists(kept));
    EXPECT_EQ(sheetLines(sheetB), QStringList{QStringLiteral("1:%1").arg(kept)});
    EXPECT_EQ(CommittedMoney(QStringLiteral("SELECT MONTANT FROM ENT_ENG_REG WHERE ID_ENG=:ID"), sheetB), Money("80"));
}
