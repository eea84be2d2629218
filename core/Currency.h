#pragma once
// Exact money amounts: a signed 64-bit count of ten-thousandths of a dinar.
// Nothing here knows the database: db/ converts amounts to and from its
// DECIMAL(15,2) columns at its edge, through the scaled forms below, and no
// conversion goes through floating point.

#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromRaw(std::int64_t tenThousandths) { Currency c; c.m_raw = tenThousandths; return c; }
    static constexpr Currency fromUnits(std::int64_t dinars) { return fromRaw(dinars * Scale); }
    // A value scaled by 10^scale (an exact numeric with that scale), rounded
    // half away from zero when it carries more than four decimals.
    static Currency fromScaled(std::int64_t value, int scale);
    // Rounds half away from zero to four decimals; for the rare floating-point source.
    static Currency fromDouble(double value);
    // Plain decimal text: optional sign, digits, optional "." and decimals; spaces
    // between digit groups are accepted. Beyond four decimals rounds half away from zero.
    // Returns nothing on any other text or on overflow.
    static std::optional<Currency> parse(QStringView text);

    constexpr std::int64_t raw() const { return m_raw; }
    // The amount scaled to `scale` decimals (0..4), rounded half away from zero.
    std::int64_t toScaled(int scale) const;
    double toDouble() const { return double(m_raw) / Scale; }
    // Whole dinars (truncated toward zero) and the four decimals.
    constexpr std::int64_t units() const { return m_raw / Scale; }

    constexpr Currency abs() const { return fromRaw(m_raw < 0 ? -m_raw : m_raw); }
    constexpr bool isZero() const { return m_raw == 0; }

    // The general form: "." before the decimals, no grouping, no trailing zeros
    // ("1234.5", "80.05", "100", "-3").
    QString toPlainText() const;
    // Money as written by code on labels and documents ("%m"): two decimals,
    // a space between thousands, "." before the decimals, trimmed ("-1 234.50").
    QString formatMoney() const;
    // Grids and data-bound report fields: the mask "### ### ### ##0.00".
    QString formatMask() const;
    // Two decimals with "." and no grouping ("1234.50"), for settings files.
    QString toFixed2() const;

    constexpr Currency operator-() const { return fromRaw(-m_raw); }
    constexpr Currency operator+(Currency o) const { return fromRaw(m_raw + o.m_raw); }
    constexpr Currency operator-(Currency o) const { return fromRaw(m_raw - o.m_raw); }
    constexpr Currency operator*(std::int64_t k) const { return fromRaw(m_raw * k); }
    constexpr Currency& operator+=(Currency o) { m_raw += o.m_raw; return *this; }
    constexpr Currency& operator-=(Currency o) { m_raw -= o.m_raw; return *this; }
    constexpr auto operator<=>(const Currency&) const = default;
    constexpr bool operator==(const Currency&) const = default;

private:
    std::int64_t m_raw = 0;
};

// The largest amount the amount columns hold: DECIMAL(15,2), 9 999 999 999 999.99.
inline constexpr Currency MaxStoredAmount = Currency::fromRaw(999999999999999LL * 100);

// Grouping helper shared by the two money formats: `digits` is a run of decimal digits.
QString GroupThousands(const QString& digits, QChar separator = QLatin1Char(' '));
