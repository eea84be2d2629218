// The invoice window on a fresh year database, driven through its controls.
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Routines.h"
#include "ui/UCalendar.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "shell/UKivMain.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "common/MessageRecorder.h"
#include "common/PickerDriver.h"
#include "common/ProgramFolder.h"
#include "common/EventLoopWatch.h"
#include "common/YearDb.h"
#include "controls/NumEdit.h"
#include "expenditure/UFact.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <ostream>
#include <optional>

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using Params = std::initializer_list<std::pair<const char*, db::Value>>;

void Sql(const QString& sql, Params params = {})
{
    db::Query q(DM->LURDO, sql);
    for (const auto& [name, value] : params)
        q.setParam(QString::fromLatin1(name), value);
    q.exec();
}

qint64 Scalar(const QString& sql, Params params = {})
{
    db::Query q(DM->LURDO, sql);
    for (const auto& [name, value] : params)
        q.setParam(QString::fromLatin1(name), value);
    q.open();
    return q.isEmpty() ? -1 : db::toInt(q.at(0, 0));
}

Currency Money(const char* text) { return *Currency::parse(QString::fromLatin1(text)); }

// Runs `fn` on the next modal window of type T once it is shown; any other
// window (or none) is closed so that the test never hangs.
template <typename T>
void OnModal(std::function<void(T*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* w = qobject_cast<T*>(modal)) {
            fn(w);
            return;
        }
        ADD_FAILURE() << "expected modal window not shown";
        if (modal)
            modal->close();
    });
}

