#pragma once
// Stored layouts of the documents printed on pre-printed stationery: the
// table REPORT holds, per report name (in capitals) and control name (in
// capitals), the position and size of the control in report pixels relative
// to its band.

namespace rpt {
class Report;
}

// Applies the rows stored under the report's name to its controls: a control
// whose name has a row takes its top and left when they are not 0, its height
// and width when they are above 0. Controls without a row keep their design
// position; rows naming no control are ignored; fonts and margins of the rows
// are not applied.
void LoadReportLayout(rpt::Report& report);
