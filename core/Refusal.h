#pragma once
// What the checks of a save answer: nothing when the entry passes, otherwise a
// refusal with its message and where to put the focus. A check that asks the
// user a question (Yes goes on) does it through an `ask` callback; when the
// answer is No it refuses with an empty message (nothing more to show).
//
// The checks are plain functions over values, so they are tested without
// windows; a window calls them and shows their refusal through Refuse (or
// ShowRefusal when the handler goes on), giving the control `field` names.

#include "core/MessageBox.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

struct TRefusal {
    QString message;   // empty: the user answered No to a question
    int field = -1;    // the check's own numbering of its fields; -1: none
    qint64 row = -1;   // within that field, the row (or the key of the row) to make current; -1: none
};

using TVerdict = std::optional<TRefusal>;
using TAsk = std::function<bool(const QString& question)>;

// Shows a refusal: its message, when it has one, in the message box of
// `type` (mtInformation, mtWarning...), then the focus on `focus` when it is
// enabled.
void ShowRefusal(const TRefusal& refusal, QWidget* focus, int type = mtInformation);
// ShowRefusal, then the silent abort of the handler.
[[noreturn]] void Refuse(const TRefusal& refusal, QWidget* focus, int type = mtInformation);
[[noreturn]] void Refuse(const QString& text, QWidget* focus, int type = mtInformation);