void DoubleClick(QWidget* w)
{
    QMouseEvent ev(QEvent::MouseButtonDblClick, QPointF(4, 4), w->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                   Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

void Key(QWidget* w, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

class FactTest : public YearDbTest {
protected:
    void SetUp() override
    {
        YearDbTest::SetUp();
        CurrentUserCode = QStringLiteral("TESTEUR");
        PanelColorActive = QColor(253, 245, 200);
        PanelColorInactive = QColor(212, 208, 200);
        EditColorActive = QColor(255, 255, 255);
        EditColorInactive = QColor(230, 230, 230);
        TfrmListBenef::ResetTypeAhead();
        supplierA = AddBeneficiary("SARL ALPHA", BeneficiaryType::Supplier);
        supplierB = AddBeneficiary("EURL BETA", BeneficiaryType::Supplier);
        line = AddBudgetLine("21-03", "01", "", "Fournitures de bureau");
        DM->CommitWork();
    }

    static qint64 AddBeneficiary(const char* name, BeneficiaryType type)
    {
        Sql(QStringLiteral("INSERT INTO BENEF (TYPE_BEN, NOM, ID_BANQUE) VALUES (:T, :N, 1)"),
            {{"T", toDbValue(type)}, {"N", QString::fromLatin1(name)}});
        return Scalar(QStringLiteral("SELECT MAX(ID_BEN) FROM BENEF"));
    }

    static qint64 AddBudgetLine(const char* chap, const char* art, const char* par, const char* title)
    {
        Sql(QStringLiteral("INSERT INTO FNM (CHAP, ART, PAR, INTITULE, SECTION, SOUMIS_CHARGE, RECTORAT) VALUES (:C, :A, :P, :I, 1, 0, -1)"),
            {{"C", QString::fromLatin1(chap)}, {"A", QString::fromLatin1(art)}, {"P", QString::fromLatin1(par)},
             {"I", QString::fromLatin1(title)}});
        return Scalar(QStringLiteral("SELECT MAX(ID_FNM) FROM FNM"));
    }

    // An expense written directly (committed), its key drawn from the generator.
    qint64 AddExpense(const QString& number, const QDate& date, qint64 idBen, const char* amount,
                      ExpenseKind kind = ExpenseKind::Invoice)
    {
        const qint64 id = DM->NextGeneratorValue(QStringLiteral("GEN_DEPENSE_ID"));
        Sql(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, NO_DEPENSE, DATE_DEPENSE, TYPE_DEPENSE, ID_BEN, OBJET, "
                           "ID_FNM, MONTANT) VALUES (:ID, :NO, :D, :K, :B, 'objet', :F, :M)"),
            {{"ID", id}, {"NO", number}, {"D", date}, {"K", toDbValue(kind)}, {"B", idBen},
             {"F", line}, {"M", Money(amount)}});
        DM->CommitWork();
        return id;
    }

    struct Stored {
        QString number;
        QDate date;
        qint64 idBen = 0, idFnm = 0;
        Currency amount;
        QString objet, user;
        ExpenseKind kind = ExpenseKind::Invoice;
    };
    static std::optional<Stored> Expense(qint64 id)
    {
        db::Query q(DM->LURDO, QStringLiteral("SELECT * FROM DEPENSE WHERE ID_DEPENSE=:ID"));
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        if (q.isEmpty())
            return std::nullopt;
        return Stored{q.asString("NO_DEPENSE"), q.asDate("DATE_DEPENSE"), q.asInt("ID_BEN"), q.asInt("ID_FNM"),
                      q.asCurrency("MONTANT"),   q.asString("OBJET"),       q.asString("ID_USER"),
                      fromDb<ExpenseKind>(q.asInt("TYPE_DEPENSE"))};
    }
    static qint64 ExpenseCount() { return Scalar(QStringLiteral("SELECT COUNT(*) FROM DEPENSE")); }

    std::unique_ptr<TfrmFact> Open(int idDepense = -1)
    {
        auto w = std::make_unique<TfrmFact>();
        w->IdDepense = idDepense;
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }

    static void PickSupplier(TfrmFact& w, qint64 id)
    {
        OnModal<TfrmListBenef>([id](TfrmListBenef* p) { ChooseRow(p, QStringLiteral("ID_BEN"), id); });
        w.btnGetFour->click();
    }
    static void PickBudgetLine(TfrmFact& w, qint64 id)
    {
        OnModal<TfrmListFNM>([id](TfrmListFNM* p) { ChooseRow(p, QStringLiteral("ID_FNM"), id); });
        w.btnGetImp->click();
    }

    // A new invoice typed into the window (not saved).
    struct Entry {
        QString number = QStringLiteral("F-001");
        QString date = QStringLiteral("15/03/2024");
        QString amount = QStringLiteral("1 500.00");
        std::optional<qint64> supplier;   // the picker is used when set
        bool pickLine = true;
        QString objet = QStringLiteral("Ramettes de papier");
    };
    void TypeNew(TfrmFact& w, const Entry& e)
    {
        w.btnAdd->click();
        ASSERT_EQ(w.Mode(), emInsert);
        w.edNoFact->setText(e.number);
        w.edDFact->setText(e.date);
        w.edMontant->setText(e.amount);
        if (e.supplier)
            PickSupplier(w, *e.supplier);
        if (e.pickLine)
            PickBudgetLine(w, line);
        w.edObjet->setText(e.objet);
    }

    qint64 supplierA = 0, supplierB = 0, line = 0;
};

// ---------------------------------------------------------------------------

TEST_F(FactTest, SavesANewInvoiceTypedThroughTheControlsAndPickers)
{
    auto w = Open();
    w->btnAdd->click();
    w->edNoFact->setText(QStringLiteral("  FA/2024/17  "));
    w->edDFact->setText(QStringLiteral("02/04/2024"));
    w->edMontant->setFocus();
    w->edMontant->selectAll();
    for (QChar c : QStringLiteral("1234567.5"))
        Key(w->edMontant, c == u'.' ? Qt::Key_Period : Qt::Key_0 + c.digitValue(), QString(c));
    PickSupplier(*w, supplierB);
    EXPECT_EQ(w->edFour->text(), QString::number(supplierB));
    EXPECT_EQ(w->lFour->text(), QStringLiteral("EURL BETA"));
    PickBudgetLine(*w, line);
    EXPECT_EQ(w->edChap->text(), QStringLiteral("21-03"));
    EXPECT_EQ(w->edArt->text(), QStringLiteral("01"));
    EXPECT_EQ(w->lInt->text(), QStringLiteral("Fournitures de bureau"));
    w->edObjet->setText(QStringLiteral(" Toner "));

    MessageRecorder messages;
    w->btnPost->click();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(" | ").toStdString();
    ASSERT_EQ(w->Mode(), emBrowse);

    const auto s = Expense(w->IdDepense);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->number, QStringLiteral("FA/2024/17"));
    EXPECT_EQ(s->date, QDate(2024, 4, 2));
    EXPECT_EQ(s->kind, ExpenseKind::Invoice);
    EXPECT_EQ(s->idBen, supplierB);
    EXPECT_EQ(s->idFnm, line);
    EXPECT_EQ(s->amount, Money("1234567.50"));
    EXPECT_EQ(s->objet, QStringLiteral("Toner"));
    EXPECT_EQ(s->user, QStringLiteral("TESTEUR"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT REMBOURS FROM DEPENSE WHERE ID_DEPENSE=:ID"), {{"ID", qint64(w->IdDepense)}}), 0);
    // The key comes from the generator, and the window shows the saved row.
    EXPECT_EQ(w->IdDepense, Scalar(QStringLiteral("SELECT GEN_ID(GEN_DEPENSE_ID, 0) FROM RDB$DATABASE")));
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("FA/2024/17"));
    EXPECT_EQ(w->lCA->text(), QStringLiteral("1 234 567.50"));
}

// Each refusal shows its message alone, puts the focus where it says, stores
// nothing and leaves the entry as typed in insert mode.
TEST_F(FactTest, SaveChecksRunInOrderAndRefuseWithoutStoring)
{
    struct Case {
        const char* name;
        std::function<void(Entry&)> change;
        QStringList expected;      // messages in order
        QList<int> answers;        // answers to questions
        const char* focus;         // object name of the focused control
        bool stored;
    };
    const QString year = QStringLiteral("La date Facture ne correspond pas à l'exercice en cours ! \rVoulez-vous continuer ?");
    const QString amount = QStringLiteral("Le Montant de la Facture est incorrect !");
    const std::vector<Case> cases = {
        {"number blank", [](Entry& e) { e.number = "   "; e.date.clear(); },
         {"Le N° de Facture est manquant !"}, {}, "edNoFact", false},
        {"date missing", [](Entry& e) { e.date.clear(); e.amount = "0.00"; },
         {"La Date Facture est manquante !"}, {}, "edDFact", false},
        {"date not a date", [](Entry& e) { e.date = "31/02/2024"; }, {"La Date Facture est incorrecte !"}, {},
         "edDFact", false},
        {"other year refused", [](Entry& e) { e.date = "31/12/2023"; }, {year}, {mrNo}, "edDFact", false},
        {"amount zero", [](Entry& e) { e.amount = "0.00"; e.supplier.reset(); }, {amount}, {}, "edMontant", false},
        {"amount negative", [](Entry& e) { e.amount = "-10.00"; }, {amount}, {}, "edMontant", false},
        {"amount beyond the column", [](Entry& e) { e.amount = "10 000 000 000 000.00"; }, {amount}, {},
         "edMontant", false},
        {"supplier missing", [](Entry& e) { e.supplier.reset(); e.pickLine = false; },
         {"Le fournisseur est manquant !"}, {}, "edFour", false},
        {"budget line missing", [](Entry& e) { e.pickLine = false; }, {"L'Imputation est manquante !"}, {},
         "edChap", false},
        {"other year accepted", [](Entry& e) { e.date = "02/01/2025"; }, {year}, {mrYes}, nullptr, true},
    };
    auto w = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Entry e;
        e.supplier = supplierA;
        c.change(e);
        TypeNew(*w, e);
        const qint64 before = ExpenseCount();
        MessageRecorder messages;
        for (int a : c.answers)
            messages.answer(a);
        w->btnPost->click();
        EXPECT_EQ(messages.texts(), c.expected);
        EXPECT_EQ(ExpenseCount(), before + (c.stored ? 1 : 0));
        if (c.stored) {
            EXPECT_EQ(w->Mode(), emBrowse);
            continue;
        }
        EXPECT_EQ(w->Mode(), emInsert);
        ASSERT_TRUE(w->focusWidget());
        EXPECT_EQ(w->focusWidget()->objectName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(w->edDFact->text(), e.date);
        messages.answer(mrYes);   // cancel the entry
        w->btnCancel->click();
        EXPECT_EQ(w->Mode(), emBrowse);
    }
}

// The number is unique per beneficiary over expenses of every kind; the
// question lets the user go on.
TEST_F(FactTest, InvoiceNumberUniquePerSupplier)
{
    const qint64 invoice = AddExpense(QStringLiteral("F-100"), QDate(2024, 2, 1), supplierA, "100.00");
    AddExpense(QStringLiteral("M-5"), QDate(2024, 2, 2), supplierA, "50.00", ExpenseKind::Mission);
    const QString question = QStringLiteral("Ce N° de Facture a déjà été saisi pour ce fournisseur !\rContinuer tout de même ?");
    struct Case {
        const char* name;
        bool edit;            // edit the invoice F-100 instead of a new one
        const char* number;
        qint64 supplier;
        std::optional<int> answer;   // the question is expected when set
        bool saved;
    };
    const std::vector<Case> cases = {
        {"edit keeping its own number", true, "F-100", supplierA, std::nullopt, true},
        {"edit to the number of another expense", true, "M-5", supplierA, mrNo, false},
        {"same number, other supplier", false, "F-100", supplierB, std::nullopt, true},
        {"same number, same supplier, No", false, "F-100", supplierA, mrNo, false},
        {"number of a mission of the supplier", false, "M-5", supplierA, mrNo, false},
        {"differs only by case", false, "f-100", supplierA, std::nullopt, true},
        {"same number, same supplier, Yes", false, "F-100", supplierA, mrYes, true},
        // Now that two expenses of the supplier carry it, editing one asks too.
        {"edit keeping a number another expense carries", true, "F-100", supplierA, mrYes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto w = Open(int(invoice));
        const qint64 before = ExpenseCount();
        if (c.edit) {
            w->btnModif->click();
            w->edNoFact->setText(QString::fromLatin1(c.number));
        } else {
            Entry e;
            e.number = QString::fromLatin1(c.number);
            e.supplier = c.supplier;
            TypeNew(*w, e);
        }
        MessageRecorder messages;
        if (c.answer)
            messages.answer(*c.answer);
        w->btnPost->click();
        EXPECT_EQ(messages.texts(), c.answer ? QStringList{question} : QStringList{});
        EXPECT_EQ(w->Mode(), c.saved ? emBrowse : (c.edit ? emEdit : emInsert));
        EXPECT_EQ(ExpenseCount(), before + (c.saved && !c.edit ? 1 : 0));
        if (!c.saved) {
            EXPECT_EQ(w->focusWidget(), w->edNoFact);
        }
        EXPECT_EQ(Expense(invoice)->number, c.edit && c.saved ? QString::fromLatin1(c.number) : QStringLiteral("F-100"));
        messages.answer(mrNo);   // leave without saving what is left
        w->close();
    }
}

// Free invoices can be changed and deleted; committed or mandated ones keep
// their amount and budget line and cannot be deleted; nor can one that stands
// on a cancelled sheet.
TEST_F(FactTest, StateRulesForChangeAndDelete)
{
    enum Setup { None, Committed, CancelledSheet, Mandated, Both, BudgetSheetSameId };
    struct Case {
        const char* name;
        Setup setup;
        ExpenseState state;
        const char* deleteMessage;   // nullptr: the deletion question, answered Yes
        const char* sheet;
        const char* order;
    };
    const std::vector<Case> cases = {
        {"free", None, ExpenseState::Free, nullptr, "", ""},
        {"committed", Committed, ExpenseState::Committed, "Cette Facture est déjà Engagée !\rSuppression Impossible.",
         "0002", ""},
        // Free to change, but never deleted while a sheet holds it, cancelled or not.
        {"on a cancelled sheet", CancelledSheet, ExpenseState::Free, "Cette Facture est déjà Engagée !\rSuppression Impossible.",
         "0002", ""},
        {"mandated", Mandated, ExpenseState::Mandated, "Cette Facture est déjà mandatée !\rSuppression Impossible.", "",
         "0007"},
        {"both", Both, ExpenseState::CommittedAndMandated,
         "Cette Facture est déjà Engagée et mandatée!\rSuppression Impossible.", "0002", "0007"},
        // A budget sheet's line points to a budget line whose id is the expense's.
        {"free beside a budget sheet", BudgetSheetSameId, ExpenseState::Free, nullptr, "", ""},
    };
    const QString locked = QStringLiteral("Cette facture est engagée et/ou mandatée !\r"
                                          "Certaines informations ne peuvent être modifiées.");
    qint64 sheetId = 100, orderId = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++sheetId;
        ++orderId;
        const QString number = QStringLiteral("F-%1").arg(sheetId);
        const qint64 id = AddExpense(number, QDate(2024, 5, 1), supplierA, "700.00");
        if (c.setup == Committed || c.setup == CancelledSheet || c.setup == Both) {
            Sql(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                               "ID_ORIGINE) VALUES (:ID, '0002', '2024-05-02', :F, 700, :OBJET, :ORIGINE, :IDO)"),
                {{"ID", sheetId}, {"F", line}, {"OBJET", toDbValue(SheetObject::Expense)},
                 {"ORIGINE", toDbValue(SheetOrigin::User)}, {"IDO", NoOriginRecord}});
            Sql(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                               "VALUES (:ID, 1, :OBJET, :D, 700)"),
                {{"ID", sheetId}, {"OBJET", toDbValue(LineObject::Expense)}, {"D", id}});
        }
        if (c.setup == BudgetSheetSameId) {
            Sql(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                               "ID_ORIGINE) VALUES (:ID, '0001', '2024-01-02', :F, 9000, :OBJET, :ORIGINE, :F)"),
                {{"ID", sheetId}, {"F", id}, {"OBJET", toDbValue(SheetObject::Economy)},
                 {"ORIGINE", toDbValue(SheetOrigin::PrimitiveBudget)}});
            Sql(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) "
                               "VALUES (:ID, 1, :OBJET, :D, 9000)"),
                {{"ID", sheetId}, {"OBJET", toDbValue(LineObject::PrimitiveBudget)}, {"D", id}});
        }
        if (c.setup == CancelledSheet)
            Sql(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                               "ID_ORIGINE) VALUES (:ID, '0003', '2024-05-03', :F, 700, :OBJET, :ORIGINE, :O)"),
                {{"ID", sheetId + 1000}, {"F", line}, {"OBJET", toDbValue(SheetObject::Economy)},
                 {"ORIGINE", toDbValue(SheetOrigin::Cancellation)}, {"O", sheetId}});
        if (c.setup == Mandated || c.setup == Both) {
            Sql(QStringLiteral("INSERT INTO ENT_MDT (ID_MDT, NO_MDT, DATE_MDT, STATUT, MONTANT) "
                               "VALUES (:ID, '0007', '2024-05-04', :S, 700)"),
                {{"ID", orderId}, {"S", toDbValue(OrderStatus::Paid)}});
            Sql(QStringLiteral("INSERT INTO DET_MDT (ID_MDT, NOLINE, ID_DETAIL, MONTANT) VALUES (:ID, 1, :D, 700)"),
                {{"ID", orderId}, {"D", id}});
        }
        DM->CommitWork();
        DM->Queries().RefreshMandatedSnapshot();

        auto w = Open(int(id));
        EXPECT_EQ(w->ExpenseState(), c.state);
        EXPECT_EQ(w->lNoEng->text(), QString::fromLatin1(c.sheet));
        EXPECT_EQ(w->lNoMdt->text(), QString::fromLatin1(c.order));

        // Change: number, date, supplier and object always; amount and budget
        // line only when free.
        MessageRecorder messages;
        w->btnModif->click();
        const bool free = c.state == ExpenseState::Free;
        EXPECT_EQ(messages.texts(), free ? QStringList{} : QStringList{locked});
        EXPECT_EQ(w->edMontant->isEnabled(), free);
        EXPECT_EQ(w->btnGetImp->isEnabled(), free);
        w->edNoFact->setText(number + QStringLiteral("b"));
        if (free)
            w->edMontant->setText(QStringLiteral("710.00"));
        messages.clear();
        w->btnPost->click();
        EXPECT_EQ(w->Mode(), emBrowse);
        EXPECT_TRUE(messages.texts().isEmpty());
        EXPECT_EQ(Expense(id)->number, number + QStringLiteral("b"));
        EXPECT_EQ(Expense(id)->amount, Money(free ? "710.00" : "700.00"));

        // Delete.
        messages.clear();
        w->btnDelete->click();
        if (c.deleteMessage) {
            EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8(c.deleteMessage)});
            EXPECT_TRUE(Expense(id));
        } else {
            EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette facture ?")});
            EXPECT_FALSE(Expense(id));
        }
        w->close();
    }
}

