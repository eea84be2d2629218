#pragma once
// Comparisons of fetched row values as the database makes them, so that a
// listing filtering the rows it holds keeps exactly the rows that the same
// condition in SQL would select: a NULL satisfies no comparison, texts compare
// character by character with the shorter one padded with blanks (so trailing
// blanks never count), amounts exactly, dates by day.

#include "db/Database.h"

#include <QDate>
#include <QString>

namespace criteria {

// <0, 0, >0 as the database orders two stored texts.
int CompareStoredText(const QString& a, const QString& b);
// from <= value <= to, as stored texts; false for NULL.
bool TextBetween(const db::Value& value, const QString& from, const QString& to);
// from <= value <= to; false for NULL.
bool DateBetween(const db::Value& value, const QDate& from, const QDate& to);
bool AmountBetween(const db::Value& value, Currency min, Currency max);
// value = key; false for NULL.
bool KeyEquals(const db::Value& value, qint64 key);

} // namespace criteria
