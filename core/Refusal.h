#pragma once
// What the checks of a save answer: nothing when the entry passes, otherwise a
// refusal with its message and where to put the focus. A check that asks the
// user a question (Yes goes on) does it through an `ask` callback; when the
// answer is No it refuses with an empty message (nothing more to show).
//
// The checks are plain functions over values, so they are tested without
// windows; a window calls them and shows their refusal through Refuse (or
// ShowRefusal when the handler goes on), giving the control `field` names.
//
// A store that finds a refusal inside a write (on rows it locked, read again)
// throws it as a TRefusalError: the write guard rolls the operation back, and
// the window that takes it up shows it. Stores never show a message.

#include "core/MessageBox.h"

#include <QByteArray>
#include <QString>

#include <exception>
#include <functional>
#include <optional>
#include <utility>

class QWidget;

struct TRefusal {
    QString message;   // empty: the user answered No to a question
    int field = -1;    // the check's own numbering of its fields; -1: none
    qint64 row = -1;   // within that field, the row (or the key of the row) to make current; -1: none
};

using TVerdict = std::optional<TRefusal>;
using TAsk = std::function<bool(const QString& question)>;

// The one refusal a store throws; what() is the message in UTF-8. One that no
// window takes up reaches the handler's guard (core/Guard.h), which shows it
// in the standard error box as any error that escapes a handler.
class TRefusalError : public std::exception {
public:
    explicit TRefusalError(TRefusal refusal) : m_refusal(std::move(refusal)), m_what(m_refusal.message.toUtf8()) {}
    explicit TRefusalError(const QString& message) : TRefusalError(TRefusal{message}) {}
    const TRefusal& refusal() const noexcept { return m_refusal; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    TRefusal m_refusal;
    QByteArray m_what;
};

// Shows a refusal: its message, when it has one, in the message box of
// `type` (mtInformation, mtWarning...), then the focus on `focus` when it is
// enabled.
void ShowRefusal(const TRefusal& refusal, QWidget* focus, int type = mtInformation);
// ShowRefusal, then the silent abort of the handler.
[[noreturn]] void Refuse(const TRefusal& refusal, QWidget* focus, int type = mtInformation);
[[noreturn]] void Refuse(const QString& text, QWidget* focus, int type = mtInformation);

// Runs `operation` (a store's call) and returns what it returns; a refusal it
// throws is shown and the handler abandoned, as Refuse does.
template <typename F>
decltype(auto) RunOrRefuse(F&& operation, QWidget* focus = nullptr, int type = mtInformation)
{
    try {
        return std::forward<F>(operation)();
    } catch (const TRefusalError& refused) {
        Refuse(refused.refusal(), focus, type);
    }
}
