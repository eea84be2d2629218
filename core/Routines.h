#pragma once
// Small routines shared by the windows and documents of every area: amounts in
// French words, the chapter tests that pick the social-charge document
// variants, padding, date conversions, amount cleaning and truncation, SQL
// condition lists, edit colouring, the calculator and text metrics.

#include "core/Currency.h"

#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

class QCollator;
class QFont;
class QWidget;

// Names and titles compare in French order: letters first, accents and case
// after them ("ÉLECTRICITÉ" before "TRANSPORT"), as the lists sort them.
const QCollator& FrenchCollator();

// The amount in words for payment documents, with "Dinars" and "Cts"
// ("Un Million Deux Cent Mille Dinars et 05 Cts"). Uses the absolute value.
QString AmountToWords(Currency amount);
// The words of a number 0 to 999 given as digits ("010" gives "Dix", "200"
// gives "Deux Cent "); empty for 0.
QString HundredsToWords(const QString& digits);

// Chapter tests; the comparisons are exact (no trimming, no case folding).
// Chapter 21.02/22.02 (written "21.02", "21-02" or "2102") with article 08.
bool IsChapter02Article08(const QString& chapter, const QString& article);
// Chapter 21.05/22.05 with article 01.
bool IsChapter05Article01(const QString& chapter, const QString& article);
// Chapter 21.08/22.08, whatever the article.
bool IsChapter08(const QString& chapter);

// A bank name that designates the postal cheque centre: "CCP", "C.C.P" or
// "C C P", trimmed and whatever the case. Transfers to such an account are
// debited from the postal account and grouped apart from the banks.
bool IsPostalBankName(const QString& bankName);

// The text preceded (PadLeft) or followed (PadRight) by copies of the first
// character of `pad` up to `width` characters; unchanged when already as long.
QString PadLeft(const QString& text, const QString& pad, int width);
QString PadRight(const QString& text, const QString& pad, int width);

// A date typed "dd/MM/yyyy" (one-digit day and month accepted); invalid otherwise.
QDate ParseDate(const QString& text);
// "dd/MM/yyyy"; empty for an invalid date.
QString DateText(const QDate& date);
// "yyyy/MM/dd", for the few SQL texts that embed a date.
QString DateToSqlText(const QDate& date);
int MonthOfDate(const QDate& date);
int YearOfDate(const QDate& date);
// `date` brought within the year `fiscalYear`: its first day for a date
// before it, its last day for a date after it; unchanged when within it or
// when `fiscalYear` is no year.
QDate DateWithinYear(const QDate& date, int fiscalYear);
// The date every date field proposes by default (a new entry's date, the
// calendar's first date, a double click's date): today within the open fiscal
// year, so that a proposal is never refused as being of another year (the
// next year's budget prepared in December proposes 1 January).
QDate DefaultDate();

// The amount cut toward zero, never rounded, to `decimals` decimals.
Currency TruncateDecimals(int decimals, Currency amount);
// The trimmed text keeping only the characters of "0123456789+-*/" and ".".
QString KeepCalcChars(const QString& text);
// Whether the text reads as a number in the program's formats ("." before the
// decimals, no grouping), whatever the machine's locale.
bool IsNumberText(const QString& text);

// "(FIELD OP 'v1') CONJ (FIELD OP 'v2')..." with each value quoted (inner
// quotes doubled); empty for an empty list.
QString BuildConditionList(const QString& field, const QString& op, const QString& conjunction,
                           const QStringList& values);

// Colours the direct child edits of `panel` (line edits, numeric edits, text
// edits, combo boxes): EditColorActive when `editing` and the edit is enabled,
// EditColorInactive otherwise.
void SetPanelEditColors(QWidget* panel, bool editing);

// The text without its first "&".
QString StripAccelerator(const QString& text);

// Starts the desktop calculator; a failure to start is shown in the standard
// error dialog.
void RunCalculator();

// The average width of the letters A-Z a-z in `font` (integer division by 52)
// and the font's line height.
QSize GetAverageCharSize(const QFont& font);
