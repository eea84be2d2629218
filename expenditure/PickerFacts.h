#pragma once
// The figures the expense picker's checks read from the database for one
// document mode, at the year's end: a budget line's credit and its committed
// and mandated totals, a salary expense's imputations, a supplier's paid total
// and a beneficiary's type and grade.

#include "expenditure/PickerRules.h"

#include <QDate>

// Each figure is read when a check asks for it, through statements prepared
// once for the life of the returned facts.
picker::Facts DatabaseFacts(picker::Mode mode, const QDate& date);
