#pragma once
// The employer's social charges on the pay of a period: every amount a payment
// order of the period pays on a budget line subject to charges is a base, and
// each base carries three contributions at fixed rates.
//
// A salary expense to pay is counted by its imputations on the lines subject
// to charges (each its own base, on its own line); any other expense by its
// payment-order line, when its budget line is subject to charges.

#include "core/Currency.h"

#include <QDate>
#include <QList>
#include <QString>

namespace charges {

// The rates in hundredths of a percent.
inline constexpr std::int64_t RegimeGeneralRate = 2375;     // 23.75 %
inline constexpr std::int64_t UnemploymentRate = 100;       // 1.00 %
inline constexpr std::int64_t EarlyRetirementRate = 25;     // 0.25 %
inline constexpr std::int64_t AllRates = 2500;              // 25 %

// base × rate (hundredths of a percent), to the nearest ten-thousandth,
// halves to the even ten-thousandth.
Currency AtRate(Currency base, std::int64_t rate);

// The three contributions of one base.
struct TContributions {
    Currency regimeGeneral, unemployment, earlyRetirement;
    bool operator==(const TContributions&) const = default;
};
TContributions ContributionsOf(Currency base);

// One base: a payment order of the period and the budget line it pays on.
struct TChargeBase {
    qint64 idMdt = -1;
    QString noMdt;          // trimmed
    QDate dateMdt;
    QString chap, art, par; // trimmed
    Currency base;
    bool operator==(const TChargeBase&) const = default;
};

// The running totals over the bases, each contribution rounded base by base.
struct TChargeTotals {
    Currency base;
    TContributions contributions;
    // The 25 % of the total base, rounded once.
    Currency AllCharges() const { return AtRate(base, AllRates); }
};
TChargeTotals TotalsOf(const QList<TChargeBase>& bases);

// The bases of the payment orders dated from `start` to `end` (both
// included): orders by number and date, their lines in order, a salary
// expense's imputations by chapter, article and paragraph. One query.
QList<TChargeBase> ReadBases(const QDate& start, const QDate& end);

} // namespace charges
