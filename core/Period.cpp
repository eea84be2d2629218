#include "core/Period.h"

#include "core/Routines.h"

TVerdict CheckPeriod(const QString& startText, const QString& endText, int fiscalYear, QDate& start, QDate& end)
{
    start = ParseDate(startText);
    end = ParseDate(endText);
    if (!start.isValid())
        return TRefusal{QStringLiteral("La date de début période est incorrecte !"), PeriodStart};
    if (!end.isValid())
        return TRefusal{QStringLiteral("La date de fin période est incorrecte !"), PeriodEnd};
    if (start > end)
        return TRefusal{QStringLiteral("La date de fin est inférieure à la date de début !"), PeriodEnd};
    if (start.year() != fiscalYear)
        return TRefusal{QStringLiteral("La date de début période ne correspond pas à l'exercice en cours !"),
                        PeriodStart};
    if (end.year() != fiscalYear)
        return TRefusal{QStringLiteral("La date de fin période ne correspond pas à l'exercice en cours !"), PeriodEnd};
    return std::nullopt;
}