// An invoice that a sheet took while it was being changed keeps its amount
// and budget line: the state is read again inside the saving transaction, the
// save writes nothing and puts the stored values back, locked; saved again, the
// rest of the entry goes through.
TEST_F(FactTest, AnInvoiceCommittedWhileBeingChangedKeepsItsAmount)
{
    const qint64 id = AddExpense(QStringLiteral("F-9"), QDate(2024, 5, 1), supplierA, "700.00");
    const qint64 other = AddBudgetLine("21-03", "02", "", "Consommables");
    DM->CommitWork();
    auto w = Open(int(id));
    MessageRecorder messages;
    w->btnModif->click();
    ASSERT_TRUE(w->edMontant->isEnabled());
    w->edNoFact->setText(QStringLiteral("F-9b"));
    w->edMontant->setText(QStringLiteral("710.00"));
    PickBudgetLine(*w, other);
    ASSERT_EQ(w->ChosenBudgetLine(), other);

    // Another user commits it meanwhile.
    Sql(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, ID_ORIGINE) "
                       "VALUES (77, '0002', '2024-05-02', :F, 700, 0, '', -1)"),
        {{"F", line}});
    Sql(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (77, 1, 0, :D, 700)"),
        {{"D", id}});
    DM->CommitWork();

    messages.clear();
    w->btnPost->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Cette facture est engagée et/ou mandatée !\r"
                                                           "Certaines informations ne peuvent être modifiées.")});
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(Expense(id)->number, QStringLiteral("F-9"));
    EXPECT_EQ(Expense(id)->amount, Money("700.00"));
    EXPECT_EQ(Expense(id)->idFnm, line);
    EXPECT_EQ(w->edMontant->AsCurrency(), Money("700.00"));
    EXPECT_FALSE(w->edMontant->isEnabled());
    EXPECT_FALSE(w->btnGetImp->isEnabled());
    EXPECT_EQ(w->ChosenBudgetLine(), line);
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-9b"));

    messages.clear();
    w->btnPost->click();
    EXPECT_EQ(w->Mode(), emBrowse) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(Expense(id)->number, QStringLiteral("F-9b"));
    EXPECT_EQ(Expense(id)->amount, Money("700.00"));
    EXPECT_EQ(Expense(id)->idFnm, line);
}

