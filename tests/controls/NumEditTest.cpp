// The numeric edit: key rules while typing, grouping, reading the text as an
// amount, clipboard and the other ways of changing the text, focus and range.
#include "controls/NumEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class BeepCountingEdit : public TNumEdit {
public:
    using TNumEdit::TNumEdit;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

// Types a key script: plain characters are typed, {NAME} is a key:
// {BS} {DEL} {HOME} {END} {LEFT} {RIGHT} {ALL} (Ctrl+A) {SPACE} {ENTER}.
void Type(QWidget* w, const QString& script)
{
    for (int i = 0; i < script.size(); ++i) {
        if (script[i] == QLatin1Char('{')) {
            const int end = script.indexOf(QLatin1Char('}'), i);
            const QString name = script.mid(i + 1, end - i - 1);
            i = end;
            if (name == QLatin1String("BS")) QTest::keyClick(w, Qt::Key_Backspace);
            else if (name == QLatin1String("DEL")) QTest::keyClick(w, Qt::Key_Delete);
            else if (name == QLatin1String("HOME")) QTest::keyClick(w, Qt::Key_Home);
            else if (name == QLatin1String("END")) QTest::keyClick(w, Qt::Key_End);
            else if (name == QLatin1String("LEFT")) QTest::keyClick(w, Qt::Key_Left);
            else if (name == QLatin1String("RIGHT")) QTest::keyClick(w, Qt::Key_Right);
            else if (name == QLatin1String("ALL")) QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            else if (name == QLatin1String("SPACE")) QTest::keyClick(w, Qt::Key_Space, Qt::NoModifier);
            else if (name == QLatin1String("ENTER")) QTest::keyClick(w, Qt::Key_Return);
            else ADD_FAILURE() << "unknown key " << name.toStdString();
        } else {
            QTest::keyClick(w, script[i].toLatin1());
        }
    }
}

struct TypingCase {
    const char* start;      // text before typing
    int decimals;
    TNumEdit::TNumberFormat format;
    const char* keys;
    const char* text;       // text after typing
    int caret;              // caret after typing, -1 not checked
    int beeps;
};

class NumEditTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(NumEditTyping, KeysGiveTextCaretAndBeeps)
{
    const TypingCase& c = GetParam();
    BeepCountingEdit ed;
    ed.SetDecimals(c.decimals);
    ed.SetNumberFormat(c.format);
    ed.setText(QString::fromUtf8(c.start));
    ed.setCursorPosition(0);
    Type(&ed, QString::fromUtf8(c.keys));
    EXPECT_EQ(ed.text().toStdString(), c.text) << "keys " << c.keys;
    if (c.caret >= 0) {
        EXPECT_EQ(ed.cursorPosition(), c.caret) << "keys " << c.keys;
    }
    EXPECT_EQ(ed.beeps, c.beeps) << "keys " << c.keys;
}

constexpr auto T = TNumEdit::Thousands;
constexpr auto S = TNumEdit::Standard;

