// The expense picker's checks, in their order, as a table of cases over plain
// values: no database, no window.
#include "expenditure/PickerRules.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <ostream>

using namespace picker;
using enum ExpenseKind;

static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

Currency M(const char* text) { return *Currency::parse(QString::fromLatin1(text)); }

const qint64 LineA = 10, LineB = 20, LineC = 30;
const qint64 Supplier = 5;

struct Case {
    const char* name;
    Document doc;
    Expense expense;
    QSet<qint64> onDocument;
    Policies policies;
    // The figures of every budget line, by line (missing: all zero).
    QHash<qint64, Credit> credit;
    QHash<qint64, Currency> imputations;
    Currency paid;
    Beneficiary ben{true, BeneficiaryType::Employee, -1};
    std::deque<bool> answers;
    // Expected: no refusal, or a refusal with this message ("" silent).
    std::optional<QString> refusal;
    // The beginnings of the questions asked, in order.
    QStringList questions;
    Focus focus = Focus::None;
};

Document Sheet(int lines = 0, QSet<qint64> budgetLines = {}, ExpenseKind firstKind = Invoice)
{
    Document d;
    d.mode = Mode::Commitment;
    d.lineCount = lines;
    d.firstKind = lines ? std::optional(firstKind) : std::nullopt;
    d.budgetLines = std::move(budgetLines);
    return d;
}

Document Order(int lines = 0, QSet<qint64> budgetLines = {}, ExpenseKind firstKind = Invoice)
{
    Document d = Sheet(lines, std::move(budgetLines), firstKind);
    d.mode = Mode::PaymentOrder;
    return d;
}

Expense E(qint64 id, ExpenseKind kind, qint64 line, const char* amount)
{
    return Expense{id, kind, line, M(amount), Supplier};
}

Policies P(std::uint8_t commit, std::uint8_t mandate, int maxLines = 25, const char* prest = "0", const char* four = "0")
{
    Policies p;
    p.commit = commit;
    p.mandate = mandate;
    p.maxDocLines = maxLines;
    p.ceilings = {M(prest), M(four)};
    return p;
}

// Line A: 500.00 available, 400.00 committed, 100.00 mandated.
QHash<qint64, Credit> Tight()
{
    return {{LineA, Credit{M("500"), M("400"), M("100")}}};
}

const QString CommitShort = QStringLiteral("Crédit insuffisant pour engager cette dépense !");
const QString CommitAsk = QStringLiteral("Crédit insuffisant pour engager !");
const QString MandateShort = QStringLiteral("Crédit insuffisant pour mandater cette dépense !");
const QString MandateAsk = QStringLiteral("Crédit insuffisant pour mandater !");
const QString AboveCommitted = QStringLiteral("Le total mandaté est supérieur au total engagé !");
const QString Ceiling = QStringLiteral("Ce fournisseur a atteint le seuil max !");

