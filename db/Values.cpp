#include "db/Database.h"

#include "db/Native.h"

namespace db {

QDate parseDateText(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* format : {"dd/MM/yyyy", "yyyy/MM/dd", "yyyy-MM-dd", "dd.MM.yyyy", "d/M/yyyy", "yyyy/M/d"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    return dt.isValid() ? dt.date() : QDate();
}

QDateTime parseDateTimeText(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* format : {"dd/MM/yyyy hh:mm:ss", "dd/MM/yyyy hh:mm", "yyyy/MM/dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt;
    const QDate d = parseDateText(t);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

const Value& nullValue()
{
    static const Value v;
    return v;
}

bool isNull(const Value& v)
{
    return std::holds_alternative<std::monostate>(v);
}

qint64 toInt(const Value& v)
{
    if (const auto* i = std::get_if<qint64>(&v))
        return *i;
    if (const auto* c = std::get_if<Currency>(&v))
        return c->units();
    if (const auto* d = std::get_if<double>(&v))
        return static_cast<qint64>(*d);
    if (const auto* s = std::get_if<QString>(&v)) {
        bool ok = false;
        const qint64 n = s->trimmed().toLongLong(&ok);
        if (ok)
            return n;
        if (const auto c = Currency::parse(*s))
            return c->units();
        return 0;
    }
    if (const auto* b = std::get_if<QByteArray>(&v))
        return b->trimmed().toLongLong();
    return 0;
}

double toDouble(const Value& v)
{
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<qint64>(&v))
        return double(*i);
    if (const auto* c = std::get_if<Currency>(&v))
        return c->toDouble();
    if (const auto* s = std::get_if<QString>(&v))
        return s->trimmed().toDouble();
    return 0.0;
}

Currency toCurrency(const Value& v)
{
    if (const auto* c = std::get_if<Currency>(&v))
        return *c;
    if (const auto* i = std::get_if<qint64>(&v))
        return Currency::fromUnits(*i);
    if (const auto* d = std::get_if<double>(&v))
        return Currency::fromDouble(*d);
    if (const auto* s = std::get_if<QString>(&v))
        return Currency::parse(*s).value_or(Currency());
    return Currency();
}

QString toText(const Value& v)
{
    return std::visit([](const auto& x) -> QString {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>)
            return QString();
        else if constexpr (std::is_same_v<T, qint64>)
            return QString::number(x);
        else if constexpr (std::is_same_v<T, double>)
            return QString::number(x, 'g', 15);
        else if constexpr (std::is_same_v<T, Currency>)
            return x.toPlainText();
        else if constexpr (std::is_same_v<T, QString>)
            return x;
        else if constexpr (std::is_same_v<T, QDate>)
            return x.toString(QStringLiteral("dd/MM/yyyy"));
        else if constexpr (std::is_same_v<T, QDateTime>)
            return x.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        else
            return QString::fromUtf8(x);
    }, v);
}

QDate toDate(const Value& v)
{
    if (const auto* d = std::get_if<QDate>(&v))
        return *d;
    if (const auto* dt = std::get_if<QDateTime>(&v))
        return dt->date();
    if (const auto* s = std::get_if<QString>(&v))
        return parseDateText(*s);
    return QDate();
}

QVariant toVariant(const Value& v)
{
    return std::visit([](const auto& x) -> QVariant {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>)
            return QVariant();
        else if constexpr (std::is_same_v<T, qint64>)
            return QVariant(qlonglong(x));
        else if constexpr (std::is_same_v<T, Currency>)
            return QVariant(x.toFixed2()); // exact, and readable back by Currency::parse
        else
            return QVariant(x);
    }, v);
}

QString QuoteText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

} // namespace db
