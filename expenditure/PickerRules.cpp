#include "expenditure/PickerRules.h"

#include <QStringList>

#include <algorithm>

namespace picker {

const QString AlreadyCommitted = QStringLiteral("Dépense déja engagée !");
const QString AlreadyMandated = QStringLiteral("Dépense déja mandatée !");
const QString LineLimitReached = QStringLiteral("Le nbre max de dépenses est atteint !");
const QString AlreadySelected = QStringLiteral("La dépense est déjà sélectionnée !");
const QString OtherBudgetLine = QStringLiteral("Imputation différente de la précédente !");

namespace {

TRefusal Refused(const QString& message, Focus focus)
{
    return TRefusal{message, int(focus)};
}

QString KindName(ServiceKind kind)
{
    return kind == ServiceKind::Service ? QStringLiteral("Prestation") : QStringLiteral("Fourniture");
}

} // namespace

ExpenseKind ExcludedKind(Mode mode)
{
    return mode == Mode::PaymentOrder ? ExpenseKind::SalaryToCommit : ExpenseKind::SalaryToPay;
}

TVerdict CheckKind(Mode mode, ExpenseKind kind, const Document& doc)
{
    if (kind == ExcludedKind(mode))
        return Refused(mode == Mode::PaymentOrder
                           ? QStringLiteral("Une charge salariale à engager ne peut pas être mandatée !")
                           : QStringLiteral("Une charge salariale à mandater ne peut pas être engagée !"),
                       Focus::ExpenseList);
    // The list shows only the first line's kind once the document has lines.
    if (doc.lineCount > 0 && doc.firstKind && kind != *doc.firstKind)
        return Refused(QString(), Focus::ExpenseList);
    return std::nullopt;
}

TVerdict CheckDocumentOpen(const Document& doc)
{
    if (doc.mode != Mode::Commitment)
        return std::nullopt;
    if (doc.cancelled)
        return Refused(QStringLiteral("Fiche annulée, modification impossible !"), Focus::None);
    if (doc.visa)
        return Refused(QStringLiteral("Fiche visée, modification impossible !"), Focus::None);
    return std::nullopt;
}

TVerdict CheckShortage(bool shortage, std::uint8_t policy, const QString& information, const QString& question,
                       const TAsk& ask)
{
    if (!shortage || policy == 0)
        return std::nullopt;
    if (policy == 1)
        return Refused(information, Focus::ExpenseList);
    // 2, and any value the settings hold beyond the three known ones, asks.
    if (ask(question))
        return std::nullopt;
    return Refused(QString(), Focus::ExpenseList);
}

TVerdict CheckCommitCredit(const Credit& credit, Currency amount, std::uint8_t policy, const TAsk& ask)
{
    return CheckShortage(credit.committed + amount > credit.available, policy,
                         QStringLiteral("Crédit insuffisant pour engager cette dépense !"),
                         QStringLiteral("Crédit insuffisant pour engager !\rVoulez-vous, tout de même, continuer ?"),
                         ask);
}

TVerdict CheckMandateCredit(const QList<LineShare>& lines, std::uint8_t policy, const TAsk& ask)
{
    QStringList beyondCredit, beyondCommitted;
    for (const LineShare& line : lines) {
        const Currency mandated = line.credit.mandated + line.amount;
        if (mandated > line.credit.available)
            beyondCredit << line.label;
        if (mandated > line.credit.committed)
            beyondCommitted << line.label;
    }
    const auto named = [](const QStringList& labels) {
        return (labels.size() > 1 ? QStringLiteral("\rImputations : ") : QStringLiteral("\rImputation : "))
               + labels.join(QStringLiteral(", "));
    };
    const QString again = QStringLiteral("\rVoulez-vous, tout de même, continuer ?");
    if (TVerdict v = CheckShortage(!beyondCredit.isEmpty(), policy,
                                   QStringLiteral("Crédit insuffisant pour mandater cette dépense !") + named(beyondCredit),
                                   QStringLiteral("Crédit insuffisant pour mandater !") + named(beyondCredit) + again, ask))
        return v;
    const QString above = QStringLiteral("Le total mandaté est supérieur au total engagé !") + named(beyondCommitted);
    return CheckShortage(!beyondCommitted.isEmpty(), policy, above, above + again, ask);
}

TVerdict CheckSupplierCeiling(Currency paid, Currency amount, ServiceKind kind, Currency ceiling, const TAsk& ask)
{
    // A ceiling of 0 switches the check off.
    if (ceiling.isZero())
        return std::nullopt;
    if (ceiling < Currency())
        return Refused(QStringLiteral("Le seuil max pour ") + KindName(kind) + QStringLiteral(" est négatif : ")
                           + ceiling.formatMoney() + QStringLiteral(" !\rCorrigez-le dans les paramètres."),
                       Focus::ExpenseList);
    const Currency total = paid + amount;
    if (total <= ceiling)
        return std::nullopt;
    const QString question = QStringLiteral("Ce fournisseur a atteint le seuil max !\rSeuil pour ") + KindName(kind)
                             + QStringLiteral(" : ") + ceiling.formatMoney() + QStringLiteral("\r")
                             + QStringLiteral("C.A Four. : ") + total.formatMoney() + QStringLiteral("\r")
                             + QStringLiteral("\r") + QStringLiteral("Voulez-vous continuer ?");
    if (ask(question))
        return std::nullopt;
    return Refused(QString(), Focus::ExpenseList);
}

int LineLimit(std::optional<ExpenseKind> firstKind, int maxDocLines)
{
    return firstKind == ExpenseKind::SalaryToPay ? 1 : maxDocLines;
}

TVerdict CheckLineLimit(const Document& doc, int maxDocLines)
{
    if (doc.lineCount >= LineLimit(doc.lineCount > 0 ? doc.firstKind : std::nullopt, maxDocLines))
        return Refused(LineLimitReached, Focus::None);
    return std::nullopt;
}

TVerdict CheckNotSelected(const Document& doc, qint64 idDepense)
{
    if (!doc.expenses.contains(idDepense))
        return std::nullopt;
    return TRefusal{AlreadySelected, int(Focus::SelectionList), idDepense};
}

TVerdict CheckSameBudgetLine(const Document& doc, const Expense& expense, const TAsk& ask)
{
    if (doc.lineCount == 0 || doc.budgetLines.contains(expense.idFnm))
        return std::nullopt;
    if (doc.mode == Mode::Commitment || expense.kind == ExpenseKind::Invoice)
        return Refused(OtherBudgetLine, Focus::SelectionList);
    if (ask(OtherBudgetLine + QStringLiteral("\rVoulez-vous continuer ?")))
        return std::nullopt;
    return Refused(QString(), Focus::SelectionList);
}

QList<std::pair<qint64, Currency>> ChargedLines(Mode mode, const Expense& expense, const Facts& facts)
{
    // A salary expense to pay has no budget line of its own: on a payment
    // order each line it is charged to counts with its share.
    QHash<qint64, Currency> shares;
    if (mode == Mode::PaymentOrder && expense.kind == ExpenseKind::SalaryToPay)
        shares = facts.imputations(expense.id);
    if (shares.isEmpty())
        shares.insert(expense.idFnm, expense.amount);
    QList<qint64> ids = shares.keys();
    std::sort(ids.begin(), ids.end());
    QList<std::pair<qint64, Currency>> lines;
    for (qint64 id : ids)
        lines.append({id, shares.value(id)});
    return lines;
}

bool CeilingApplies(const Beneficiary& ben)
{
    return ben.found && SupplierCeilingApplies(ben.type, ben.grade);
}

TVerdict CheckAddExpense(const Document& doc, const Expense& expense, const QSet<qint64>& onDocument,
                         const Policies& policies, const Facts& facts, const TAsk& ask)
{
    if (TVerdict v = CheckDocumentOpen(doc))
        return v;
    if (TVerdict v = CheckKind(doc.mode, expense.kind, doc))
        return v;

    if (doc.mode == Mode::Commitment) {
        if (onDocument.contains(expense.id))
            return Refused(AlreadyCommitted, Focus::ExpenseList);
        if (TVerdict v = CheckCommitCredit(facts.credit(expense.idFnm), expense.amount, policies.commit, ask))
            return v;
    } else {
        if (onDocument.contains(expense.id))
            return Refused(AlreadyMandated, Focus::ExpenseList);
        QList<LineShare> lines;
        for (const auto& [id, share] : ChargedLines(doc.mode, expense, facts))
            lines.append(LineShare{facts.lineLabel(id), facts.credit(id), share});
        if (TVerdict v = CheckMandateCredit(lines, policies.mandate, ask))
            return v;
        const Beneficiary ben = facts.beneficiary(expense.idBen);
        if (CeilingApplies(ben)) {
            const ServiceKind kind = fromDb<ServiceKind>(ben.grade);
            if (TVerdict v = CheckSupplierCeiling(facts.supplierPaid(expense.idBen), expense.amount, kind,
                                                  policies.ceilings[size_t(toDb(kind))], ask))
                return v;
        }
    }

    if (TVerdict v = CheckLineLimit(doc, policies.maxDocLines))
        return v;
    if (TVerdict v = CheckNotSelected(doc, expense.id))
        return v;
    return CheckSameBudgetLine(doc, expense, ask);
}

} // namespace picker
