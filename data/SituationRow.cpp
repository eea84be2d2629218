#include "data/SituationRow.h"

#include "data/Amounts.h"

#include <algorithm>

Currency SituationRate(Currency payments, Currency credits)
{
    if (credits.isZero())
        return Currency();
    // payments / credits x 100 in hundredths of a percent, the exact quotient
    // cut toward zero: a line short of its credits by a cent never reads 100.
    const __int128 hundredths = __int128(payments.raw()) * 100 * 100 / credits.raw();
    const __int128 limit = MaxStoredAmount.raw();
    const __int128 raw = std::clamp<__int128>(hundredths * (Currency::Scale / 100), -limit, limit);
    return Currency::fromRaw(std::int64_t(raw));
}

Currency PrintedSituationRate(Currency payments, Currency revised, Currency initial)
{
    return SituationRate(payments, !revised.isZero() ? revised : initial);
}
