#include "controls/NumEdit.h"


#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QValidator>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr QChar kDec = TNumEdit::DecimalSeparator;
constexpr QChar kSep = TNumEdit::ThousandSeparator;
constexpr QChar kExp = QChar(u'E');
constexpr int kMaxExponent = 4932;

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// An exact decimal number: (-1)^neg * digits * 10^exp. `digits` holds no leading
// or trailing zeros; it is empty for zero (which may still carry a sign).
struct DecNum {
    bool neg = false;
    QString digits;
    qint64 exp = 0;

    bool isZero() const { return digits.isEmpty(); }
    // Position of the first significant digit: floor(log10(|value|)).
    qint64 magnitude() const { return digits.size() - 1 + exp; }
};

DecNum normalised(bool neg, QString digits, qint64 exp)
{
    int lead = 0;
    while (lead < digits.size() && digits[lead] == QLatin1Char('0'))
        ++lead;
    digits.remove(0, lead);
    while (!digits.isEmpty() && digits.endsWith(QLatin1Char('0'))) {
        digits.chop(1);
        ++exp;
    }
    if (digits.isEmpty())
        exp = 0;
    return DecNum{neg, digits, exp};
}

// Reads a plain number text: optional sign, digits, optional decimal separator
// and decimals, optional "E" with an optional sign and digits. Missing parts read
// as zero, so a number still being typed ("", "-", "1E", "1E-") always reads.
std::optional<DecNum> parsePlain(const QString& s)
{
    int i = 0;
    const int n = s.size();
    bool neg = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        neg = s[i] == QLatin1Char('-');
        ++i;
    }
    QString digits;
    qint64 exp = 0;
    while (i < n && isAsciiDigit(s[i]))
        digits += s[i++];
    if (i < n && s[i] == kDec) {
        ++i;
        while (i < n && isAsciiDigit(s[i])) {
            digits += s[i++];
            --exp;
        }
    }
    if (i < n && (s[i] == kExp || s[i] == QLatin1Char('e'))) {
        ++i;
        bool expNeg = false;
        if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
            expNeg = s[i] == QLatin1Char('-');
            ++i;
        }
        qint64 e = 0;
        int count = 0;
        while (i < n && isAsciiDigit(s[i])) {
            e = e * 10 + s[i++].digitValue();
            if (++count > 9)
                return std::nullopt;
        }
        exp += expNeg ? -e : e;
    }
    if (i != n)
        return std::nullopt;
    return normalised(neg, digits, exp);
}

std::optional<DecNum> fromDouble(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return parsePlain(QString::number(v, 'g', 15));
}

DecNum fromCurrency(Currency c)
{
    return *parsePlain(c.toPlainText());
}

double toDouble(const DecNum& d)
{
    if (d.isZero())
        return d.neg ? -0.0 : 0.0;
    const QByteArray text = (d.digits + QLatin1Char('e') + QString::number(d.exp)).toLatin1();
    const double v = std::strtod(text.constData(), nullptr);
    return d.neg ? -v : v;
}

// Adds one to a run of decimal digits.
QString incremented(QString digits)
{
    int i = digits.size() - 1;
    while (i >= 0 && digits[i] == QLatin1Char('9'))
        digits[i--] = QLatin1Char('0');
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    else
        digits[i] = QChar(digits[i].unicode() + 1);
    return digits;
}

// The digits of round(|d| * 10^places), half away from zero; "0" for zero.
QString roundedScaled(const DecNum& d, int places)
{
    if (d.isZero())
        return QStringLiteral("0");
    const qint64 shift = d.exp + places;
    QString out;
    if (shift >= 0) {
        out = d.digits + QString(int(shift), QLatin1Char('0'));
    } else {
        const qint64 cut = -shift;
        const int size = d.digits.size();
        if (cut > size) {
            out = QStringLiteral("0");
        } else {
            out = d.digits.left(size - int(cut));
            if (d.digits[size - int(cut)] >= QLatin1Char('5'))
                out = incremented(out.isEmpty() ? QStringLiteral("0") : out);
        }
    }
    int lead = 0;
    while (lead < out.size() - 1 && out[lead] == QLatin1Char('0'))
        ++lead;
    out.remove(0, lead);
    return out.isEmpty() ? QStringLiteral("0") : out;
}

