#pragma once
// Amounts as the amount columns keep them (their largest, MaxStoredAmount,
// is beside Currency).

#include "core/Currency.h"

// The amount as the amount columns keep it: rounded to cents.
inline Currency ToStoredCents(Currency amount)
{
    return Currency::fromRaw(amount.toScaled(2) * 100);
}