INSTANTIATE_TEST_SUITE_P(Cases, NumEditTyping, ::testing::Values(
    // Regrouped on every key release; the separator jumps; a digit beyond the decimals beeps.
    TypingCase{"0.00", 2, T, "{ALL}1234", "1 234.00", 5, 0},
    TypingCase{"0.00", 2, T, "{ALL}12345", "12 345.00", 6, 0},
    TypingCase{"0.00", 2, T, "{ALL}12345.67", "12 345.67", 9, 0},
    TypingCase{"0.00", 2, T, "{ALL}12345.678", "12 345.67", 9, 1},
    TypingCase{"0.00", 2, T, "{ALL}1234567", "1 234 567.00", 9, 0},
    // A second separator only moves the caret after the first one.
    TypingCase{"0.00", 2, T, "{ALL}1.2.3", "1.30", 3, 0},
    // Letters and other characters beep and change nothing.
    TypingCase{"0.00", 2, T, "{ALL}1a,2+", "12.00", 2, 3},
    TypingCase{"0.00", 0, S, "{ALL}1.5", "15", 2, 1},
    // Backspace after a thousands separator removes the digit before it.
    TypingCase{"12 345.67", 2, T, "{RIGHT}{RIGHT}{RIGHT}{BS}", "1 345.67", 1, 0},
    // Removing decimals keeps their count.
    TypingCase{"12 345.67", 2, T, "{END}{BS}", "12 345.60", 8, 0},
    TypingCase{"12 345.67", 2, T, "{END}{LEFT}{BS}", "12 345.70", 7, 0},
    TypingCase{"1.25", 2, S, "{HOME}{RIGHT}{DEL}", "1.50", 2, 0},
    // The only integer digit becomes "0"; with a sign too.
    TypingCase{"5.00", 2, T, "{HOME}{RIGHT}{BS}", "0.00", 1, 0},
    TypingCase{"-5.00", 2, T, "{HOME}{RIGHT}{RIGHT}{BS}", "-0.00", 2, 0},
    // Regrouping when a digit goes: 1 234 -> 234.
    TypingCase{"1 234.00", 2, T, "{HOME}{DEL}", "234.00", 0, 0},
    // "-" toggles the sign from anywhere in the number; the caret never goes before it.
    TypingCase{"1 234.50", 2, T, "{END}-", "-1 234.50", 9, 0},
    TypingCase{"-1 234.50", 2, T, "{END}{LEFT}{LEFT}-", "1 234.50", 6, 0},
    TypingCase{"-5.00", 2, T, "{HOME}7", "-75.00", 2, 0},
    TypingCase{"0.00", 2, T, "{ALL}-5", "-5.00", 2, 0},
    // An incomplete exponent stays as typed without any error; completed, it is regrouped.
    TypingCase{"0.00", 2, T, "{ALL}1E", "1.00E", 5, 0},
    TypingCase{"0.00", 2, T, "{ALL}1E-", "1.00E-", 6, 0},
    TypingCase{"0.00", 2, T, "{ALL}1E3", "1 000.00", -1, 0},
    // The exponent is limited to 4932.
    TypingCase{"0", -1, S, "{ALL}1E4932", "1E4932", 6, 0},
    TypingCase{"0", -1, S, "{ALL}1E49321", "1E4932", 6, 1},
    TypingCase{"0", -1, S, "{ALL}1E5--", "1E5", 3, 0},
    // Free decimals: no limit; the separator goes before the exponent.
    TypingCase{"0", -1, S, "{ALL}1.23456", "1.23456", 7, 0},
    TypingCase{"0", -1, S, "{ALL}12E3.", "12.E3", 3, 0},
    // Fifteen significant digits, the fixed decimals among them: an amount
    // holds thirteen integer digits; digits beyond beep, and no exponent ever
    // shows that was not typed.
    TypingCase{"0.00", 2, T, "{ALL}1234567890123", "1 234 567 890 123.00", 17, 0},
    TypingCase{"0.00", 2, T, "{ALL}1234567890123456789", "1 234 567 890 123.00", 17, 6},
    TypingCase{"0.00", 2, T, "{ALL}9999999999999.999", "9 999 999 999 999.99", 20, 1},
    TypingCase{"0", -1, S, "{ALL}1234567890123456", "123456789012345", 15, 1},
    TypingCase{"0", -1, S, "{ALL}1.234567890123456", "1.23456789012345", 16, 1},
    // Grouped as it is typed, an exponent may not make more integer digits either.
    TypingCase{"1 000 000 000 000.00", 2, T, "{END}E1", "1 000 000 000 000.00E", -1, 1},
    // Space beeps but regroups; Enter regroups.
    TypingCase{"1234.00", 2, T, "{END}{SPACE}", "1 234.00", 8, 1},
    TypingCase{"1234.00", 2, T, "{END}{ENTER}", "1 234.00", 8, 0}));

