#include "budget/BudgetRules.h"

#include "data/Amounts.h"
#include "core/Routines.h"

namespace budget {

const QString FirstNumberTakenRefusal = QStringLiteral(
    "Le N° 0001 de cette imputation est déjà pris par une autre fiche d'engagement !\r"
    "La fiche du budget primitif ne peut pas le prendre : rien n'a été enregistré.");
const QString AmendingSheetNotLastRefusal = QStringLiteral(
    "Cette ficher n'est pas la dernière !\rIl faut, donc, supprimer les celles qui sont aprés celle-là.");

namespace {

TRefusal Refusal(const QString& message, AllocationField field)
{
    return TRefusal{message, int(field)};
}

// An amount the column can hold, to the cent.
TVerdict CheckAmount(const std::optional<Currency>& typed, const QString& incorrect, AllocationField field,
                     Currency& out)
{
    if (!typed)
        return Refusal(incorrect, field);
    out = ToStoredCents(*typed);
    if (out.abs() > MaxStoredAmount)
        return Refusal(incorrect, field);
    return std::nullopt;
}

// A date field: empty passes unless required; a text that is no date, or a
// date of another year, never.
TVerdict CheckDate(QString& text, bool required, const QString& missing, const QString& incorrect,
                   const QString& otherYear, int fiscalYear, AllocationField field, QDate& out)
{
    text = text.trimmed();
    out = QDate();
    if (text.isEmpty())
        return required ? TVerdict(Refusal(missing, field)) : std::nullopt;
    const QDate date = ParseDate(text);
    if (!date.isValid())
        return Refusal(incorrect, field);
    if (date.year() != fiscalYear)
        return Refusal(otherYear, field);
    out = date;
    return std::nullopt;
}

} // namespace

TVerdict CheckAllocations(AllocationEntry& e, int fiscalYear, const TAsk& ask, Allocations& out)
{
    out = Allocations{};
    // A chapter heading keeps no allocations.
    if (!e.article) {
        e.bp = e.regie = e.bs = Currency();
        e.dateBP.clear();
        e.dateBS.clear();
    }

    // The amounts, as numbers the columns hold, the primitive budget and its
    // imprest part never below zero.
    if (TVerdict v = CheckAmount(e.bp, QStringLiteral("Le Montant du budget primitif est incorrect !"),
                                 PrimitiveAmount, out.bp))
        return v;
    if (TVerdict v = CheckAmount(e.regie, QStringLiteral("Le Montant de la régie est incorrect !"), ImprestAmount,
                                 out.regie))
        return v;
    if (TVerdict v = CheckAmount(e.bs, QStringLiteral("Le Montant du budget modificatif est incorrect !"),
                                 AmendingAmount, out.bs))
        return v;
    if (out.bp < Currency())
        return Refusal(QStringLiteral("Le Montant du budget primitif doit être supérieur ou égale à zéro !"),
                       PrimitiveAmount);
    if (out.regie < Currency())
        return Refusal(QStringLiteral("Le Montant de la régie doit être supérieur ou égale à zéro !"), ImprestAmount);

    // The primitive-budget sheet made with the first primitive budget is
    // numbered "0001": no other sheet of the line may hold that number.
    if (e.article && !out.bp.isZero() && !e.hasPrimitiveSheet && e.firstNumberTaken)
        return Refusal(FirstNumberTakenRefusal, PrimitiveAmount);

    // The primitive budget's visa date: none without a primitive budget.
    if (out.bp.isZero())
        e.dateBP.clear();
    if (TVerdict v = CheckDate(e.dateBP, false, QString(), QStringLiteral("La Date visa du BP est incorrecte !"),
                               QStringLiteral("La date visa du BP ne correspond pas à l'exercice en cours !"),
                               fiscalYear, PrimitiveVisaDate, out.dateBP))
        return v;

    // The primitive-budget sheet's date, required with a primitive budget.
    if (!out.bp.isZero()) {
        if (TVerdict v = CheckDate(
                e.dateEngBP, true, QStringLiteral("La Date de la fiche d'engagement (BP) est manquante !"),
                QStringLiteral("La Date de la fiche d'engagement (BP) est incorrecte !"),
                QStringLiteral("La date de la fiche d'engagement (BP) ne correspond pas à l'exercice en cours !"),
                fiscalYear, PrimitiveSheetDate, out.dateEngBP))
            return v;
    } else {
        e.dateEngBP.clear();
    }

    // An amending budget without a proper visa date asks; without an amending
    // budget its dates go.
    if (!out.bs.isZero()) {
        if (!ParseDate(e.dateBS).isValid()
            && !ask(QStringLiteral("La date de prise en charge du BS est incorrecte !\rContinuer ?")))
            return Refusal(QString(), AmendingVisaDate);
    } else {
        e.dateBS.clear();
        e.dateEngBS.clear();
    }

    // The amending budget's visa date: empty passes, a wrong one never.
    if (TVerdict v = CheckDate(e.dateBS, false, QString(), QStringLiteral("La Date visa du BS est incorrecte !"),
                               QStringLiteral("La date visa du BS ne correspond pas à l'exercice en cours !"),
                               fiscalYear, AmendingVisaDate, out.dateBS))
        return v;

    // The amending-budget sheet's date, required with an amending budget.
    if (!out.bs.isZero()) {
        if (TVerdict v = CheckDate(
                e.dateEngBS, true, QStringLiteral("La Date de la fiche d'engagement (BS) est manquante !"),
                QStringLiteral("La Date de la fiche d'engagement (BS) est incorrecte !"),
                QStringLiteral("La date de la fiche d'engagement (BS) ne correspond pas à l'exercice en cours !"),
                fiscalYear, AmendingSheetDate, out.dateEngBS))
            return v;
    }

    // The amending sheet goes with an amending budget of 0, which only its
    // line's last sheet may: checked before anything is written.
    if (e.article && out.bs.isZero() && e.hasAmendingSheet && !e.amendingSheetIsLast)
        return Refusal(AmendingSheetNotLastRefusal, AmendingAmount);
    return std::nullopt;
}

} // namespace budget
