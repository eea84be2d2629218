#pragma once
// The largest amount the amount columns hold: DECIMAL(15,2), 9 999 999 999 999.99.

#include "db/Currency.h"

inline constexpr Currency MaxStoredAmount = Currency::fromRaw(999999999999999LL * 100);

// The amount as the amount columns keep it: rounded to cents.
inline Currency ToStoredCents(Currency amount)
{
    return Currency::fromRaw(amount.toScaled(2) * 100);
}
