#include "expenditure/OrderRules.h"

#include "core/Routines.h"

#include <algorithm>

namespace order {

TVerdict CheckDate(const QString& text, int fiscalYear, QDate* date)
{
    const QString t = text.trimmed();
    QDate d;
    if (!t.isEmpty()) {
        d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid())
            d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
        if (!d.isValid())
            return TRefusal{QStringLiteral("La Date du mandat est incorrecte !")};
        if (d.year() != fiscalYear)
            return TRefusal{QStringLiteral("La date du Mandat ne correspond pas à l'exercice en cours !")};
    }
    if (date)
        *date = d;
    return std::nullopt;
}

std::optional<std::array<QString, 3>> Attachments(const TDocumentLines& lines, int currentLine,
                                                  const std::function<QString(qint64 idDepense)>& reference)
{
    if (lines.isEmpty())
        return std::nullopt;
    const TDocumentLine& line = lines[std::clamp(currentLine, 0, int(lines.size()) - 1)];
    const int n = int(lines.size());
    const QString count = PadLeft(QString::number(n), QStringLiteral("0"), 2);
    if (line.kind == ExpenseKind::Mission)
        return std::array<QString, 3>{reference(line.idDepense),
                                      count + (n > 1 ? QStringLiteral(" Décisions") : QStringLiteral(" Décision")),
                                      QStringLiteral("01 Etat de Paiement de Missions")};
    if (line.kind == ExpenseKind::Invoice)
        return std::array<QString, 3>{reference(line.idDepense),
                                      count + (n > 1 ? QStringLiteral(" Factures") : QStringLiteral(" Facture")),
                                      QStringLiteral("01 Etat de Paiement de Factures")};
    return std::nullopt;
}

} // namespace order
