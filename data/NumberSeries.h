#pragma once
// Series of document numbers that a save locks before it checks and stores a
// number.
//
// A number the user types (a payment order's) is kept unique by reading
// whether another document holds it; two saves reading at the same time would
// both find it free, since neither sees the other's uncommitted row. So each
// such save first locks its series' row of the year's table T_NUMEROTATION
// inside its write operation (data/ShownRow.h, LockRow): a second save meets
// the first one's lock and is refused as a change in progress ("Ces
// informations sont en cours de modification par un autre utilisateur ...",
// nothing written), and once the first has committed, the second reads its
// number.
//
// The data module adds the table and its rows to a year file at every opening
// when they are missing (year files made before it, or by the earlier program).

#include <QString>

namespace db { class Connection; }

enum class NumberSeries { PaymentOrders = 1 };

// The table holding one row per series (ID_SERIE, SERIE).
extern const QString NumberSeriesTable;   // "T_NUMEROTATION"

// Locks the series for the write operation running now. A year file the
// opening could not add the table to is left as before: its numbers are
// checked without the lock.
void LockNumberSeries(NumberSeries series);

// Adds the table and its rows when missing, each step committed on its own;
// a step that fails leaves the file as it is. Returns the engine's reason when
// the series is still missing afterwards (the user may not change the year's
// structure), nothing when it is there.
QString AddNumberSeries(db::Connection& connection);
