#include "core/Routines.h"

#include "core/GlobalState.h"
#include "core/MessageBox.h"
#include "db/Database.h"
#include "platform/Calculator.h"

#include <QCollator>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <cmath>

const QCollator& FrenchCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::French, QLocale::France));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

namespace {

// Words of 1 to 99; entry 0 is unused.
const QStringList& NumberWords()
{
    static const QStringList words = [] {
        const QStringList units = {
            QString(), QStringLiteral("Un"), QStringLiteral("Deux"), QStringLiteral("Trois"),
            QStringLiteral("Quatre"), QStringLiteral("Cinq"), QStringLiteral("Six"),
            QStringLiteral("Sept"), QStringLiteral("Huit"), QStringLiteral("Neuf"),
            QStringLiteral("Dix"), QStringLiteral("Onze"), QStringLiteral("Douze"),
            QStringLiteral("Treize"), QStringLiteral("Quatorze"), QStringLiteral("Quinze"),
            QStringLiteral("Seize"), QStringLiteral("Dix Sept"), QStringLiteral("Dix Huit"),
            QStringLiteral("Dix Neuf"),
        };
        QStringList w = units;   // 0..19
        const QStringList tens = {QStringLiteral("Vingt"), QStringLiteral("Trente"),
                                  QStringLiteral("Quarante"), QStringLiteral("Cinquante"),
                                  QStringLiteral("Soixante")};
        for (const QString& t : tens) {   // 20..69
            w << t << t + QStringLiteral(" et Un");
            for (int u = 2; u <= 9; ++u)
                w << t + QLatin1Char(' ') + units[u];
        }
        // 70..79
        w << QStringLiteral("Soixante Dix") << QStringLiteral("Soixante et Onze");
        for (int u = 12; u <= 19; ++u)
            w << QStringLiteral("Soixante ") + units[u];
        // 80..89
        w << QStringLiteral("Quatre Vingt") << QStringLiteral("Quatre Vingt ET Un");
        for (int u = 2; u <= 9; ++u)
            w << QStringLiteral("Quatre Vingt ") + units[u];
        // 90..99
        w << QStringLiteral("Quatre Vingt Dix") << QStringLiteral("Quatre Vingt et Onze");
        for (int u = 12; u <= 19; ++u)
            w << QStringLiteral("Quatre Vingt ") + units[u];
        return w;
    }();
    return words;
}

QString WordsOf(qint64 n) { return HundredsToWords(QString::number(n)).trimmed(); }

// Thousands and units of a number below a million, as the amount in words
// writes them: " Mille " alone for one thousand.
struct BelowMillion {
    QString thousands;
    QString units;
    QString Joined() const { return thousands + units; }
};

BelowMillion WordsBelowMillion(qint64 n)
{
    BelowMillion r;
    const qint64 thousands = n / 1000;
    if (thousands != 0) {
        const QString words = WordsOf(thousands);
        r.thousands = words.compare(QLatin1String("Un"), Qt::CaseInsensitive) == 0
            ? QStringLiteral(" Mille ")
            : words + QStringLiteral(" Mille ");
    }
    r.units = WordsOf(n % 1000);
    return r;
}

// "Un Million " / "Deux Millions " style group; empty for 0.
QString ScaleGroup(const QString& words, const char* one, const char* many)
{
    if (words.isEmpty())
        return QString();
    const bool single = words.compare(QLatin1String("Un"), Qt::CaseInsensitive) == 0;
    return words + QLatin1String(single ? one : many);
}

bool IsOneOf(const QString& value, std::initializer_list<const char*> list)
{
    for (const char* item : list)
        if (value == QLatin1String(item))
            return true;
    return false;
}

} // namespace

QString HundredsToWords(const QString& digits)
{
    bool ok = false;
    const int n = digits.trimmed().toInt(&ok);
    if (!ok || n <= 0 || n > 999)
        return QString();
    const QStringList& words = NumberWords();
    if (n < 100)
        return words[n];
    // Three digits: the hundreds, then the last two digits when not 0.
    const QString text = QString::number(n);
    const int d = text[0].digitValue();
    QString result = d == 1 ? QStringLiteral("Cent ") : words[d] + QStringLiteral(" Cent ");
    const int rest = text.mid(1, 2).toInt();
    if (rest != 0)
        result += words[rest];
    return result;
}

QString AmountToWords(Currency amount)
{
    // Worked from the exact amount: whole dinars, then the first two decimals
    // (the rest dropped, never rounded).
    const std::uint64_t raw = amount.raw() < 0 ? 0 - std::uint64_t(amount.raw()) : std::uint64_t(amount.raw());
    const auto whole = static_cast<qint64>(raw / Currency::Scale);
    const auto decimals = static_cast<int>(raw % Currency::Scale);

    QString cents;
    if (decimals != 0)
        cents = QStringLiteral("%1 Cts").arg(decimals / 100, 2, 10, QLatin1Char('0'));

    // A thousand milliards or more still reads as a number of milliards.
    const QString milliards = ScaleGroup(WordsBelowMillion(whole / 1000000000).Joined().trimmed(),
                                         " Milliard ", " Milliards ");
    const QString millions = ScaleGroup(WordsOf(whole / 1000000 % 1000), " Million ", " Millions ");
    const BelowMillion low = WordsBelowMillion(whole % 1000000);
    const bool lowPresent = !low.thousands.isEmpty() || !low.units.isEmpty();

    const QString text = (milliards + millions + low.thousands + low.units).trimmed();
    const QString dinars = lowPresent ? QStringLiteral(" Dinars") : QStringLiteral(" de Dinars");
    if (!text.isEmpty() && !cents.isEmpty())
        return text + dinars + QStringLiteral(" et ") + cents;
    if (!cents.isEmpty())
        return cents;
    if (!text.isEmpty())
        return text + dinars;
    return QString();
}

