#pragma once
// A statement a store runs again and again: made on the data module's
// connection at its first use, prepared at its first run, then only
// re-executed with new parameter values.

#include "db/Database.h"

#include <memory>

// The statement kept in `slot`, made (and prepared at its first run) once.
db::Query& KeptStatement(std::unique_ptr<db::Query>& slot, const QString& sql);