std::optional<Currency> toCurrency(const DecNum& d)
{
    if (d.isZero())
        return Currency();
    // Anything of more than 19 digits once scaled cannot fit a signed 64-bit count.
    if (d.digits.size() + d.exp + 4 > 19)
        return std::nullopt;
    const QString scaled = roundedScaled(d, 4);
    bool ok = false;
    const qulonglong raw = scaled.toULongLong(&ok);
    if (!ok || raw > qulonglong(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return Currency::fromRaw(d.neg ? -qint64(raw) : qint64(raw));
}

bool allZeros(const QString& digits)
{
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

// |d| rounded to `places` decimals, then with the decimals trimmed of their
// trailing zeros when `trim` is set; integer part grouped on request.
QString decimalText(const DecNum& d, int places, bool group, bool trim)
{
    QString n = roundedScaled(d, places);
    const bool zero = allZeros(n);
    if (n.size() < places + 1)
        n.prepend(QString(places + 1 - n.size(), QLatin1Char('0')));
    QString intPart = n.left(n.size() - places);
    QString frac = n.right(places);
    if (trim)
        while (frac.endsWith(QLatin1Char('0')))
            frac.chop(1);
    if (group)
        intPart = GroupThousands(intPart, kSep);
    QString out = intPart;
    if (!frac.isEmpty())
        out += kDec + frac;
    if (d.neg && !zero)
        out.prepend(QLatin1Char('-'));
    return out;
}

int digitsBeforeSeparator(const QString& text)
{
    int count = 0;
    for (QChar c : text) {
        if (c == kDec)
            break;
        if (isAsciiDigit(c))
            ++count;
    }
    return count;
}

// Scientific notation: one digit before the separator, exponent with as few
// digits as needed and a sign only when negative.
QString scientificText(const DecNum& d, int decimals, bool group)
{
    const bool free = decimals < 0;
    const int places = free ? 14 : decimals;
    qint64 e = d.isZero() ? 0 : d.magnitude();
    QString mantissa;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DecNum m{d.neg, d.digits, d.exp - e};
        mantissa = decimalText(m, places, group, free);
        if (digitsBeforeSeparator(mantissa) <= 1)
            break;
        ++e;   // rounding carried into a second digit (9.99 -> 10.0)
    }
    return mantissa + kExp + QString::number(e);
}

QString engineeringText(const DecNum& d, int decimals)
{
    const qint64 l = d.magnitude();
    qint64 k;
    if (l >= 0)
        k = l / 3;
    else if (d.digits == QLatin1String("1"))
        k = -((-l) / 3);                // exact negative power of ten: ceil(l / 3)
    else
        k = -((-l + 2) / 3) + 1;        // floor(l / 3) + 1
    const DecNum m{d.neg, d.digits, d.exp - 3 * k};
    const double am = std::fabs(toDouble(m));
    int places = 14;
    if (am > 99)
        places = 12;
    else if (am > 9)
        places = 13;
    if (decimals != -1)
        places = std::min(places, decimals);
    return decimalText(m, places, false, decimals < 0) + kExp + QString::number(3 * k);
}

// Accepts only texts of the shape the key rules produce; a last guard for any
// edit path of the line edit that would not go through them.
class NumberShapeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        int i = 0;
        const int n = input.size();
        if (i < n && input[i] == QLatin1Char('-'))
            ++i;
        while (i < n && (isAsciiDigit(input[i]) || input[i] == kSep))
            ++i;
        if (i < n && input[i] == kDec) {
            ++i;
            while (i < n && isAsciiDigit(input[i]))
                ++i;
        }
        if (i < n && input[i] == kExp) {
            ++i;
            if (i < n && input[i] == QLatin1Char('-'))
                ++i;
            while (i < n && isAsciiDigit(input[i]))
                ++i;
        }
        return i == n ? Acceptable : Invalid;
    }
};