// Modes, button table, menu items, status panel, entry panel, Esc and the
// unsaved-changes question.
TEST_F(FactTest, ModePatternFollowsTheEditorModes)
{
    auto w = Open();
    auto enabled = [&w] {
        return QList<bool>{w->btnAdd->isEnabled(),   w->btnModif->isEnabled(),  w->btnDelete->isEnabled(),
                           w->btnPost->isEnabled(),  w->btnCancel->isEnabled(), w->btnFind->isEnabled(),
                           w->MyNavigator->isEnabled(), w->pnlMain->isEnabled(), w->btnGetDate->isEnabled(),
                           w->btnGetImp->isEnabled(), w->btnGetFour->isEnabled()};
    };
    auto menu = [&w] {
        return QList<bool>{w->mnAdd->isEnabled(), w->mnModif->isEnabled(), w->mnDelete->isEnabled(),
                           w->mnPost->isEnabled(), w->mnCancel->isEnabled(), w->mnFind->isEnabled()};
    };
    // An empty year: nothing to modify, delete or search for.
    EXPECT_EQ(w->stBar->Panel(0), QStringLiteral("Exercice "));
    EXPECT_EQ(w->stBar->Panel(1), QStringLiteral("2024"));
    EXPECT_EQ(w->stBar->Panel(4), QStringLiteral("Affichage"));
    EXPECT_EQ(w->lCA->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(w->edNoFact->text().isEmpty());
    EXPECT_EQ(enabled(), (QList<bool>{true, false, false, false, false, false, true, false, false, false, false}));
    EXPECT_EQ(menu(), (QList<bool>{true, false, false, false, false, false}));

    w->btnAdd->click();
    EXPECT_EQ(w->stBar->Panel(4), QStringLiteral("Insertion"));
    EXPECT_EQ(enabled(), (QList<bool>{false, false, false, true, true, false, false, true, true, true, true}));
    EXPECT_EQ(menu(), (QList<bool>{false, false, false, true, true, false}));
    EXPECT_EQ(w->pnlMain->palette().color(QPalette::Window), PanelColorActive);
    EXPECT_EQ(w->edNoFact->palette().color(QPalette::Base), EditColorActive);

    // Esc cancels after the question; No keeps the entry.
    MessageRecorder messages;
    const QString cancelQuestion = QStringLiteral("Etes-vous sûr de vouloir annuler les modifications ?");
    w->edNoFact->setText(QStringLiteral("F-9"));
    messages.answer(mrNo);
    Key(w->edNoFact, Qt::Key_Escape);
    EXPECT_EQ(messages.texts(), QStringList{cancelQuestion});
    EXPECT_EQ(w->Mode(), emInsert);
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-9"));
    messages.answer(mrYes);
    Key(w->edNoFact, Qt::Key_Escape);
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(w->pnlMain->palette().color(QPalette::Window), PanelColorInactive);
    EXPECT_EQ(w->edNoFact->palette().color(QPalette::Base), EditColorInactive);
    EXPECT_TRUE(w->edNoFact->text().isEmpty());

    // Closing with unsaved changes: Cancel stays, Yes saves and stays, No closes.
    Entry e;
    e.supplier = supplierA;
    TypeNew(*w, e);
    messages.clear();
    messages.answer(mrCancel);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(messages.texts(), QStringList{TExpenseEditor::UnsavedQuestion});
    EXPECT_EQ(messages.calls().value(0).type, int(mtWarning));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Mode(), emInsert);
    messages.answer(mrYes);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(ExpenseCount(), 1);
    EXPECT_EQ(enabled(), (QList<bool>{true, true, true, false, false, true, true, false, false, false, false}));

    w->btnModif->click();
    EXPECT_EQ(w->stBar->Panel(4), QStringLiteral("Edition"));
    w->edObjet->setText(QStringLiteral("changed"));
    messages.clear();
    messages.answer(mrNo);
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Expense(w->IdDepense)->objet, e.objet);

    // Esc in browse mode closes without a question.
    auto w2 = Open();
    messages.clear();
    Key(w2->btnAdd, Qt::Key_Escape);
    EXPECT_FALSE(w2->isVisible());
    EXPECT_TRUE(messages.texts().isEmpty());
}

