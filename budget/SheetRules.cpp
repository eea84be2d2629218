#include "budget/SheetRules.h"

#include "core/Routines.h"

#include <QRegularExpression>

namespace sheet {

namespace {

QDate ReadDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

TRefusal Refused(const QString& message, Field field)
{
    return TRefusal{message, field};
}

} // namespace

const QString NumberTakenRefusal = QStringLiteral("Ce N° de Fiche existe déjà !");

TVerdict CheckNumber(const QString& typed, QString* padded)
{
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return Refused(QStringLiteral("Le N° de la Fiche est manquant !"), Number);
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
    if (!digits.match(t).hasMatch())
        return Refused(QStringLiteral("Le N° de la fiche doit être numérique !"), Number);
    if (t.toInt() < 2)
        return Refused(QStringLiteral("Le N° de la fiche doit être supérieur à 1 !"), Number);
    if (padded)
        *padded = PadLeft(QString::number(t.toInt()), QStringLiteral("0"), 4);
    return std::nullopt;
}

TVerdict CheckDates(const QString& dateText, const QString& visaText, int fiscalYear, const TAsk& ask, QDate* date,
                    QDate* visaDate)
{
    if (dateText.trimmed().isEmpty())
        return Refused(QStringLiteral("La Date de la Fiche est manquante !"), Date);
    const QDate d = ReadDate(dateText);
    if (!d.isValid())
        return Refused(QStringLiteral("La Date de la Fiche est incorrecte !"), Date);
    if (d.year() != fiscalYear)
        return Refused(QStringLiteral("La date de la Fiche ne correspond pas à l'exercice en cours !"), Date);
    QDate v;
    if (!visaText.trimmed().isEmpty()) {
        v = ReadDate(visaText);
        if (!v.isValid())
            return Refused(QStringLiteral("La Date du Visa est incorrecte !"), VisaDate);
        if (v.year() != fiscalYear)
            return Refused(QStringLiteral("La date du Visa ne correspond pas à l'exercice en cours !"), VisaDate);
        if (v > d && ask && !ask(QStringLiteral("La date du Visa est plus récente que la date de la fiche !\rContinuer ?")))
            return Refused(QString(), VisaDate);
    }
    if (date)
        *date = d;
    if (visaDate)
        *visaDate = v;
    return std::nullopt;
}

QString CommitmentObservation(const TDocumentLines& lines)
{
    if (lines.isEmpty())
        return QStringLiteral("***");
    const TDocumentLine& first = lines.first();
    bool oneBeneficiary = true;
    for (const TDocumentLine& l : lines)
        oneBeneficiary = oneBeneficiary && l.idBen == first.idBen;
    if (first.kind == ExpenseKind::Mission) {
        const QString text = QStringLiteral("ENGAGEMENT ") + first.intitule.toUpper();
        return oneBeneficiary ? text + QStringLiteral(" DE : ") + first.benName : text;
    }
    if (first.kind == ExpenseKind::SalaryToCommit)
        return first.expenseObject;
    if (lines.size() == 1)
        return QStringLiteral("ENGAGEMENT DE LA FACTURE NO ") + first.noDepense + QStringLiteral("  DU  ")
               + first.dateDepense.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" DU FOURNISSEUR ")
               + first.benName;
    if (oneBeneficiary)
        return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DU FOURNISSEUR ") + first.benName;
    return QStringLiteral("ENGAGEMENT DE DIVERSES FACTURES  DE DIVERS FOURNISSEURS");
}

} // namespace sheet
