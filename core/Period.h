#pragma once
// The period a window computes over: two typed dates, both within the open
// fiscal year, the end not before the start.

#include "core/Refusal.h"

#include <QDate>
#include <QString>

// The fields a period's refusal points to (TRefusal::field).
enum TPeriodField : int { PeriodStart, PeriodEnd };

// Checks the two typed dates: a text that is no date, an end before the
// start, a date outside `fiscalYear` are refused with their messages; on
// success `start` and `end` hold the dates.
TVerdict CheckPeriod(const QString& startText, const QString& endText, int fiscalYear, QDate& start, QDate& end);
