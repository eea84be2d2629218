#pragma once
// The full-scale fiscal year every benchmark measures on: made once per schema
// script and generator revision in /tmp/vorel-bench-<digest>/ and reused. A
// year made from an older schema script (older stored procedures) or by an
// older generator is never measured.

#include <QString>

// Points the global state at the year's folder, makes and fills the year the
// first time, and opens the data module on it (DM). False, with the reason on
// stderr, when the year cannot be made or opened.
bool OpenBenchYear();
// Deletes the data module.
void CloseBenchYear();

// The same year copied to `fileName` in its Temp folder, and the data module
// opened on the copy, for a benchmark that writes: what it writes never reaches
// the year the others measure. False, with the reason on stderr, on failure.
bool OpenBenchYearCopy(const QString& fileName);
// Deletes the data module and the copy.
void CloseBenchYearCopy();

// The fiscal year of the benchmark database.
inline const QString BenchFiscalYear = QStringLiteral("2024");
