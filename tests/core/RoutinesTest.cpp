#include "core/GlobalState.h"
#include "core/Routines.h"
#include "common/MessageRecorder.h"
#include "controls/NumEdit.h"
#include "platform/Calculator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

Currency Amount(const char* text) { return *Currency::parse(QString::fromLatin1(text)); }

// Restores the process locale after a test that changes it.
struct LocaleGuard {
    QLocale saved;
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

} // namespace

TEST(AmountToWords, WritesFrenchWords)
{
    struct { const char* amount; const char* words; } cases[] = {
        {"0", ""},
        {"0.5", "50 Cts"},
        {"1", "Un Dinars"},
        {"17", "Dix Sept Dinars"},
        {"71", "Soixante et Onze Dinars"},
        {"77", "Soixante Dix Sept Dinars"},
        {"80", "Quatre Vingt Dinars"},
        {"81", "Quatre Vingt ET Un Dinars"},
        {"91", "Quatre Vingt et Onze Dinars"},
        {"99", "Quatre Vingt Dix Neuf Dinars"},
        {"100", "Cent Dinars"},
        {"200", "Deux Cent Dinars"},
        {"101", "Cent Un Dinars"},
        {"1000", "Mille Dinars"},
        {"21000", "Vingt et Un Mille Dinars"},
        {"200000", "Deux Cent Mille Dinars"},
        {"1000000", "Un Million de Dinars"},
        {"2000000", "Deux Millions de Dinars"},
        {"1001000", "Un Million  Mille Dinars"},
        {"1000001", "Un Million Un Dinars"},
        {"2500000.75", "Deux Millions Cinq Cent Mille Dinars et 75 Cts"},
        {"80.05", "Quatre Vingt Dinars et 05 Cts"},
        {"1234567.89", "Un Million Deux Cent Trente Quatre Mille Cinq Cent Soixante Sept Dinars et 89 Cts"},
        {"1000000000", "Un Milliard de Dinars"},
        {"3000000000.10", "Trois Milliards de Dinars et 10 Cts"},
        {"1000000005", "Un Milliard Cinq Dinars"},
        {"1234.5", "Mille Deux Cent Trente Quatre Dinars et 50 Cts"},
        // The third and fourth decimals are dropped, never rounded.
        {"10.005", "Dix Dinars et 00 Cts"},
        {"10.9999", "Dix Dinars et 99 Cts"},
        {"0.0001", "00 Cts"},
        {"-81.2", "Quatre Vingt ET Un Dinars et 20 Cts"},
        // Beyond twelve digits the milliards keep counting.
        {"1000000000000", "Mille Milliards de Dinars"},
        {"21000000000000", "Vingt et Un Mille Milliards de Dinars"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountToWords(Amount(c.amount)), QString::fromLatin1(c.words)) << c.amount;
}

TEST(HundredsToWords, KeepsTrailingSpaceOfRoundHundreds)
{
    struct { const char* digits; const char* words; } cases[] = {
        {"0", ""}, {"000", ""}, {"010", "Dix"}, {"5", "Cinq"}, {"100", "Cent "},
        {"200", "Deux Cent "}, {"181", "Cent Quatre Vingt ET Un"}, {"999", "Neuf Cent Quatre Vingt Dix Neuf"},
        {"070", "Soixante Dix"}, {"061", "Soixante et Un"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HundredsToWords(QString::fromLatin1(c.digits)), QString::fromLatin1(c.words)) << c.digits;
}

TEST(ChapterTests, MatchExactly)
{
    struct { const char* chapter; const char* article; bool ch02a08, ch05a01, ch08; } cases[] = {
        {"21.02", "08", true, false, false},
        {"2202", "8", true, false, false},
        {"22-02", "U", true, false, false},
        {"21.02", "008", false, false, false},
        {"21.02 ", "08", false, false, false},
        {"21-05", "1", false, true, false},
        {"2105", "01", false, true, false},
        {"22.05", "U", false, true, false},
        {"21-05", "001", false, false, false},
        {"21-05 ", "1", false, false, false},
        {"21.05", "u", false, false, false},
        {"21.08", "07", false, false, true},
        {"2208", "", false, false, true},
        {"23.08", "01", false, false, false},
        {"21.8", "01", false, false, false},
    };
    for (const auto& c : cases) {
        const QString ch = QString::fromLatin1(c.chapter), art = QString::fromLatin1(c.article);
        EXPECT_EQ(IsChapter02Article08(ch, art), c.ch02a08) << c.chapter << "/" << c.article;
        EXPECT_EQ(IsChapter05Article01(ch, art), c.ch05a01) << c.chapter << "/" << c.article;
        EXPECT_EQ(IsChapter08(ch), c.ch08) << c.chapter;
    }
}

TEST(ChapterTests, PostalBankNames)
{
    struct { const char* name; bool postal; } cases[] = {
        {"CCP", true},      {" ccp ", true},  {"C.C.P", true},  {"c.c.p ", true}, {"C C P", true},
        {"C.C.P.", false},  {"CCP ALGER", false}, {"BNA", false}, {"", false},    {"C  C P", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPostalBankName(QString::fromLatin1(c.name)), c.postal) << "'" << c.name << "'";
}

TEST(TextRoutines, PaddingStrippingAndCalcChars)
{
    EXPECT_EQ(PadLeft("7", "0", 4), "0007");
    EXPECT_EQ(PadLeft("123", "0", 2), "123");
    EXPECT_EQ(PadLeft("12", "xy", 4), "xx12");   // only the pad text's first character
    EXPECT_EQ(PadRight("ab", " ", 5), "ab   ");
    EXPECT_EQ(PadRight("abcdef", " ", 5), "abcdef");

    EXPECT_EQ(StripAccelerator("&Fichier"), "Fichier");
    EXPECT_EQ(StripAccelerator("Non &pour &tout"), "Non pour &tout");
    EXPECT_EQ(StripAccelerator("Aucun"), "Aucun");

    EXPECT_EQ(KeepCalcChars("1 234,5 DA"), "12345");
    EXPECT_EQ(KeepCalcChars("  12.5+3  "), "12.5+3");
    EXPECT_EQ(KeepCalcChars("(4*2)/-1"), "4*2/-1");
}

TEST(DateRoutines, SqlTextMonthAndYear)
{
    const QDate d(2012, 3, 5);
    EXPECT_EQ(DateToSqlText(d), "2012/03/05");
    EXPECT_EQ(DateToSqlText(QDate(2024, 12, 31)), "2024/12/31");
    EXPECT_EQ(MonthOfDate(d), 3);
    EXPECT_EQ(YearOfDate(d), 2012);
}

// A proposed date is today within the open fiscal year: the budget of next
// year prepared in December proposes its 1 January, a year being closed in
// January its 31 December.
TEST(DateRoutines, TheDefaultDateIsTodayWithinTheFiscalYear)
{
    struct {
        QDate date;
        int year;
        QDate expected;
    } cases[] = {
        {QDate(2024, 12, 15), 2025, QDate(2025, 1, 1)},   {QDate(2025, 1, 10), 2024, QDate(2024, 12, 31)},
        {QDate(2024, 6, 30), 2024, QDate(2024, 6, 30)},   {QDate(2024, 2, 29), 2031, QDate(2031, 1, 1)},
        {QDate(2024, 6, 30), 0, QDate(2024, 6, 30)},      {QDate(), 2024, QDate()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateWithinYear(c.date, c.year), c.expected) << c.date.toString().toStdString() << " " << c.year;

    const QString kept = FiscalYear;
    const QDate today = QDate::currentDate();
    FiscalYear = QString::number(today.year() + 1);
    EXPECT_EQ(DefaultDate(), QDate(today.year() + 1, 1, 1));
    FiscalYear = QString::number(today.year() - 1);
    EXPECT_EQ(DefaultDate(), QDate(today.year() - 1, 12, 31));
    FiscalYear = QString::number(today.year());
    EXPECT_EQ(DefaultDate(), today);
    FiscalYear = QString();
    EXPECT_EQ(DefaultDate(), today);
    FiscalYear = kept;
}

TEST(TruncateDecimals, CutsTowardZero)
{
    struct { int decimals; const char* amount; const char* expected; } cases[] = {
        {2, "12.3456", "12.34"}, {2, "-12.3456", "-12.34"}, {0, "9.99", "9"},
        {1, "0.57", "0.5"}, {2, "0.57", "0.57"}, {2, "57", "57"}, {3, "1.2345", "1.234"},
        {4, "1.2345", "1.2345"}, {6, "1.2345", "1.2345"}, {2, "999999999.9999", "999999999.99"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TruncateDecimals(c.decimals, Amount(c.amount)), Amount(c.expected))
            << c.decimals << " " << c.amount;
}

TEST(IsNumberText, FollowsProcessFormatsNotLocale)
{
    LocaleGuard guard;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));   // "," would be its separator
    struct { const char* text; bool number; } cases[] = {
        {"12", true}, {"-12.50", true}, {"+3", true}, {" 7.5 ", true}, {".5", true}, {"5.", true},
        {"1e3", true}, {"1E-2", true},
        {"", false}, {" ", false}, {"12,5", false}, {"1 234", false}, {"12a", false}, {".", false},
        {"1e", false}, {"--1", false}, {"1.2.3", false}, {"1e999", false}, {"abc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumberText(QString::fromLatin1(c.text)), c.number) << '"' << c.text << '"';
}

TEST(BuildConditionList, QuotesEveryValue)
{
    EXPECT_EQ(BuildConditionList("ID_MDT", "=", "OR", {}), "");
    EXPECT_EQ(BuildConditionList("ID_MDT", "=", "OR", {"3", "7"}), "(ID_MDT = '3') OR (ID_MDT = '7')");
    EXPECT_EQ(BuildConditionList("NOM", "<>", "AND", {"l'eau"}), "(NOM <> 'l''eau')");
    EXPECT_EQ(BuildConditionList("A", "LIKE", "OR", {"x", "y", "z"}),
              "(A LIKE 'x') OR (A LIKE 'y') OR (A LIKE 'z')");
}

TEST(SetPanelEditColors, ColoursOnlyDirectChildEdits)
{
    const QColor savedActive = EditColorActive, savedInactive = EditColorInactive;
    EditColorActive = QColor(255, 255, 255);
    EditColorInactive = QColor(0xF2, 0xF2, 0xF2);

    QWidget panel;
    auto* line = new QLineEdit(&panel);
    auto* number = new TNumEdit(&panel);
    auto* memo = new QTextEdit(&panel);
    auto* plain = new QPlainTextEdit(&panel);
    auto* combo = new QComboBox(&panel);
    auto* disabled = new QLineEdit(&panel);
    disabled->setEnabled(false);
    auto* check = new QCheckBox(&panel);
    auto* inner = new QWidget(&panel);
    auto* nested = new QLineEdit(inner);
    const QColor checkBase = check->palette().color(QPalette::Base);
    const QColor nestedBase = nested->palette().color(QPalette::Base);

    auto base = [](QWidget* w) { return w->palette().color(QPalette::Base); };
    SetPanelEditColors(&panel, true);
    for (QWidget* w : std::initializer_list<QWidget*>{line, number, memo, plain, combo})
        EXPECT_EQ(base(w), EditColorActive) << w->metaObject()->className();
    EXPECT_EQ(base(disabled), EditColorInactive);
    EXPECT_EQ(base(check), checkBase);
    EXPECT_EQ(base(nested), nestedBase);

    SetPanelEditColors(&panel, false);
    for (QWidget* w : std::initializer_list<QWidget*>{line, number, memo, plain, combo, disabled})
        EXPECT_EQ(base(w), EditColorInactive) << w->metaObject()->className();

    EditColorActive = savedActive;
    EditColorInactive = savedInactive;
}

TEST(RunCalculator, ReportsStartFailuresInStandardDialog)
{
    struct { platform::StartError error; const char* message; } cases[] = {
        {platform::StartError::None, nullptr},
        {platform::StartError::Other, nullptr},
        {platform::StartError::NotEnoughMemory, "Mémoire insuffisante pour cette opération."},
        {platform::StartError::FileNotFound, "Le fichier : 'Calc.exe' est introuvable."},
        {platform::StartError::NotAProgram, "Ce programme ne peut pas être exécuté par Microsoft Windows."},
    };
    for (const auto& c : cases) {
        MessageRecorder recorder;
        int starts = 0;
        platform::SetCalculatorStarter([&] { ++starts; return c.error; });
        RunCalculator();
        platform::SetCalculatorStarter({});
        EXPECT_EQ(starts, 1);
        if (!c.message) {
            EXPECT_TRUE(recorder.calls().isEmpty());
            continue;
        }
        ASSERT_EQ(recorder.calls().size(), 1);
        EXPECT_EQ(recorder.calls()[0].text, QString::fromUtf8(c.message));
        EXPECT_TRUE(recorder.calls()[0].standard);
        EXPECT_EQ(recorder.calls()[0].type, int(StdDialogType::Error));
    }
}

TEST(StartFirstProgram, StartsFirstFoundCalculator)
{
    QStringList launched;
    auto launch = [&](const QString& path) { launched << path; return !path.contains("broken"); };
    auto findOnly = [](QStringList present) {
        return [present](const QString& p) { return present.contains(p) ? "/usr/bin/" + p : QString(); };
    };
    const QStringList programs = {"gnome-calculator", "kcalc", "xcalc"};

    EXPECT_EQ(platform::StartFirstProgram(programs, findOnly({"kcalc", "xcalc"}), launch), platform::StartError::None);
    EXPECT_EQ(launched, QStringList{"/usr/bin/kcalc"});

    launched.clear();
    EXPECT_EQ(platform::StartFirstProgram(programs, findOnly({}), launch), platform::StartError::FileNotFound);
    EXPECT_TRUE(launched.isEmpty());

    EXPECT_EQ(platform::StartFirstProgram({"broken"}, findOnly({"broken"}), launch), platform::StartError::NotAProgram);
}