bool isNavigation(const QKeyEvent* e)
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::MoveToNextChar, QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine, QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock, QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar, QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock, QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument,
        QKeySequence::SelectAll,
    };
    for (auto k : keys)
        if (e->matches(k))
            return true;
    switch (e->key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

bool isTyping(const QKeyEvent* e)
{
    const QString t = e->text();
    if (t.isEmpty() || !t[0].isPrint())
        return false;
    const auto mods = e->modifiers();
    const bool altGr = (mods & Qt::ControlModifier) && (mods & Qt::AltModifier);
    return altGr || !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool isDeletion(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete;
}

// Formats an exact number with the edit's settings.
QString formatDec(const DecNum& d, int decimals, TNumEdit::TNumberFormat fmt)
{
    const bool thousands = fmt == TNumEdit::Thousands;
    if (fmt == TNumEdit::Engineering && !d.isZero())
        return engineeringText(d, decimals);
    if (fmt == TNumEdit::Scientific || fmt == TNumEdit::Engineering)
        return scientificText(d, decimals, false);
    // A number of more than fifteen integer digits only comes from an
    // exponent the user typed: it keeps the scientific form.
    if (!d.isZero() && d.magnitude() >= TNumEdit::MaxDigits)
        return scientificText(d, -1, false);
    if (decimals < 0) {
        QString s = decimalText(d, 14, thousands, true);
        if (thousands && s.contains(kDec))
            s = decimalText(d, std::max(15 - digitsBeforeSeparator(s), 0), true, true);
        return s;
    }
    QString s = decimalText(d, decimals, thousands, false);
    if (decimals > 0) {
        // No more than fifteen significant digits: the missing decimals are zeros.
        const int room = 15 - digitsBeforeSeparator(s);
        if (room < decimals) {
            const int kept = std::max(room, 0);
            s = decimalText(d, kept, thousands, false);
            s += kept > 0 ? QString(decimals - kept, QLatin1Char('0'))
                          : kDec + QString(decimals, QLatin1Char('0'));
        }
    }
    return s;
}

// The digits of a number's text: those of the integer part after its leading
// zeros, those of the decimals, and the value of the whole text (none while it
// is no number).
struct DigitCount {
    int integer = 0;
    int decimals = 0;
    std::optional<DecNum> value;
};

DigitCount countDigits(const QString& text)
{
    DigitCount count;
    const int e = text.indexOf(kExp);
    const QString mantissa = e >= 0 ? text.left(e) : text;
    const int d = mantissa.indexOf(kDec);
    bool leading = true;
    for (int i = 0; i < mantissa.size(); ++i) {
        const QChar c = mantissa[i];
        if (!isAsciiDigit(c))
            continue;
        if (d >= 0 && i > d) {
            ++count.decimals;
        } else if (!(leading && c == QLatin1Char('0'))) {
            leading = false;
            ++count.integer;
        }
    }
    count.value = parsePlain(TNumEdit::StripGrouping(text));
    return count;
}

// Where the caret goes when `old` is rewritten as `now` by the grouping: after
// as many of the characters it had before it (the separators aside), so that
// the next digit goes where the last one went. Decimals the grouping appends
// (an integer typed into an empty field gaining its ".00") come after it and
// never draw it in. A completed exponent, which the grouping turns into
// integer digits, leaves the caret at the end of the integer part.
int CaretAfterRegrouping(const QString& old, int caret, const QString& now)
{
    if (old.contains(kExp) && !now.contains(kExp)) {
        const int d = now.indexOf(kDec);
        return d >= 0 ? d : int(now.size());
    }
    int before = 0;
    for (int i = 0; i < std::min(caret, int(old.size())); ++i)
        if (old[i] != kSep)
            ++before;
    int pos = 0;
    for (int seen = 0; pos < now.size() && seen < before; ++pos)
        if (now[pos] != kSep)
            ++seen;
    return pos;
}

} // namespace

TNumEdit::TNumEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumberShapeValidator(this));
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    setDragEnabled(false);
    resize(100, sizeHint().height());
    setText(FormattedZero());
}

QString TNumEdit::StripGrouping(const QString& text)
{
    QString s = text;
    s.remove(kSep);
    if (s.isEmpty())
        return QStringLiteral("0");
    if (s == QLatin1String("-"))
        return QStringLiteral("-0");
    return s;
}

QString TNumEdit::FormattedZero() const
{
    return formatDec(DecNum{}, m_decimals, m_numberFormat);
}

QString TNumEdit::FormatNumber(double value) const
{
    const auto d = fromDouble(value);
    return d ? formatDec(*d, m_decimals, m_numberFormat) : QString::number(value);
}