// A write that fails in the database is rolled back whole: nothing of it is
// stored, not even by a later commit, and the entry stays on screen.
TEST_F(FactTest, FailedWriteLeavesTheDatabaseAsItWas)
{
    const qint64 id = AddExpense(QStringLiteral("F-1"), QDate(2024, 6, 1), supplierA, "10.00");
    DM->LURDO.execute(QStringLiteral("CREATE EXCEPTION E_REFUSED 'refused by the test'"));
    DM->CommitWork();
    DM->LURDO.execute(QStringLiteral("CREATE TRIGGER T_REFUSE FOR DEPENSE BEFORE INSERT OR UPDATE AS BEGIN "
                                     "IF (NEW.OBJET = 'BOOM') THEN EXCEPTION E_REFUSED; END"));
    DM->CommitWork();

    auto w = Open(int(id));
    MessageRecorder messages;
    w->btnModif->click();
    w->edNoFact->setText(QStringLiteral("F-2"));
    w->edObjet->setText(QStringLiteral("BOOM"));
    w->btnPost->click();
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls()[0].standard);
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("refused by the test")));
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-2"));
    DM->CommitWork();
    EXPECT_EQ(Expense(id)->number, QStringLiteral("F-1"));

    // The shared save: several rows in one operation, the last one failing.
    const qint64 before = ExpenseCount();
    const qint64 key = DM->NextGeneratorValue(QStringLiteral("GEN_DEPENSE_ID"));
    const bool ok = RunGuarded([&] {
        TWriteGuard write;
        Sql(QStringLiteral("UPDATE DEPENSE SET NO_DEPENSE='CHANGED' WHERE ID_DEPENSE=:ID"), {{"ID", id}});
        Sql(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, NO_DEPENSE) "
                           "VALUES (:ID, :K, :B, 'X')"),
            {{"ID", key}, {"K", toDbValue(ExpenseKind::Invoice)}, {"B", supplierA}});
        Sql(QStringLiteral("INSERT INTO DEPENSE (ID_DEPENSE, TYPE_DEPENSE, ID_BEN, NO_DEPENSE) "
                           "VALUES (:ID, :K, :B, 'Y')"),
            {{"ID", key}, {"K", toDbValue(ExpenseKind::Invoice)}, {"B", supplierA}});   // duplicate key
        write.Commit();
    });
    EXPECT_FALSE(ok);
    DM->CommitWork();
    EXPECT_EQ(ExpenseCount(), before);
    EXPECT_EQ(Expense(id)->number, QStringLiteral("F-1"));
}

