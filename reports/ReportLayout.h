#pragma once
// Stored layouts of the documents printed on pre-printed stationery: the
// table REPORT holds, per report name (in capitals) and control name (in
// capitals), the position and size of the control in report pixels relative
// to its band. The layout editor (UReport) writes them; the documents apply
// them before they print.

#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

namespace rpt {
class Report;
}

// One stored row's position and size, and a label's font name and size
// (empty and 0 when the row has none).
struct TStoredPosition {
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
    QString fontName;
    int fontSize = 0;
};

// The rows stored under a report name (compared in capitals), by control name
// in capitals; of two rows of one name the first read counts.
QHash<QString, TStoredPosition> ReadReportLayout(const QString& reportName);

// A control's rectangle once its stored row is applied: the top and left
// when they are not 0, the height and width when they are above 0.
QRect ApplyStoredPosition(const QRect& design, const TStoredPosition& stored);

// Applies the rows stored under the report's name to its controls. Controls
// without a row keep their design position; rows naming no control are
// ignored; fonts and margins of the rows are not applied.
void LoadReportLayout(rpt::Report& report);

// One control as the layout editor stores it.
struct TLayoutRow {
    QString control;     // its name (stored in capitals)
    QRect rect;          // relative to its band; each value is stored at least 1
    bool label = false;  // labels store their font name and size
    QString fontName;
    int fontSize = 0;
};

// The report's page margins in pixels; recorded with every row, never applied.
struct TLayoutMargins {
    int top = 0;
    int left = 0;
    int right = 0;
    int bottom = 0;
};

// Replaces every row stored under `reportName` by `rows`, in one write
// operation: the old rows are deleted and the new ones inserted, committed
// together or not at all. A statement that fails rolls everything back and
// throws; a refused commit is told and throws the silent abort. An empty list
// writes nothing (a report is never left without its stored positions by
// mistake) and answers false.
bool SaveReportLayout(const QString& reportName, const QList<TLayoutRow>& rows, const TLayoutMargins& margins);