QString TNumEdit::FormatAmount(Currency amount) const
{
    return formatDec(fromCurrency(amount), m_decimals, m_numberFormat);
}

double TNumEdit::Value() const
{
    const auto d = parsePlain(StripGrouping(text()));
    if (!d)
        throw ENumConvertError(QStringLiteral("'%1' n'est pas une valeur numérique correcte").arg(text()));
    return toDouble(*d);
}

void TNumEdit::SetValue(double value)
{
    if (!std::isfinite(value))
        return;
    const QString s = FormatNumber(value);
    if (s != text())
        setText(s);
}

std::optional<Currency> TNumEdit::TryAsCurrency() const
{
    const auto d = parsePlain(StripGrouping(text()));
    if (!d)
        return std::nullopt;
    return toCurrency(*d);
}

Currency TNumEdit::AsCurrency() const
{
    const auto c = TryAsCurrency();
    if (!c)
        throw ENumConvertError(QStringLiteral("'%1' n'est pas un montant correct").arg(text()));
    return *c;
}

void TNumEdit::SetAsCurrency(Currency amount)
{
    const QString s = FormatAmount(amount);
    if (s != text())
        setText(s);
}

void TNumEdit::Reformat()
{
    const auto d = parsePlain(StripGrouping(text()));
    if (!d)
        return;
    const QString s = formatDec(*d, m_decimals, m_numberFormat);
    if (s != text())
        setText(s);
}

void TNumEdit::SetDecimals(int decimals)
{
    if (decimals == m_decimals)
        return;
    if (decimals < 0)
        decimals = -1;
    if (decimals > 14)
        decimals = 14;
    if (maxLength() > 0 && maxLength() < decimals + 2)
        decimals = std::max(maxLength() - 2, -1);
    m_decimals = decimals;
    Reformat();
}

void TNumEdit::SetNumberFormat(TNumberFormat format)
{
    m_numberFormat = format;
    Reformat();
}

void TNumEdit::SetMinValue(double value)
{
    if (value != m_minValue && value <= m_maxValue)
        m_minValue = value;
}

void TNumEdit::SetMaxValue(double value)
{
    if (value != m_maxValue && value >= m_minValue)
        m_maxValue = value;
}

void TNumEdit::Beep()
{
    QApplication::beep();
}

void TNumEdit::Apply(const Edit& ed)
{
    const int caret = std::clamp(ed.caret, 0, int(ed.text.size()));
    if (ed.text != text()) {
        setText(ed.text);
        setModified(true);
        setCursorPosition(caret);
        emit textEdited(ed.text);
    } else {
        setCursorPosition(caret);
    }
}

// ---- key rules ------------------------------------------------------------