// Opening on the last invoice in date order or on a given one, moving,
// searching, and the supplier's total.
TEST_F(FactTest, BrowsesSearchesAndTotalsBySupplier)
{
    const qint64 march = AddExpense(QStringLiteral("F-MAR"), QDate(2024, 3, 1), supplierA, "100.00");
    const qint64 june = AddExpense(QStringLiteral("F-JUN"), QDate(2024, 6, 1), supplierA, "250.50");
    const qint64 jan = AddExpense(QStringLiteral("F-JAN"), QDate(2024, 1, 1), supplierB, "1 000.00");
    // A mission: not browsed, not totalled.
    AddExpense(QStringLiteral("M-1"), QDate(2024, 12, 1), supplierA, "9.00", ExpenseKind::Mission);

    auto w = Open();
    EXPECT_EQ(w->IdDepense, june);
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-JUN"));
    EXPECT_EQ(w->edDFact->text(), QStringLiteral("01/06/2024"));
    EXPECT_EQ(w->edMontant->text(), QStringLiteral("250.50"));
    EXPECT_EQ(w->lFour->text(), QStringLiteral("SARL ALPHA"));
    EXPECT_EQ(w->edChap->text(), QStringLiteral("21-03"));
    EXPECT_EQ(w->lCA->text(), QStringLiteral("350.50"));
    EXPECT_FALSE(w->MyNavigator->btnNext->isEnabled());
    w->MyNavigator->btnPrior->click();
    EXPECT_EQ(w->IdDepense, march);
    w->MyNavigator->btnFirst->click();
    EXPECT_EQ(w->IdDepense, jan);
    EXPECT_EQ(w->lCA->text(), QStringLiteral("1 000.00"));

    auto find = [&w](const QString& text) {
        OnModal<QInputDialog>([text](QInputDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Rechercher une Facture"));
            EXPECT_EQ(d->labelText(), QStringLiteral("Tapez le No de la dépense : "));
            d->setTextValue(text);
            d->accept();
        });
        w->btnFind->click();
    };
    MessageRecorder messages;
    find(QStringLiteral("F-MAR"));
    EXPECT_EQ(w->IdDepense, march);
    find(QStringLiteral("f-jun"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("f-jun : Cette facture est introuvable ! ")});
    EXPECT_EQ(w->IdDepense, march);
    w->close();

    auto w2 = Open(int(march));
    EXPECT_EQ(w2->edNoFact->text(), QStringLiteral("F-MAR"));
}

// The calendar fills a date field; the double click asks before replacing
// another date.
TEST_F(FactTest, DateFieldTakesTheCalendarDate)
{
    struct Case {
        const char* name;
        bool doubleClick;
        const char* before;
        std::optional<QDate> picked;      // nullopt: the calendar is cancelled
        std::optional<int> replaceAnswer; // the question is expected when set
        const char* after;
    };
    const std::vector<Case> cases = {
        {"button on an empty field", false, "", QDate(2024, 7, 14), std::nullopt, "14/07/2024"},
        {"button replaces without asking", false, "01/01/2024", QDate(2024, 7, 14), std::nullopt, "14/07/2024"},
        {"double click, empty field", true, "", QDate(2024, 7, 14), std::nullopt, "14/07/2024"},
        {"double click, same date", true, "14/07/2024", QDate(2024, 7, 14), std::nullopt, "14/07/2024"},
        {"double click, other date, Yes", true, "01/01/2024", QDate(2024, 7, 14), mrYes, "14/07/2024"},
        {"double click, other date, No", true, "01/01/2024", QDate(2024, 7, 14), mrNo, "01/01/2024"},
        {"double click, calendar cancelled", true, "01/01/2024", std::nullopt, std::nullopt, "01/01/2024"},
    };
    auto w = Open();
    w->btnAdd->click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w->edDFact->setText(QString::fromLatin1(c.before));
        const std::optional<QDate> picked = c.picked;
        OnModal<TfrmCalendar>([picked](TfrmCalendar* cal) {
            EXPECT_EQ(cal->myCalend->selectedDate(), DefaultDate());
            if (picked) {
                cal->myCalend->setSelectedDate(*picked);
                cal->btnOk->click();
            } else {
                cal->btnCancel->click();
            }
        });
        MessageRecorder messages;
        if (c.replaceAnswer)
            messages.answer(*c.replaceAnswer);
        if (c.doubleClick)
            DoubleClick(w->edDFact);
        else
            w->btnGetDate->click();
        EXPECT_EQ(messages.texts(), c.replaceAnswer ? QStringList{QStringLiteral("Remplacer 01/01/2024  par  14/07/2024 ?")}
                                                    : QStringList{});
        EXPECT_EQ(w->edDFact->text(), QString::fromLatin1(c.after));
    }
}

