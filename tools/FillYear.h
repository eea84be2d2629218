#pragma once
// Developer tool: fills a fiscal-year database with a full-scale year of
// budget lines, beneficiaries, expenses, commitment sheets, transfers and
// payment orders, for benchmarks of listings, queries and documents.
// Every row follows the conventions the program's windows use when they write
// the same rows (keys, numbering, origins, statuses, balances).

#include "db/Database.h"

#include <QString>

#include <cstdint>
#include <map>

namespace fill {

// Raised whenever the filled year changes (new tables, other rules), so that
// a year kept by the benchmark from an older generator is made again.
inline constexpr int Revision = 2;

struct Options {
    int year = 2024;
    std::uint64_t seed = 1;
    int chapters = 50;          // chapter heading rows, half in each section
    int budgetRows = 1000;      // nomenclature rows, chapter headings included
    int beneficiaries = 300;
    int expenses = 30000;
    int transfers = 400;
    int paymentOrders = 9999;   // order numbers have four digits
};

// Rows written, by table name.
using Counts = std::map<QString, int>;

// Creates the database at `params.path` (it must not exist) and runs the schema
// script on it.
void CreateYearDatabase(const db::ConnectParams& params, const QString& schemaScript);

// Fills an empty year database, opened on `conn`, in one transaction committed
// at the end. Throws db::DbError or std::runtime_error on failure (nothing is
// committed then).
Counts FillYear(db::Connection& conn, const Options& options);

// The whole job: creates the database, runs the script and fills the year with
// the disk's synchronous writes off, then switches them back on.
Counts CreateFilledYear(const db::ConnectParams& params, const QString& schemaScript, const Options& options);

} // namespace fill
