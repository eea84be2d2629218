#include "core/Currency.h"

#include <cmath>
#include <limits>

namespace {

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Divides rounding half away from zero.
std::int64_t divRound(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t q = value / divisor;
    const std::int64_t r = value % divisor;
    const std::int64_t absR = r < 0 ? -r : r;
    if (absR * 2 >= divisor)
        return value < 0 ? q - 1 : q + 1;
    return q;
}

} // namespace

Currency Currency::fromScaled(std::int64_t value, int scale)
{
    if (scale == 4)
        return fromRaw(value);
    if (scale < 4)
        return fromRaw(value * pow10(4 - scale));
    return fromRaw(divRound(value, pow10(scale - 4)));
}

Currency Currency::fromDouble(double value)
{
    return fromRaw(static_cast<std::int64_t>(std::llround(value * Scale)));
}

std::optional<Currency> Currency::parse(QStringView text)
{
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    std::int64_t whole = 0;
    int wholeDigits = 0;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / Scale / 10;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit()) {
            if (whole > limit)
                return std::nullopt;
            whole = whole * 10 + c.digitValue();
            ++wholeDigits;
        } else if (c == QLatin1Char(' ') || c == QChar(0xA0)) {
            if (wholeDigits == 0)
                return std::nullopt;
        } else {
            break;
        }
    }
    std::int64_t frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        for (; i < t.size() && t[i].isDigit(); ++i) {
            if (fracDigits < 4) {
                frac = frac * 10 + t[i].digitValue();
                ++fracDigits;
            } else if (fracDigits == 4) {
                roundUp = t[i].digitValue() >= 5;
                ++fracDigits;
            }
        }
        if (wholeDigits == 0 && fracDigits == 0)
            return std::nullopt;
    }
    if (i != t.size() || (wholeDigits == 0 && fracDigits == 0))
        return std::nullopt;
    for (int k = std::min(fracDigits, 4); k < 4; ++k)
        frac *= 10;
    std::int64_t raw = whole * Scale + frac + (roundUp ? 1 : 0);
    return fromRaw(negative ? -raw : raw);
}

std::int64_t Currency::toScaled(int scale) const
{
    if (scale >= 4)
        return m_raw * pow10(scale - 4);
    return divRound(m_raw, pow10(4 - scale));
}

QString Currency::toPlainText() const
{
    const std::int64_t a = m_raw < 0 ? -m_raw : m_raw;
    QString s = QString::number(a / Scale);
    std::int64_t frac = a % Scale;
    if (frac != 0) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return m_raw < 0 ? QLatin1Char('-') + s : s;
}

QString GroupThousands(const QString& digits, QChar separator)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

QString Currency::formatMoney() const
{
    const std::int64_t cents = toScaled(2);
    const std::int64_t a = cents < 0 ? -cents : cents;
    QString s = GroupThousands(QString::number(a / 100)) + QLatin1Char('.')
        + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? QLatin1Char('-') + s : s;
}

QString Currency::formatMask() const
{
    return formatMoney();
}

QString Currency::toFixed2() const
{
    const std::int64_t cents = toScaled(2);
    const std::int64_t a = cents < 0 ? -cents : cents;
    QString s = QString::number(a / 100) + QLatin1Char('.') + QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? QLatin1Char('-') + s : s;
}