// Without the write right the window only shows: its write controls are off
// and its write handlers refuse.
TEST_F(FactTest, ReadOnlyUserCannotWrite)
{
    const qint64 id = AddExpense(QStringLiteral("F-1"), QDate(2024, 6, 1), supplierA, "10.00");
    Sql(QStringLiteral("INSERT INTO T_SECUR (ID_USER, OBJECT_TYPE, OBJECT_NAME, OBJECT_DESC, TYPE_ACCES, TV_LEVEL, "
                       "NB_CHILD) VALUES (:U, 0, 'MNFACTURES', 'Factures', 1, 2, 0)"),
        {{"U", qint64(CurrentUserId)}});
    DM->CommitWork();
    auto w = Open(int(id));
    EXPECT_FALSE(w->btnAdd->isEnabled());
    EXPECT_FALSE(w->btnModif->isEnabled());
    EXPECT_FALSE(w->btnDelete->isEnabled());
    EXPECT_TRUE(w->btnFind->isEnabled());
    MessageRecorder messages;
    RunGuarded([&] { w->btnDeleteClick(); });
    RunGuarded([&] { w->btnAddClick(); });
    EXPECT_EQ(messages.texts(), QStringList(2, QStringLiteral("Alerte de sécurité : Ecriture non autorisée !")));
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_TRUE(Expense(id));
}

// The popup menu's shortcuts and the window's own keys act only where their
// button would; Enter moves nowhere and presses no button.
TEST_F(FactTest, KeysFollowTheirButtons)
{
    auto w = Open();
    MessageRecorder messages;
    auto modalAfter = [&w](const std::function<void()>& press) {
        QString opened;
        QTimer::singleShot(0, [&opened, &w] {
            QWidget* m = QApplication::activeModalWidget();
            if (m && m != w.get()) {
                opened = QString::fromLatin1(m->metaObject()->className());
                m->close();
            }
        });
        QApplication::setActiveWindow(w.get());
        press();
        QCoreApplication::processEvents();   // a timer left unfired when nothing opened
        return opened;
    };
    // Browse: no save, no picker.
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(modalAfter([&] { QTest::keyClick(w.get(), Qt::Key_I, Qt::ControlModifier); }), QString());
    EXPECT_EQ(modalAfter([&] { QTest::keyClick(w.get(), Qt::Key_F, Qt::ControlModifier); }), QString());
    EXPECT_TRUE(messages.texts().isEmpty());

    w->btnAdd->click();
    QTest::keyClick(w->edNoFact, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Le N° de Facture est manquant !")});
    EXPECT_EQ(modalAfter([&] { QTest::keyClick(w->edNoFact, Qt::Key_I, Qt::ControlModifier); }),
              QStringLiteral("TfrmListFNM"));
    EXPECT_EQ(modalAfter([&] { QTest::keyClick(w->edNoFact, Qt::Key_F, Qt::ControlModifier); }),
              QStringLiteral("TfrmListBenef"));
    w->edDFact->setFocus();
    QTest::keyClick(w->edDFact, Qt::Key_Return);
    EXPECT_EQ(w->focusWidget(), w->edDFact);
    EXPECT_EQ(w->Mode(), emInsert);

    messages.clear();
    messages.answer(mrYes);
    w->edMontant->setFocus();
    QTest::keyClick(w->edMontant, Qt::Key_Escape);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Etes-vous sûr de vouloir annuler les modifications ?")});
    EXPECT_EQ(w->Mode(), emBrowse);
}

TEST(FactMenu, MenuItemAndToolbarButtonOpenTheInvoices)
{
    ProgramFolder folder;
    YearDb year;
    MessageRecorder messages;
    TfrmKivMain main;
    const std::function<void()> openers[] = {
        [&] { main.mnFactures->trigger(); },
        [&] { main.btnFact->click(); },
    };
    for (const auto& open : openers) {
        int shown = 0;
        OnModal<TfrmFact>([&shown](TfrmFact* f) {
            shown = f->IdDepense;
            f->close();
        });
        open();
        EXPECT_EQ(shown, -1);
    }
    EXPECT_TRUE(messages.texts().isEmpty());
}

} // namespace

// A commit the engine refuses keeps the new invoice on screen in insert mode
// and stores nothing; saved again, the largest amount the column holds is
// stored exactly. No save waits by running the event loop.
TEST_F(FactTest, ARefusedCommitKeepsTheEntryAndTheLargestAmountIsStoredExactly)
{
    DM->LURDO.executeScript(QStringLiteral(
        "CREATE EXCEPTION E_REFUSED 'refused';"
        "COMMIT;"
        "SET TERM ^ ;"
        "CREATE TRIGGER REFUSE_COMMIT ON TRANSACTION COMMIT AS BEGIN"
        "  IF (EXISTS(SELECT 1 FROM DEPENSE WHERE OBJET='REFUSE')) THEN EXCEPTION E_REFUSED; END^"
        "SET TERM ; ^"
        "COMMIT;"));
    const qint64 before = ExpenseCount();
    auto w = Open();
    Entry e;
    e.amount = QStringLiteral("9 999 999 999 999.99");
    e.supplier = supplierA;
    e.objet = QStringLiteral("REFUSE");
    TypeNew(*w, e);

    MessageRecorder messages;
    {
        TEventLoopWatch watch;
        w->btnPost->click();
        EXPECT_FALSE(watch.Ran());
    }
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Les informations n'ont pas été enregistrées ! Elles ont été restaurées.")});
    EXPECT_EQ(w->Mode(), emInsert);
    EXPECT_EQ(w->stBar->Panel(4), QStringLiteral("Insertion"));
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-001"));
    EXPECT_EQ(w->edMontant->text(), QStringLiteral("9 999 999 999 999.99"));
    EXPECT_EQ(w->edObjet->text(), QStringLiteral("REFUSE"));
    EXPECT_EQ(ExpenseCount(), before);

    w->edObjet->setText(QStringLiteral("Serveurs"));
    {
        TEventLoopWatch watch;
        w->btnPost->click();
        EXPECT_FALSE(watch.Ran());
    }
    EXPECT_EQ(messages.calls().size(), 1);
    ASSERT_EQ(w->Mode(), emBrowse);
    const auto s = Expense(w->IdDepense);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->amount, Currency::fromRaw(99999999999999900));
    EXPECT_EQ(w->edMontant->text(), QStringLiteral("9 999 999 999 999.99"));
}