bool IsChapter02Article08(const QString& chapter, const QString& article)
{
    return IsOneOf(chapter, {"21.02", "21-02", "2102", "22.02", "22-02", "2202"})
        && IsOneOf(article, {"08", "8", "U"});
}

bool IsChapter05Article01(const QString& chapter, const QString& article)
{
    return IsOneOf(chapter, {"21.05", "21-05", "2105", "22.05", "22-05", "2205"})
        && IsOneOf(article, {"01", "1", "U"});
}

bool IsPostalBankName(const QString& bankName)
{
    const QString name = bankName.trimmed().toUpper();
    return name == QLatin1String("CCP") || name == QLatin1String("C.C.P") || name == QLatin1String("C C P");
}

bool IsChapter08(const QString& chapter)
{
    return IsOneOf(chapter, {"21.08", "21-08", "2108", "22.08", "22-08", "2208"});
}

QString PadLeft(const QString& text, const QString& pad, int width)
{
    if (pad.isEmpty() || text.size() >= width)
        return text;
    return QString(width - text.size(), pad[0]) + text;
}

QString PadRight(const QString& text, const QString& pad, int width)
{
    if (pad.isEmpty() || text.size() >= width)
        return text;
    return text + QString(width - text.size(), pad[0]);
}

QDate ParseDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

QDate DateWithinYear(const QDate& date, int fiscalYear)
{
    if (!date.isValid() || fiscalYear < 1 || fiscalYear > 9999)
        return date;
    if (date.year() < fiscalYear)
        return QDate(fiscalYear, 1, 1);
    if (date.year() > fiscalYear)
        return QDate(fiscalYear, 12, 31);
    return date;
}

QDate DefaultDate()
{
    return DateWithinYear(QDate::currentDate(), FiscalYear.trimmed().toInt());
}

QString DateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString DateToSqlText(const QDate& date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

int MonthOfDate(const QDate& date) { return date.month(); }

int YearOfDate(const QDate& date) { return date.year(); }

Currency TruncateDecimals(int decimals, Currency amount)
{
    if (decimals >= 4)
        return amount;
    if (decimals < 0)
        decimals = 0;
    std::int64_t step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    // The remainder keeps the sign of the amount, so this cuts toward zero.
    return Currency::fromRaw(amount.raw() - amount.raw() % step);
}

QString KeepCalcChars(const QString& text)
{
    static const QString allowed = QStringLiteral("0123456789+-*/.");
    QString result;
    for (const QChar c : text.trimmed())
        if (allowed.contains(c))
            result += c;
    return result;
}

bool IsNumberText(const QString& text)
{
    // Optional surrounding blanks, sign, digits with "." before the decimals,
    // optional exponent; no grouping, no other decimal separator.
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return false;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);   // C locale, whatever the machine's
    return ok && std::isfinite(value);
}

QString BuildConditionList(const QString& field, const QString& op, const QString& conjunction,
                           const QStringList& values)
{
    QString result;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            result += QLatin1Char(' ') + conjunction + QLatin1Char(' ');
        result += QLatin1Char('(') + field + QLatin1Char(' ') + op + QLatin1Char(' ')
            + db::QuoteText(values[i]) + QLatin1Char(')');
    }
    return result;
}

void SetPanelEditColors(QWidget* panel, bool editing)
{
    if (!panel)
        return;
    const auto children = panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const bool isEdit = qobject_cast<QLineEdit*>(child) || qobject_cast<QTextEdit*>(child)
            || qobject_cast<QPlainTextEdit*>(child) || qobject_cast<QComboBox*>(child);
        if (!isEdit)
            continue;
        QColor colour = editing && child->isEnabled() ? EditColorActive : EditColorInactive;
        if (!colour.isValid())   // not yet set: the window colour
            colour = QPalette().color(QPalette::Active, QPalette::Base);
        QPalette palette = child->palette();
        // Every colour group, so a disabled edit shows the colour too.
        palette.setColor(QPalette::Base, colour);
        // A list-only combo box shows its face in the button colour.
        if (auto* combo = qobject_cast<QComboBox*>(child); combo && !combo->isEditable())
            palette.setColor(QPalette::Button, colour);
        child->setPalette(palette);
    }
}

QString StripAccelerator(const QString& text)
{
    QString result = text;
    const qsizetype at = result.indexOf(QLatin1Char('&'));
    if (at >= 0)
        result.remove(at, 1);
    return result;
}

void RunCalculator()
{
    const char* message = nullptr;
    switch (platform::StartCalculator()) {
    case platform::StartError::NotEnoughMemory:
        message = "Mémoire insuffisante pour cette opération.";
        break;
    case platform::StartError::FileNotFound:
        message = "Le fichier : 'Calc.exe' est introuvable.";
        break;
    case platform::StartError::NotAProgram:
        message = "Ce programme ne peut pas être exécuté par Microsoft Windows.";
        break;
    case platform::StartError::None:
    case platform::StartError::Other:
        return;
    }
    ShowStandardDialog(QString::fromUtf8(message), StdDialogType::Error, MsgButton::OK);
}

QSize GetAverageCharSize(const QFont& font)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(letters) / 52, metrics.height());
}