// An amount cell opens empty where an amount field opens on "0.00" (and
// selects it): the same keys give the same amount in both, whatever the
// regrouping does to the text on the way.
TEST(NumEdit, TypingIntoAnEmptyFieldGivesWhatTypingIntoZeroGives)
{
    struct Case {
        const char* keys;
        const char* text;   // after Enter
    };
    const Case cases[] = {
        {"2800000", "2 800 000.00"},   {"612500.75", "612 500.75"},   {"250000", "250 000.00"},
        {"1234", "1 234.00"},          {"12", "12.00"},               {"9999.9", "9 999.90"},
        {"1000000.05", "1 000 000.05"}, {"-45000", "-45 000.00"},     {"123456{BS}7", "123 457.00"},
        {"1234567{HOME}9", "91 234 567.00"}, {"1E6", "1 000 000.00"}, {"1234567890123", "1 234 567 890 123.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        for (const char* start : {"", "0.00"}) {
            SCOPED_TRACE(start);
            BeepCountingEdit ed;
            ed.SetDecimals(2);
            ed.SetNumberFormat(T);
            ed.setText(QString::fromLatin1(start));
            Type(&ed, QStringLiteral("{ALL}") + QString::fromLatin1(c.keys) + QStringLiteral("{ENTER}"));
            EXPECT_EQ(ed.text().toStdString(), c.text);
            EXPECT_EQ(ed.AsCurrency(), *Currency::parse(TNumEdit::StripGrouping(QString::fromLatin1(c.text))));
            EXPECT_EQ(ed.beeps, 0);
        }
    }
}

TEST(NumEdit, SelectionDeletionAndReplacement)
{
    BeepCountingEdit ed;
    ed.SetDecimals(2);
    ed.SetNumberFormat(T);
    ed.setText(QStringLiteral("12 345.67"));
    ed.setSelection(4, 2);   // "45"
    QTest::keyClick(&ed, Qt::Key_Delete);
    EXPECT_EQ(ed.text(), QStringLiteral("123.67"));
    EXPECT_EQ(ed.cursorPosition(), 3);

    ed.setText(QStringLiteral("12.34"));
    ed.setSelection(2, 2);   // ".3": the separator is not a digit to remove
    QTest::keyClick(&ed, Qt::Key_Backspace);
    EXPECT_EQ(ed.text(), QStringLiteral("12.40"));

    ed.setText(QStringLiteral("9 876.54"));
    ed.selectAll();
    QTest::keyClick(&ed, '3');
    EXPECT_EQ(ed.text(), QStringLiteral("3.00"));
}

struct ReadCase {
    const char* text;
    bool ok;
    qint64 raw;     // ten-thousandths
};

TEST(NumEdit, TextReadsStraightIntoCurrency)
{
    const ReadCase cases[] = {
        {"", true, 0},
        {"-", true, 0},
        {"1 234 567.89", true, 12345678900},
        {"-1 234 567.89", true, -12345678900},
        {"0.00005", true, 1},                 // half away from zero
        {"-0.00005", true, -1},
        {"0.00004", true, 0},
        {"9 999 999 999 999.99", true, 99999999999999900},
        {"0.1", true, 1000},                  // exact, no binary fraction
        {"1E3", true, 10000000},
        {"1.5E-2", true, 150},
        {"1E", true, 10000},                  // an exponent not yet typed reads as E0
        {"1E-", true, 10000},
        {"922337203685477.5807", true, 9223372036854775807LL},
        {"922337203685477.5808", false, 0},
        {"1E4932", false, 0},
        {"12.3.4", false, 0},
        {"1-2", false, 0},
        {"abc", false, 0},
    };
    TNumEdit ed;
    for (const ReadCase& c : cases) {
        ed.setText(QString::fromUtf8(c.text));
        const auto v = ed.TryAsCurrency();
        ASSERT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v->raw(), c.raw) << c.text;
            EXPECT_EQ(ed.AsCurrency().raw(), c.raw) << c.text;
        } else {
            EXPECT_THROW(ed.AsCurrency(), ENumConvertError) << c.text;
        }
    }
    ed.setText(QStringLiteral("-"));
    EXPECT_TRUE(std::signbit(ed.Value()));
    ed.setText(QString());
    EXPECT_EQ(ed.Value(), 0.0);
    ed.setText(QStringLiteral("1 234.5"));
    EXPECT_DOUBLE_EQ(ed.Value(), 1234.5);
    ed.setText(QStringLiteral("x"));
    EXPECT_THROW(ed.Value(), ENumConvertError);
}

struct FormatCase {
    int decimals;
    TNumEdit::TNumberFormat format;
    const char* amount;     // plain decimal text
    const char* text;
};