// Two users on one year: what another connection commits after the window
// showed an invoice is never undone nor ignored by this window's writes.
class FactTwoUsersTest : public FactTest {
protected:
    void SetUp() override
    {
        FactTest::SetUp();
        other.open(year->params());
    }
    void TearDown() override
    {
        other.close();
        FactTest::TearDown();
    }
    // What the other user runs; committed unless told otherwise.
    void OtherRuns(const QString& sql, Params params = {}, bool commit = true)
    {
        db::Query q(other, sql);
        for (const auto& [name, value] : params)
            q.setParam(QString::fromLatin1(name), value);
        q.exec();
        if (commit)
            other.commit();
    }
    db::Connection other;
};

// A opens an invoice and edits its object; B changes its number and commits;
// A's save is refused, B's number kept, A's entry kept on screen; on request
// the stored invoice is shown again, and a later save goes through. A save
// that meets B's change still in progress is refused as an update conflict,
// the entry kept.
TEST_F(FactTwoUsersTest, ASaveNeverUndoesAnotherUsersChange)
{
    const qint64 id = AddExpense(QStringLiteral("F-29984"), QDate(2024, 4, 2), supplierA, "120.00");
    auto w = Open(int(id));
    MessageRecorder messages;

    w->btnModif->click();
    w->edObjet->setText(QStringLiteral("Objet de A"));
    OtherRuns(QStringLiteral("UPDATE DEPENSE SET NO_DEPENSE='F-B' WHERE ID_DEPENSE=:ID"), {{"ID", id}});
    messages.answer(mrNo);
    w->btnPost->click();
    EXPECT_EQ(messages.texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(w->edObjet->text(), QStringLiteral("Objet de A"));
    EXPECT_EQ(Expense(id)->number, QStringLiteral("F-B"));
    EXPECT_EQ(Expense(id)->objet, QStringLiteral("objet"));
    EXPECT_FALSE(DM->LURDO.inTransaction());

    // Asked again, Yes: the stored invoice is shown, B's number in it.
    messages.clear();
    messages.answer(mrYes);
    w->btnPost->click();
    EXPECT_EQ(messages.texts(), QStringList{TEditorWindow::RowChangedQuestion});
    EXPECT_EQ(w->Mode(), emBrowse);
    EXPECT_EQ(w->edNoFact->text(), QStringLiteral("F-B"));

    // Now A's change goes through, and a second one after it.
    messages.clear();
    for (const QString& objet : {QStringLiteral("Objet de A"), QStringLiteral("Objet de A, revu")}) {
        w->btnModif->click();
        w->edObjet->setText(objet);
        w->btnPost->click();
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(" | ").toStdString();
        EXPECT_EQ(w->Mode(), emBrowse);
        EXPECT_EQ(Expense(id)->objet, objet);
        EXPECT_EQ(Expense(id)->number, QStringLiteral("F-B"));
    }

    // B changes it without committing yet: A's save meets the change in progress.
    w->btnModif->click();
    w->edObjet->setText(QStringLiteral("Pendant la saisie de B"));
    OtherRuns(QStringLiteral("UPDATE DEPENSE SET OBJET='Objet de B' WHERE ID_DEPENSE=:ID"), {{"ID", id}}, false);
    w->btnPost->click();
    ASSERT_EQ(messages.calls().size(), 1);
    EXPECT_TRUE(messages.calls().first().text.startsWith(
        QStringLiteral("Ces informations sont en cours de modification par un autre utilisateur")))
        << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(w->Mode(), emEdit);
    EXPECT_EQ(w->edObjet->text(), QStringLiteral("Pendant la saisie de B"));
    EXPECT_FALSE(DM->LURDO.inTransaction());
    // B gives up: A's save goes through.
    other.rollback();
    messages.clear();
    w->btnPost->click();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_EQ(Expense(id)->objet, QStringLiteral("Pendant la saisie de B"));
}

// An invoice shown free, then put on a commitment sheet by another user, is
// not deleted: the state is read again inside the deleting transaction.
TEST_F(FactTwoUsersTest, ADeleteIsRefusedOnceAnotherUserCommittedTheInvoice)
{
    const qint64 id = AddExpense(QStringLiteral("F-77"), QDate(2024, 4, 2), supplierA, "120.00");
    auto w = Open(int(id));
    EXPECT_TRUE(w->lNoEng->text().isEmpty());
    OtherRuns(QStringLiteral("INSERT INTO ENT_ENG (ID_ENG, NO_ENG, DATE_ENG, ID_FNM, MONTANT, OBJET, ORIGINE, "
                             "ID_ORIGINE, STATUT) VALUES (901, '0002', :D, :F, 120, 0, '', -1, 0)"),
              {{"D", QDate(2024, 4, 3)}, {"F", line}}, false);
    OtherRuns(QStringLiteral("INSERT INTO DET_ENG (ID_ENG, NOLINE, OBJET, ID_DETAIL, MONTANT) VALUES (901, 1, 0, :ID, 120)"),
              {{"ID", id}});
    MessageRecorder messages;
    messages.answer(mrYes);
    w->btnDelete->click();
    EXPECT_EQ(messages.texts().value(0), QStringLiteral("Cette Facture est déjà Engagée !\rSuppression Impossible."));
    EXPECT_TRUE(Expense(id));
}
