#pragma once
// How a document takes its number in its series: the commitment sheets of one
// budget line, the regularisation sheets of one line, the year's payment
// orders. Two documents of a series never hold one number, whoever numbers
// them at the same time: a number is read, checked and stored inside the
// caller's write operation with the series locked first (data/ShownRow.h,
// LockRow), so that a second operation numbering the series waits, or is
// refused as a change in progress, and once the first has committed reads its
// number. Each store says how its series locks, checks and draws a number;
// the routines below are the one way every store takes one.

#include "documents/ExpenseDocument.h"

#include <QString>

// A series whose numbers are typed (the payment orders'): locked, and asked
// whether a number is taken.
class TNumberSeries {
public:
    virtual ~TNumberSeries() = default;

    // Locks the series for the caller's write operation, once: a series this
    // object locked already is not locked again.
    void Lock();

    // Whether a document other than `exceptId` holds `number` in the series
    // (as the series compares numbers).
    virtual bool Taken(const QString& number, qint64 exceptId) = 0;

protected:
    virtual void LockSeries() = 0;

private:
    bool m_locked = false;
};

// A series that also gives numbers (the sheets of a budget line).
class TDrawnNumberSeries : public TNumberSeries {
public:
    // The number the series gives next, padded; read with the series locked.
    virtual QString Next() = 0;
};

// The series' next number, the series locked first.
QString DrawNumber(TDrawnNumberSeries& series);

// Whether `number`, typed or kept for the document `id` (-1 a new one), is
// free in the series: the series locked first, then checked.
bool NumberFree(TNumberSeries& series, const QString& number, qint64 id);

// The number the document `id` holds once numbered in the series (it took its
// first line, or moved to the series): `number`, the one it has, when no other
// document holds it; otherwise the series' next, drawn, with previousNumber the
// number it gave up. `newToSeries`: `number` was not given in this series (the
// document moves to it, or it was typed before the series was known), so it
// is checked with the series locked; a number the series gave the document is
// checked as it stands.
TDocumentNumbering TakeNumber(TDrawnNumberSeries& series, const QString& number, qint64 id, bool newToSeries);
