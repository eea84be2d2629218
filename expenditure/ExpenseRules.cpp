#include "expenditure/ExpenseRules.h"

#include "core/Routines.h"
#include "data/Amounts.h"
#include "expenditure/ExpenseStore.h"

namespace expense {

TVerdict CheckDate(const QString& text, const QString& missing, const QString& incorrect, const QString& otherYear,
                   OtherYear rule, int fiscalYear, const TAsk& ask, int field, QDate& out)
{
    out = QDate();
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return TRefusal{missing, field};
    const QDate date = ParseDate(typed);
    if (!date.isValid())
        return TRefusal{incorrect, field};
    if (date.year() != fiscalYear) {
        if (rule == OtherYear::Refuse)
            return TRefusal{otherYear, field};
        if (!ask(otherYear))
            return TRefusal{QString(), field};
    }
    out = date;
    return std::nullopt;
}

TVerdict CheckInvoice(InvoiceEntry& e, int fiscalYear, const TAsk& ask, Invoice& out)
{
    out = Invoice{};
    e.number = e.number.trimmed();
    if (e.number.isEmpty())
        return TRefusal{QStringLiteral("Le N° de Facture est manquant !"), InvoiceNumber};
    out.number = e.number;
    if (TVerdict v = CheckDate(e.date, QStringLiteral("La Date Facture est manquante !"),
                               QStringLiteral("La Date Facture est incorrecte !"),
                               QStringLiteral("La date Facture ne correspond pas à l'exercice en cours ! \r"
                                              "Voulez-vous continuer ?"),
                               OtherYear::Ask, fiscalYear, ask, InvoiceDate, out.date))
        return v;
    if (!e.amount || *e.amount <= Currency() || *e.amount > MaxStoredAmount)
        return TRefusal{QStringLiteral("Le Montant de la Facture est incorrect !"), InvoiceAmount};
    out.amount = *e.amount;
    const QString supplier = e.supplier.trimmed();
    if (supplier.isEmpty())
        return TRefusal{QStringLiteral("Le fournisseur est manquant !"), InvoiceSupplier};
    out.idBen = supplier.toLongLong();
    if (e.numberTaken
        && !ask(QStringLiteral("Ce N° de Facture a déjà été saisi pour ce fournisseur !\rContinuer tout de même ?")))
        return TRefusal{QString(), InvoiceNumber};
    if (!e.hasBudgetLine)
        return TRefusal{QStringLiteral("L'Imputation est manquante !"), InvoiceBudgetLine};
    return std::nullopt;
}

TEditRights EditRights(ExpenseKind kind, bool inserting, ExpenseState state, bool contributionMode)
{
    const bool free = inserting || state == ExpenseState::Free;
    TEditRights r;
    switch (kind) {
    case ExpenseKind::Mission:
        r.amount = free && !contributionMode;
        r.budgetLine = free;
        r.contributions = free && contributionMode;
        break;
    case ExpenseKind::SalaryToPay:
        // Its amount is the sum of its lines; it has no budget line. Lines are
        // added to a saved expense only.
        r.lines = !inserting && state == ExpenseState::Free;
        break;
    default:
        r.amount = free;
        r.budgetLine = free;
        break;
    }
    return r;
}

bool IsContributionLine(const QString& chap, const QString& art)
{
    return IsChapter05Article01(chap, art);
}

Currency ContributionSum(Currency regimeGen, Currency assChomage, Currency retraiteAnt)
{
    return regimeGen + assChomage + retraiteAnt;
}

TVerdict CheckMissionDates(const QString& startText, const QString& endText, int fiscalYear, const TAsk& ask,
                           QDate& start, QDate& end)
{
    start = QDate();
    end = QDate();
    if (startText.trimmed().isEmpty() && endText.trimmed().isEmpty())
        return std::nullopt;
    QDate from, to;
    if (TVerdict v = CheckDate(startText, QStringLiteral("La Date de début de mission est manquante !"),
                               QStringLiteral("La Date de début de mission est incorrecte !"),
                               QStringLiteral("La date de début de mission ne correspond pas à l'exercice en cours !\r"
                                              "Voulez-vous continuer ?"),
                               OtherYear::Ask, fiscalYear, ask, MissionStart, from))
        return v;
    if (TVerdict v = CheckDate(endText, QStringLiteral("La Date de fin de mission est manquante !"),
                               QStringLiteral("La Date de fin de mission est incorrecte !"),
                               QStringLiteral("La date de fin de mission ne correspond pas à l'exercice en cours !\r"
                                              "Voulez-vous continuer ?"),
                               OtherYear::Ask, fiscalYear, ask, MissionEnd, to))
        return v;
    if (to < from)
        return TRefusal{QStringLiteral("La Date de fin de mission est antérieure à la date de début !"), MissionEnd};
    start = from;
    end = to;
    return std::nullopt;
}

} // namespace expense