Case Make(const char* name, Document doc, Expense e, Policies p, QHash<qint64, Credit> credit,
          std::optional<QString> refusal, QStringList questions = {}, std::deque<bool> answers = {})
{
    Case c;
    c.name = name;
    c.doc = std::move(doc);
    c.expense = e;
    c.policies = p;
    c.credit = std::move(credit);
    c.refusal = std::move(refusal);
    c.questions = std::move(questions);
    c.answers = std::move(answers);
    return c;
}

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    const std::optional<QString> pass;
    const QString silent;

    // Commitment credit under each policy: 450 + 100 committed against 500.
    cases.push_back(Make("commit policy 0 proceeds", Sheet(), E(1, Invoice, LineA, "150"), P(0, 0), Tight(), pass));
    cases.push_back(Make("commit policy 1 refuses", Sheet(), E(1, Invoice, LineA, "150"), P(1, 0), Tight(), CommitShort));
    cases.push_back(Make("commit policy 2 Yes", Sheet(), E(1, Invoice, LineA, "150"), P(2, 0), Tight(), pass,
                         {CommitAsk}, {true}));
    cases.push_back(Make("commit policy 2 No", Sheet(), E(1, Invoice, LineA, "150"), P(2, 0), Tight(), silent,
                         {CommitAsk}, {false}));
    cases.push_back(Make("commit policy out of range asks", Sheet(), E(1, Invoice, LineA, "150"), P(255, 0), Tight(),
                         silent, {CommitAsk}, {false}));
    cases.push_back(Make("commit exactly at the limit", Sheet(), E(1, Invoice, LineA, "100"), P(1, 1), Tight(), pass));
    cases.push_back(Make("commit one cent over", Sheet(), E(1, Invoice, LineA, "100.01"), P(1, 1), Tight(), CommitShort));

    // Payment-order credit, then the committed total, under one policy.
    cases.push_back(Make("mandate policy 0 passes both", Order(), E(1, Invoice, LineA, "450"), P(1, 0), Tight(), pass));
    cases.push_back(Make("mandate policy 1 first test", Order(), E(1, Invoice, LineA, "450"), P(1, 1), Tight(),
                         MandateShort + "\rImputation : L10"));
    cases.push_back(Make("mandate policy 1 second test", Order(), E(1, Invoice, LineA, "350"), P(1, 1), Tight(),
                         AboveCommitted + "\rImputation : L10"));
    cases.push_back(Make("mandate within both", Order(), E(1, Invoice, LineA, "300"), P(1, 1), Tight(), pass));
    cases.push_back(Make("mandate No on the first question ends", Order(), E(1, Invoice, LineA, "450"), P(1, 2), Tight(),
                         silent, {MandateAsk}, {false}));
    cases.push_back(Make("mandate Yes then the second question", Order(), E(1, Invoice, LineA, "450"), P(1, 2), Tight(),
                         pass,
                         {MandateAsk + "\rImputation : L10\rVoulez-vous, tout de même, continuer ?",
                          AboveCommitted + "\rImputation : L10\rVoulez-vous, tout de même, continuer ?"},
                         {true, true}));

    // A salary expense to pay: each of its budget lines with its share.
    {
        Case c = Make("salary to pay checked per imputation", Order(), E(1, SalaryToPay, -1, "700"), P(1, 1),
                      {{LineB, Credit{M("1000"), M("1000"), M("0")}}, {LineC, Credit{M("300"), M("300"), M("0")}}},
                      MandateShort + "\rImputation : L30");
        c.imputations = {{LineB, M("400")}, {LineC, M("300.01")}};
        cases.push_back(c);
        Case ok = c;
        ok.name = "salary to pay within every imputation";
        ok.imputations = {{LineB, M("400")}, {LineC, M("300")}};
        ok.refusal = pass;
        cases.push_back(ok);
        // Two imputations beyond their committed totals: one question naming both.
        Case both = Make("salary to pay beyond the committed total on two lines, asked once", Order(),
                         E(1, SalaryToPay, -1, "700"), P(1, 2),
                         {{LineB, Credit{M("1000"), M("300"), M("0")}}, {LineC, Credit{M("1000"), M("200"), M("0")}}},
                         pass,
                         {AboveCommitted + "\rImputations : L20, L30\rVoulez-vous, tout de même, continuer ?"}, {true});
        both.imputations = {{LineB, M("400")}, {LineC, M("300")}};
        cases.push_back(both);
        Case refused = both;
        refused.name = "salary to pay beyond the committed total on two lines, refused once";
        refused.policies = P(1, 1);
        refused.refusal = AboveCommitted + "\rImputations : L20, L30";
        refused.questions.clear();
        refused.answers.clear();
        cases.push_back(refused);
    }

    // Supplier ceilings: grade 1 "Fourniture" at 6 000 000.00, 5 900 000.00 paid.
    {
        const QHash<qint64, Credit> wide = {{LineA, Credit{M("99999999"), M("99999999"), M("0")}}};
        Case c = Make("ceiling above asks", Order(), E(1, Invoice, LineA, "200000"), P(1, 1, 25, "4000000", "6000000"),
                      wide, silent, {Ceiling + QStringLiteral("\rSeuil pour Fourniture : 6 000 000.00\rC.A Four. : "
                                                               "6 100 000.00\r\rVoulez-vous continuer ?")},
                      {false});
        c.paid = M("5900000");
        c.ben = Beneficiary{true, BeneficiaryType::Supplier, toDb(ServiceKind::Supply)};
        cases.push_back(c);
        Case equal = c;
        equal.name = "ceiling reached exactly passes";
        equal.expense.amount = M("100000");
        equal.refusal = pass;
        equal.questions.clear();
        equal.answers.clear();
        cases.push_back(equal);
        Case off = c;
        off.name = "ceiling 0 is off";
        off.policies.ceilings = {M("0"), M("0")};
        off.refusal = pass;
        off.questions.clear();
        off.answers.clear();
        cases.push_back(off);
        Case negative = c;
        negative.name = "negative ceiling says why";
        negative.policies.ceilings = {M("0"), M("-1")};
        negative.refusal = QStringLiteral("Le seuil max pour Fourniture est négatif : -1.00 !\rCorrigez-le dans les "
                                          "paramètres.");
        negative.questions.clear();
        negative.answers.clear();
        cases.push_back(negative);
        Case employee = c;
        employee.name = "an employee has no ceiling";
        employee.ben = Beneficiary{true, BeneficiaryType::Employee, 1};
        employee.refusal = pass;
        employee.questions.clear();
        employee.answers.clear();
        cases.push_back(employee);
    }

    // The most lines per document.
    const QHash<qint64, Credit> plenty = {{LineA, Credit{M("1000000"), M("0"), M("0")}},
                                          {LineB, Credit{M("1000000"), M("0"), M("0")}}};
    cases.push_back(Make("25 lines of 25", Sheet(25, {LineA}), E(1, Invoice, LineA, "1"), P(0, 0, 25), plenty,
                         LineLimitReached));
    cases.push_back(Make("24 lines of 25", Sheet(24, {LineA}), E(1, Invoice, LineA, "1"), P(0, 0, 25), plenty, pass));
    cases.push_back(Make("20 lines of 20", Sheet(20, {LineA}), E(1, Invoice, LineA, "1"), P(0, 0, 20), plenty,
                         LineLimitReached));
    cases.push_back(Make("an order of a salary expense to pay holds one line", Order(1, {}, SalaryToPay),
                         E(1, SalaryToPay, -1, "1"), P(0, 0), plenty, LineLimitReached));

    // The same budget line.
    cases.push_back(Make("sheet: another line refused", Sheet(1, {LineA}, Mission), E(1, Mission, LineB, "1"), P(0, 0),
                         plenty, OtherBudgetLine));
    cases.push_back(Make("order: invoice on another line refused", Order(1, {LineA}), E(1, Invoice, LineB, "1"),
                         P(0, 0), plenty, OtherBudgetLine));
    cases.push_back(Make("order: mission on another line asked, Yes", Order(1, {LineA}, Mission),
                         E(1, Mission, LineB, "1"), P(0, 0), plenty, pass, {OtherBudgetLine + "\rVoulez-vous continuer ?"},
                         {true}));
    cases.push_back(Make("order: mission on another line asked, No", Order(1, {LineA}, Mission),
                         E(1, Mission, LineB, "1"), P(0, 0), plenty, silent, {OtherBudgetLine}, {false}));
    cases.push_back(Make("order: a line among several", Order(2, {LineA, LineB}, Mission), E(1, Mission, LineB, "1"),
                         P(0, 0), plenty, pass));

    // Kinds refused whatever the list shows, and the document's own kind.
    cases.push_back(Make("salary to commit never on an order", Order(), E(1, SalaryToCommit, LineA, "1"), P(0, 0), plenty,
                         QStringLiteral("Une charge salariale à engager ne peut pas être mandatée !")));
    cases.push_back(Make("salary to pay never on a sheet", Sheet(), E(1, SalaryToPay, -1, "1"), P(0, 0), plenty,
                         QStringLiteral("Une charge salariale à mandater ne peut pas être engagée !")));
    cases.push_back(Make("another kind than the first line", Order(1, {LineA}, Mission), E(1, Invoice, LineA, "1"),
                         P(0, 0), plenty, silent));

    // A frozen sheet, and expenses already on a document or already selected.
    {
        Case c = Make("cancelled sheet", Sheet(), E(1, Invoice, LineA, "1"), P(0, 0), plenty,
                      QStringLiteral("Fiche annulée, modification impossible !"));
        c.doc.cancelled = true;
        cases.push_back(c);
        Case v = Make("sheet with a visa", Sheet(), E(1, Invoice, LineA, "1"), P(0, 0), plenty,
                      QStringLiteral("Fiche visée, modification impossible !"));
        v.doc.visa = true;
        cases.push_back(v);
        Case e = Make("already committed", Sheet(), E(7, Invoice, LineA, "1"), P(0, 0), plenty, AlreadyCommitted);
        e.onDocument = {7};
        e.focus = Focus::ExpenseList;
        cases.push_back(e);
        Case m = Make("already mandated", Order(), E(7, Invoice, LineA, "1"), P(0, 0), plenty, AlreadyMandated);
        m.onDocument = {7};
        cases.push_back(m);
        Case s = Make("already selected", Order(1, {LineA}), E(7, Invoice, LineA, "1"), P(0, 0), plenty, AlreadySelected);
        s.doc.expenses = {7};
        s.focus = Focus::SelectionList;
        cases.push_back(s);
    }
    return cases;
}

} // namespace

