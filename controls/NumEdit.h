#pragma once
// TNumEdit: the single-line edit through which every amount is typed. It accepts
// only the characters of a number, keeps a fixed number of decimals while typing,
// groups thousands as the user types, strips the grouping when the text is copied
// or read, and checks a range when the focus leaves it. It stores nothing but its
// text: the value is read from the text whenever it is asked for.
//
// Every way the line edit offers to change its text (keys, paste by key, context
// menu or middle click, drag and drop, input method) goes through the same key
// rules; the edit keeps no undo history of its own, so Ctrl+Z and Ctrl+Y reach
// the window's shortcuts.
//
// The amount edits of the program are set up with SetDecimals(2) and
// SetNumberFormat(TNumEdit::Thousands): an amount then reads 1 234 567.89.

#include "core/Currency.h"

#include <QLineEdit>
#include <optional>
#include <stdexcept>

// Raised when the text of the edit cannot be read as an amount (beyond the range
// of the money type, or not a number at all).
class ENumConvertError : public std::runtime_error {
public:
    explicit ENumConvertError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

class TNumEdit : public QLineEdit {
    Q_OBJECT
public:
    enum TNumberFormat { Standard, Thousands, Scientific, Engineering };
    Q_ENUM(TNumberFormat)

    // The most significant digits a number keeps: a digit typed beyond them
    // beeps and is refused; fixed decimals count among them.
    static constexpr int MaxDigits = 15;

    // The process formats: "." before the decimals, a space between thousands.
    static constexpr QChar DecimalSeparator = QChar(u'.');
    static constexpr QChar ThousandSeparator = QChar(u' ');

    explicit TNumEdit(QWidget* parent = nullptr);

    // Number of decimals kept; -1 means free (up to 14 shown when present).
    int Decimals() const { return m_decimals; }
    void SetDecimals(int decimals);

    TNumberFormat NumberFormat() const { return m_numberFormat; }
    void SetNumberFormat(TNumberFormat format);

    // Bounds tested when the focus leaves; the range is tested only when one of
    // them is not 0. A range above zero is set maximum first.
    double MinValue() const { return m_minValue; }
    void SetMinValue(double value);
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double value);

    // Whole-text selection when the focus enters (also by a mouse click).
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool on) { m_autoSelect = on; }

    // The number shown, as floating point. An empty text reads 0, a lone "-"
    // reads negative zero; throws ENumConvertError when the text is no number.
    double Value() const;
    void SetValue(double value);

    // The amount shown, converted exactly (four decimals, half away from zero).
    // Throws ENumConvertError when the text is beyond the money type's range.
    Currency AsCurrency() const;
    void SetAsCurrency(Currency amount);
    // The same without throwing: nothing when the text cannot be read.
    std::optional<Currency> TryAsCurrency() const;

    // The text formatted from a value, and the text without its grouping.
    QString FormatNumber(double value) const;
    QString FormatAmount(Currency amount) const;
    static QString StripGrouping(const QString& text);

    // Clipboard, as the keys Ctrl+C, Ctrl+X and Ctrl+V do them.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

signals:
    // The ordinary exit notification: the focus left with a value in range.
    void exited();
    // Given instead of the default correction when the value is out of range on
    // exit; when nothing is connected the value is set to the nearer bound.
    void invalidEntry();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

    // The system beep of a refused character (a seam for tests).
    virtual void Beep();

private:
    struct Edit {
        QString text;
        int caret = 0;
    };

    bool HandlesKey(const QKeyEvent* e) const;
    // Whether a text holds no more digits than MaxDigits allows.
    bool WithinDigits(const QString& text) const;
    void KeyPressChar(QChar c);
    void DeleteDigit(bool backspace);
    void DeleteSelectedDigits();
    void DeleteDigitIn(Edit& ed, bool backspace) const;
    void PasteText(const QString& text);
    void RegroupWhileTyping(bool forced);
    void Reformat();
    void RejectOutOfRange(bool below);
    void Apply(const Edit& ed);
    QString FormattedZero() const;

    int m_decimals = -1;
    TNumberFormat m_numberFormat = Standard;
    double m_minValue = 0;
    double m_maxValue = 0;
    bool m_autoSelect = true;
    bool m_mouseFocus = false;     // the focus came by a mouse click
    bool m_swallowMouse = false;   // that click keeps the whole-text selection
};