void TNumEdit::KeyPressChar(QChar c)
{
    if (isReadOnly())
        return;
    if (c == QLatin1Char('e'))
        c = kExp;
    const bool digit = isAsciiDigit(c);
    const bool accepted = digit || c == QLatin1Char('-') || c == kExp || (c == kDec && m_decimals != 0);
    if (!accepted) {
        Beep();
        return;
    }
    int caret = cursorPosition();
    if (hasSelectedText()) {
        if (c == kExp || c == kDec) {
            caret = selectionStart();
        } else {
            DeleteSelectedDigits();
            caret = cursorPosition();
        }
    }
    QString t = text();
    const int d = t.indexOf(kDec);
    const int e = t.indexOf(kExp);
    if (t.startsWith(QLatin1Char('-')) && caret == 0)
        caret = 1;

    if (c == QLatin1Char('-')) {
        if (e >= 0 && caret >= e) {
            // The exponent's sign; the caret moves with it.
            if (e + 1 < t.size() && t[e + 1] == QLatin1Char('-')) {
                t.remove(e + 1, 1);
                if (caret >= e + 2)
                    --caret;
            } else {
                t.insert(e + 1, QLatin1Char('-'));
                if (caret >= e + 1)
                    ++caret;
            }
        } else if (t.startsWith(QLatin1Char('-'))) {
            t.remove(0, 1);
            caret = std::max(caret - 1, 0);
        } else {
            t.prepend(QLatin1Char('-'));
            ++caret;
        }
    } else if (c == kDec) {
        if (d >= 0) {
            caret = d + 1;
        } else if (m_decimals < 0 || (e >= 0 && caret > e)) {
            const int at = e >= 0 ? e : int(t.size());
            t.insert(at, kDec);
            caret = at + 1;
        } else {
            t.insert(caret, kDec);
            ++caret;
        }
    } else if (c == kExp) {
        if (e >= 0) {
            caret = e + 1;
        } else {
            t.append(kExp);
            caret = t.size();
        }
    } else {
        const int expDigits = e >= 0 ? e + 1 + ((e + 1 < t.size() && t[e + 1] == QLatin1Char('-')) ? 1 : 0) : -1;
        if (e >= 0 && caret == e + 1 && expDigits == e + 2)
            caret = expDigits;   // never between the "E" and the exponent's sign
        if (t.startsWith(QLatin1String("-0")) && caret <= 2) {
            t[1] = c;
            caret = 2;
        } else if (t.startsWith(QLatin1Char('0')) && caret <= 1) {
            t[0] = c;
            caret = 1;
        } else if (e >= 0 && caret == expDigits && expDigits < t.size() && t[expDigits] == QLatin1Char('0')) {
            t[expDigits] = c;
            caret = expDigits + 1;
        } else if (e >= 0 && caret > e) {
            QString candidate = t;
            candidate.insert(caret, c);
            const qint64 exponent = candidate.mid(expDigits).toLongLong();
            if (candidate.mid(expDigits).size() > 5 || exponent > kMaxExponent) {
                Beep();
                return;
            }
            t = candidate;
            ++caret;
        } else if (d < 0 || caret <= d) {
            t.insert(caret, c);
            ++caret;
        } else {
            const int decEnd = e >= 0 ? e : int(t.size());
            if (m_decimals > 0) {
                if (caret >= decEnd) {
                    Beep();
                    return;
                }
                t[caret] = c;
                ++caret;
            } else {
                t.insert(caret, c);
                ++caret;
            }
        }
        if (!WithinDigits(t)) {
            Beep();
            return;
        }
    }
    Apply(Edit{t, caret});
}

bool TNumEdit::WithinDigits(const QString& text) const
{
    // Fixed decimals always show, so they take their places among the fifteen
    // (an amount with two decimals holds at most thirteen integer digits, as a
    // DECIMAL(15,2) column); free decimals count as they are typed.
    const DigitCount count = countDigits(text);
    const int integerRoom = MaxDigits - std::max(m_decimals, 0);
    if (count.integer > integerRoom)
        return false;
    if (m_decimals <= 0 && count.integer + count.decimals > MaxDigits)
        return false;
    // Grouped while typing, an exponent becomes integer digits on the spot.
    if (m_numberFormat == Thousands && text.contains(kExp) && count.value && !count.value->isZero()
        && count.value->magnitude() + 1 > integerRoom)
        return false;
    return true;
}

void TNumEdit::DeleteDigitIn(Edit& ed, bool backspace) const
{
    QString& t = ed.text;
    int pos = backspace ? ed.caret - 1 : ed.caret;
    auto skipped = [&](int p) { return p >= 0 && p < t.size() && (t[p] == kSep || t[p] == kDec || t[p] == kExp); };
    if (skipped(pos))
        pos += backspace ? -1 : 1;
    if (pos < 0 || pos >= t.size())
        return;
    const int d = t.indexOf(kDec);
    const int e = t.indexOf(kExp);
    if (d >= 0 && pos > d && (e < 0 || pos < e)) {
        // A decimal digit: the gap closes and, with fixed decimals, a "0" keeps their count.
        t.remove(pos, 1);
        if (m_decimals > 0)
            t.insert(e >= 0 ? e - 1 : int(t.size()), QLatin1Char('0'));
        ed.caret = pos;
        return;
    }
    if (pos == 0 && t[0] == QLatin1Char('-')) {
        t.remove(0, 1);
        if (t.isEmpty())
            t = QStringLiteral("0");
        ed.caret = 0;
        return;
    }
    const int intStart = t.startsWith(QLatin1Char('-')) ? 1 : 0;
    const bool lastOfInteger = pos + 1 >= t.size() || t[pos + 1] == kDec || t[pos + 1] == kExp;
    if (pos == intStart && isAsciiDigit(t[pos]) && lastOfInteger) {
        // The only digit of the integer part becomes "0".
        t[pos] = QLatin1Char('0');
        ed.caret = pos + 1;
        return;
    }
    t.remove(pos, 1);
    ed.caret = pos;
    if ((m_numberFormat == Scientific || m_numberFormat == Engineering) && t.endsWith(kExp))
        t.append(QLatin1Char('0'));
    if (t.isEmpty())
        t = QStringLiteral("0");
}