TEST(PickerRules, AddExpenseChecksInOrder)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        std::deque<bool> answers = c.answers;
        QStringList asked;
        const TAsk ask = [&](const QString& q) {
            asked << q;
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected question " << q.toStdString();
                return false;
            }
            const bool a = answers.front();
            answers.pop_front();
            return a;
        };
        Facts facts;
        facts.credit = [&](qint64 line) { return c.credit.value(line); };
        facts.imputations = [&](qint64) { return c.imputations; };
        facts.lineLabel = [](qint64 line) { return QStringLiteral("L%1").arg(line); };
        facts.supplierPaid = [&](qint64) { return c.paid; };
        facts.beneficiary = [&](qint64) { return c.ben; };

        const TVerdict v = CheckAddExpense(c.doc, c.expense, c.onDocument, c.policies, facts, ask);
        if (c.refusal) {
            ASSERT_TRUE(v.has_value());
            EXPECT_EQ(*c.refusal, v->message);
            if (c.focus != Focus::None) {
                EXPECT_EQ(int(c.focus), v->field);
            }
            if (c.focus == Focus::SelectionList) {
                EXPECT_EQ(c.expense.id, v->row);
            }
        } else {
            EXPECT_FALSE(v.has_value()) << v->message.toStdString();
        }
        ASSERT_EQ(c.questions.size(), asked.size());
        for (int i = 0; i < asked.size(); ++i)
            EXPECT_TRUE(asked[i].startsWith(c.questions[i])) << asked[i].toStdString();
        EXPECT_TRUE(answers.empty());
    }
}
