#pragma once
// The silent abort and the one guard every handler connected to a control runs
// through. Qt never sees an exception: the silent abort is swallowed, any other
// error (a database error, or a store's refusal no window took up, included)
// is shown in the standard error box.

#include <QString>
#include <exception>
#include <functional>
#include <utility>

// Thrown to abandon the current event handler after its message has been shown.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

[[noreturn]] void Abort();

namespace db { class DbError; }

// Shows an error that escaped a handler in the standard error box.
void ShowStandardError(const QString& message);

// A database error as the user reads it: a French sentence saying what failed
// (what was being done, or what the engine refused: a change in progress by
// another user, a value too large for its column, a value given twice, a lost
// connection), then the engine's own report.
QString DatabaseErrorText(const db::DbError& error);

// Runs `fn`; returns true when it finished without any exception.
bool RunGuarded(const std::function<void()>& fn);

// Wraps a handler for QObject::connect: Guarded([this]{ btnPostClick(); }).
template <typename F>
auto Guarded(F fn)
{
    return [fn = std::move(fn)](auto&&...) { RunGuarded(fn); };
}