void TNumEdit::DeleteDigit(bool backspace)
{
    if (isReadOnly())
        return;
    Edit ed{text(), cursorPosition()};
    DeleteDigitIn(ed, backspace);
    Apply(ed);
}

void TNumEdit::DeleteSelectedDigits()
{
    if (isReadOnly() || !hasSelectedText())
        return;
    const int start = selectionStart();
    const QString sel = selectedText();
    if (start == 0 && sel.size() == text().size()) {
        Apply(Edit{FormattedZero(), 0});
        return;
    }
    const int count = int(sel.size() - sel.count(kSep) - (sel.contains(kDec) ? 1 : 0));
    Edit ed{text(), start + int(sel.size())};
    for (int i = 0; i < count; ++i)
        DeleteDigitIn(ed, true);
    Apply(ed);
}

void TNumEdit::PasteText(const QString& pasted)
{
    if (isReadOnly())
        return;
    DeleteSelectedDigits();
    for (QChar c : pasted)
        KeyPressChar(c);
    RegroupWhileTyping(false);
}

void TNumEdit::RegroupWhileTyping(bool forced)
{
    if (m_numberFormat != Thousands || hasSelectedText() || isReadOnly())
        return;
    const QString old = text();
    const auto d = parsePlain(StripGrouping(old));
    if (!d)
        return;
    const QString now = formatDec(*d, m_decimals, m_numberFormat);
    const int oldSeps = int(old.count(kSep));
    const int newSeps = int(now.count(kSep));
    if (!forced && oldSeps == newSeps && old.indexOf(kSep) == now.indexOf(kSep))
        return;
    int caret = CaretAfterRegrouping(old, cursorPosition(), now);
    if (caret < now.size() && now[caret] == kSep)
        ++caret;
    if (now != old) {
        setText(now);
        emit textEdited(now);
    }
    setCursorPosition(caret);
}

// ---- clipboard ------------------------------------------------------------

void TNumEdit::CopyToClipboard()
{
    const QString sel = hasSelectedText() ? selectedText() : QString();
    QGuiApplication::clipboard()->setText(StripGrouping(sel));
}

void TNumEdit::CutToClipboard()
{
    CopyToClipboard();
    DeleteSelectedDigits();
}

void TNumEdit::PasteFromClipboard()
{
    PasteText(QGuiApplication::clipboard()->text());
}

// ---- events ---------------------------------------------------------------

bool TNumEdit::HandlesKey(const QKeyEvent* e) const
{
    if (e->matches(QKeySequence::Copy))
        return true;
    if (e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Paste))
        return !isReadOnly();
    if (isNavigation(e))
        return true;
    if (isDeletion(e) && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return !isReadOnly();
    return isTyping(e) && !isReadOnly();
}

bool TNumEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // Only the keys the edit handles itself are kept from the window's
        // shortcuts (Ctrl+Z, Ctrl+S, F-keys... reach the window).
        auto* ke = static_cast<QKeyEvent*>(e);
        if (HandlesKey(ke))
            ke->accept();
        else
            ke->ignore();
        return true;
    }
    return QLineEdit::event(e);
}

void TNumEdit::keyPressEvent(QKeyEvent* e)
{
    m_mouseFocus = false;
    m_swallowMouse = false;
    if (e->matches(QKeySequence::Copy)) {
        CopyToClipboard();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        if (!isReadOnly())
            CutToClipboard();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        e->accept();
        return;
    }
    if (isNavigation(e)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // The line edit tells its listeners and leaves the key to the window.
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (isDeletion(e)) {
        if (!isReadOnly()) {
            if (hasSelectedText())
                DeleteSelectedDigits();
            else
                DeleteDigit(e->key() == Qt::Key_Backspace);
        }
        e->accept();
        return;
    }
    if (isTyping(e)) {
        if (!isReadOnly())
            for (QChar c : e->text())
                KeyPressChar(c);
        e->accept();
        return;
    }
    // Anything else (undo, redo, line deletions, F-keys, Esc) is not an edit of ours.
    e->ignore();
}

void TNumEdit::keyReleaseEvent(QKeyEvent* e)
{
    QLineEdit::keyReleaseEvent(e);
    const int key = e->key();
    RegroupWhileTyping(key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space);
}

void TNumEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    const Qt::FocusReason reason = e->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    if (m_autoSelect) {
        selectAll();
        m_mouseFocus = reason == Qt::MouseFocusReason;
    } else if (hasSelectedText()) {
        deselect();
    }
}

void TNumEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    m_mouseFocus = false;
    m_swallowMouse = false;
    const Qt::FocusReason reason = e->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    Reformat();
    const auto d = parsePlain(StripGrouping(text()));
    if (d && (m_minValue != 0 || m_maxValue != 0)) {
        const double v = toDouble(*d);
        if (v < m_minValue) {
            RejectOutOfRange(true);
            return;
        }
        if (v > m_maxValue) {
            RejectOutOfRange(false);
            return;
        }
    }
    emit exited();
}

void TNumEdit::RejectOutOfRange(bool below)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TNumEdit::invalidEntry))) {
        emit invalidEntry();
        return;
    }
    SetValue(below ? m_minValue : m_maxValue);
    Beep();
    // The focus is given back once the change of focus under way is over.
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void TNumEdit::mousePressEvent(QMouseEvent* e)
{
    if (m_mouseFocus && e->button() == Qt::LeftButton) {
        // The click that gave the focus keeps the whole text selected.
        m_mouseFocus = false;
        m_swallowMouse = true;
        e->accept();
        return;
    }
    m_mouseFocus = false;
    QLineEdit::mousePressEvent(e);
}

void TNumEdit::mouseMoveEvent(QMouseEvent* e)
{
    if (m_swallowMouse) {
        e->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(e);
}

void TNumEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_swallowMouse) {
        m_swallowMouse = false;
        e->accept();
        return;
    }
    if (e->button() == Qt::MiddleButton) {
        // The selection paste of the platform goes through the key rules too.
        QClipboard* clip = QGuiApplication::clipboard();
        if (clip->supportsSelection() && !isReadOnly()) {
            deselect();
            setCursorPosition(cursorPositionAt(e->position().toPoint()));
            PasteText(clip->text(QClipboard::Selection));
        }
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TNumEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    const bool editable = !isReadOnly();
    const bool selection = hasSelectedText();
    auto add = [&](const QString& caption, QKeySequence::StandardKey key, bool enabled, std::function<void()> fn) {
        QAction* a = menu.addAction(caption);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, std::move(fn));
    };
    add(QStringLiteral("Couper"), QKeySequence::Cut, editable && selection, [this] {
        CutToClipboard();
        RegroupWhileTyping(false);
    });
    add(QStringLiteral("Copier"), QKeySequence::Copy, selection, [this] { CopyToClipboard(); });
    add(QStringLiteral("Coller"), QKeySequence::Paste, editable && !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { PasteFromClipboard(); });
    add(QStringLiteral("Supprimer"), QKeySequence::Delete, editable && selection, [this] {
        DeleteSelectedDigits();
        RegroupWhileTyping(false);
    });
    menu.addSeparator();
    add(QStringLiteral("Sélectionner tout"), QKeySequence::SelectAll, !text().isEmpty(), [this] { selectAll(); });
    menu.exec(e->globalPos());
    e->accept();
}

void TNumEdit::dropEvent(QDropEvent* e)
{
    if (isReadOnly() || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    QDragLeaveEvent leave;
    QLineEdit::dragLeaveEvent(&leave);
    deselect();
    setCursorPosition(cursorPositionAt(e->position().toPoint()));
    PasteText(e->mimeData()->text());
    // Copied, never moved: the source keeps its text.
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void TNumEdit::inputMethodEvent(QInputMethodEvent* e)
{
    if (isReadOnly()) {
        e->ignore();
        return;
    }
    const QString commit = e->commitString();
    if (!commit.isEmpty()) {
        for (QChar c : commit)
            KeyPressChar(c);
        RegroupWhileTyping(false);
    }
    e->accept();
}
