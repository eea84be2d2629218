#include "data/RowCriteria.h"

#include <algorithm>

namespace criteria {

int CompareStoredText(const QString& a, const QString& b)
{
    const qsizetype n = std::max(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = i < a.size() ? a.at(i).unicode() : u' ';
        const char16_t y = i < b.size() ? b.at(i).unicode() : u' ';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool TextBetween(const db::Value& value, const QString& from, const QString& to)
{
    if (db::isNull(value))
        return false;
    const QString text = db::toText(value);
    return CompareStoredText(text, from) >= 0 && CompareStoredText(text, to) <= 0;
}

bool DateBetween(const db::Value& value, const QDate& from, const QDate& to)
{
    if (db::isNull(value))
        return false;
    const QDate d = db::toDate(value);
    return d.isValid() && d >= from && d <= to;
}

bool AmountBetween(const db::Value& value, Currency min, Currency max)
{
    if (db::isNull(value))
        return false;
    const Currency amount = db::toCurrency(value);
    return amount >= min && amount <= max;
}

bool KeyEquals(const db::Value& value, qint64 key)
{
    return !db::isNull(value) && db::toInt(value) == key;
}

} // namespace criteria
