#include "budget/TransferRules.h"

#include "core/Routines.h"

#include <QRegularExpression>

namespace {

// The largest amount a DECIMAL(15,2) column holds, in cents.
constexpr std::int64_t kMaxCents = 999999999999999LL;

} // namespace

std::optional<Currency> TransferAmount(const QString& text)
{
    const QString cleaned = KeepCalcChars(text).trimmed();
    static const QRegularExpression number(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = number.match(cleaned);
    if (!m.hasMatch() || !IsNumberText(cleaned))
        return std::nullopt;
    const QString whole = m.captured(2);
    const QString decimals = m.captured(3);
    // Digits beyond the cent decide the one rounding: half away from zero.
    std::int64_t cents = 0;
    for (const QChar c : whole) {
        cents = cents * 10 + c.digitValue();
        if (cents > kMaxCents)
            return std::nullopt;
    }
    for (int i = 0; i < 2; ++i)
        cents = cents * 10 + (i < decimals.size() ? decimals[i].digitValue() : 0);
    if (decimals.size() > 2 && decimals[2].digitValue() >= 5)
        ++cents;
    if (cents > kMaxCents)
        return std::nullopt;
    return Currency::fromRaw((m.captured(1) == QLatin1String("-") ? -cents : cents) * 100);
}

TVerdict CheckTransferAmounts(const QList<TTransferEntry>& rows)
{
    for (const TTransferEntry& row : rows) {
        if (!row.amount)
            return TRefusal{QStringLiteral("Le montant de l'imputation n'est  pas numérique !"), -1, row.gridRow};
        if (*row.amount <= Currency())
            return TRefusal{QStringLiteral("Le Montant doit supérieur à zéro !"), -1, row.gridRow};
    }
    return std::nullopt;
}

TVerdict CheckTransferTotals(Currency giving, Currency receiving)
{
    if (giving.isZero())
        return TRefusal{QStringLiteral("Le Montant doit être non nul !"), GivingGrid};
    if (receiving.isZero())
        return TRefusal{QStringLiteral("Le Montant doit être non nul !"), ReceivingGrid};
    if (giving != receiving)
        return TRefusal{QStringLiteral("Les Montants des imputations sont différents !"), GivingGrid};
    return std::nullopt;
}

bool TransferCreditShort(const TTransferCredit& credit, Currency amount)
{
    return credit.mandated + amount > credit.available;
}

QString TransferRowLabel(const TTransferEntry& row)
{
    return row.chap + QLatin1Char(' ') + row.art + QLatin1Char(' ') + row.par;
}