TEST(NumEdit, FormatsAmounts)
{
    const FormatCase cases[] = {
        {2, T, "1234567.89", "1 234 567.89"},
        {2, T, "0", "0.00"},
        {2, T, "-0.5", "-0.50"},
        {2, T, "-0.001", "0.00"},
        {2, T, "0.005", "0.01"},
        {2, T, "999.995", "1 000.00"},
        {2, T, "9999999999999.99", "9 999 999 999 999.99"},
        {2, T, "12345678901234.56", "12 345 678 901 234.60"},   // fifteen significant digits
        {2, T, "123456789012345.67", "123 456 789 012 346.00"},
        {2, S, "1234.5", "1234.50"},
        {0, S, "2.5", "3"},
        {-1, S, "1.5", "1.5"},
        {-1, S, "0", "0"},
        {-1, T, "1234.125", "1 234.125"},
        {2, TNumEdit::Scientific, "1234.5", "1.23E3"},
        {2, TNumEdit::Scientific, "-0.0123", "-1.23E-2"},
        {2, TNumEdit::Engineering, "12345", "12.35E3"},
        {-1, TNumEdit::Engineering, "0.001", "1E-3"},
        {-1, TNumEdit::Engineering, "0.0005", "0.5E-3"},
    };
    for (const FormatCase& c : cases) {
        TNumEdit ed;
        ed.SetDecimals(c.decimals);
        ed.SetNumberFormat(c.format);
        ed.SetAsCurrency(*Currency::parse(QString::fromUtf8(c.amount)));
        EXPECT_EQ(ed.text().toStdString(), c.text) << c.amount;
    }
    TNumEdit ed;
    ed.SetDecimals(2);
    ed.SetNumberFormat(T);
    ed.SetValue(1234567.89);
    EXPECT_EQ(ed.text(), QStringLiteral("1 234 567.89"));
    EXPECT_EQ(ed.AsCurrency().raw(), 12345678900);
}

TEST(NumEdit, DecimalsAndBoundsSetters)
{
    TNumEdit ed;
    EXPECT_EQ(ed.Decimals(), -1);
    EXPECT_EQ(ed.text(), QStringLiteral("0"));
    EXPECT_EQ(ed.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    ed.SetDecimals(20);
    EXPECT_EQ(ed.Decimals(), 14);
    ed.SetDecimals(-5);
    EXPECT_EQ(ed.Decimals(), -1);
    ed.setMaxLength(6);
    ed.SetDecimals(5);
    EXPECT_EQ(ed.Decimals(), 4);
    ed.setMaxLength(32767);
    ed.SetAsCurrency(Currency::fromUnits(12));
    ed.SetDecimals(2);
    EXPECT_EQ(ed.text(), QStringLiteral("12.00"));

    // A range above zero is set maximum first; a minimum above the maximum is refused.
    ed.SetMinValue(10);
    EXPECT_EQ(ed.MinValue(), 0);
    ed.SetMaxValue(9999999999.0);
    ed.SetMinValue(10);
    EXPECT_EQ(ed.MinValue(), 10);
    ed.SetMaxValue(5);
    EXPECT_EQ(ed.MaxValue(), 9999999999.0);
}

TEST(NumEdit, ClipboardStripsGroupingAndPasteFollowsKeyRules)
{
    BeepCountingEdit ed;
    ed.SetDecimals(2);
    ed.SetNumberFormat(T);
    QClipboard* clip = QGuiApplication::clipboard();

    ed.setText(QStringLiteral("1 234.56"));
    ed.selectAll();
    QTest::keyClick(&ed, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), QStringLiteral("1234.56"));
    ed.deselect();
    QTest::keyClick(&ed, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), QStringLiteral("0"));

    ed.selectAll();
    QTest::keyClick(&ed, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), QStringLiteral("1234.56"));
    EXPECT_EQ(ed.text(), QStringLiteral("0.00"));

    clip->setText(QStringLiteral("ab1 2c3 4.5x6,7"));
    ed.selectAll();
    QTest::keyClick(&ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed.text(), QStringLiteral("1 234.56"));
    EXPECT_EQ(ed.beeps, 8);   // a, b, c, x, two spaces, ",", and the digit beyond the decimals

    // Read-only: copy works, nothing changes the text.
    ed.setReadOnly(true);
    clip->setText(QStringLiteral("99"));
    ed.selectAll();
    QTest::keyClick(&ed, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&ed, Qt::Key_X, Qt::ControlModifier);
    Type(&ed, QStringLiteral("{END}5{BS}-"));
    EXPECT_EQ(ed.text(), QStringLiteral("1 234.56"));
    EXPECT_EQ(clip->text(), QStringLiteral("99"));
}

TEST(NumEdit, EveryOtherWayOfChangingTheTextFollowsTheRules)
{
    BeepCountingEdit ed;
    ed.SetDecimals(2);
    ed.SetNumberFormat(T);

    // Drag and drop.
    ed.setText(QStringLiteral("0.00"));
    QMimeData mime;
    mime.setText(QStringLiteral("12x345.678"));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&ed, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&ed, &drop);
    EXPECT_EQ(ed.text(), QStringLiteral("12 345.67"));
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    // Input method commit.
    ed.selectAll();
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("9q8765"));
    QApplication::sendEvent(&ed, &ime);
    EXPECT_EQ(ed.text(), QStringLiteral("98 765.00"));

    // Context menu paste.
    QGuiApplication::clipboard()->setText(QStringLiteral("-4 321z"));
    ed.selectAll();
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("Coller"))
                a->trigger();
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), ed.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&ed, &menuEvent);
    EXPECT_EQ(ed.text(), QStringLiteral("-4 321.00"));

    // A direct insertion that bypasses the key rules cannot leave a malformed text.
    ed.setText(QStringLiteral("1.00"));
    ed.setCursorPosition(1);
    ed.insert(QStringLiteral("a"));
    EXPECT_EQ(ed.text(), QStringLiteral("1.00"));
}

class NumEditInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* lay = new QVBoxLayout(&window);
        edit = new BeepCountingEdit(&window);
        edit->SetDecimals(2);
        edit->SetNumberFormat(T);
        other = new QLineEdit(&window);
        lay->addWidget(edit);
        lay->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget window;
    BeepCountingEdit* edit = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(NumEditInWindow, UndoAndRedoKeysReachTheWindow)
{
    int undo = 0;
    QAction cancel(&window);
    cancel.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    window.addAction(&cancel);
    QObject::connect(&cancel, &QAction::triggered, [&] { ++undo; });
    edit->setFocus();
    Type(edit, QStringLiteral("{ALL}12"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(undo, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("12.00"));
}

TEST_F(NumEditInWindow, FocusSelectsAllAndExitFormats)
{
    other->setFocus();
    QSignalSpy exited(edit, &TNumEdit::exited);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), edit->text());
    edit->setText(QStringLiteral("1234.5"));
    other->setFocus();
    EXPECT_EQ(edit->text(), QStringLiteral("1 234.50"));
    EXPECT_EQ(exited.count(), 1);   // both bounds 0: no range test
}

TEST_F(NumEditInWindow, OutOfRangeOnExitTakesTheNearerBoundAndKeepsTheFocus)
{
    edit->SetMaxValue(9999999999.0);
    edit->SetMinValue(0);
    QSignalSpy exited(edit, &TNumEdit::exited);
    struct { const char* typed; const char* corrected; } cases[] = {
        {"12345678901", "9 999 999 999.00"},
        {"-5", "0.00"},
    };
    for (const auto& c : cases) {
        edit->setFocus();
        edit->setText(QString::fromUtf8(c.typed));
        const int beeps = edit->beeps;
        other->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(edit->text().toStdString(), c.corrected);
        EXPECT_EQ(edit->beeps, beeps + 1);
        EXPECT_TRUE(edit->hasFocus()) << c.typed;
    }
    EXPECT_EQ(exited.count(), 0);

    // A connected invalid-entry handler takes over the correction.
    int invalid = 0;
    QObject::connect(edit, &TNumEdit::invalidEntry, [&] { ++invalid; });
    edit->setFocus();
    edit->setText(QStringLiteral("-7"));
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(invalid, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("-7.00"));
    EXPECT_TRUE(other->hasFocus());
}

} // namespace
