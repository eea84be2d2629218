#pragma once
// What the checks of a save answer: nothing when the entry passes, otherwise a
// refusal with its message and the field to put the focus on. A check that asks
// the user a question (Yes goes on) does it through an `ask` callback; when the
// answer is No it refuses with an empty message (nothing more to show).
//
// The checks are plain functions over values, so they are tested without
// windows; a window calls them, shows the message and focuses the field.

#include <QString>

#include <functional>
#include <optional>

struct TRefusal {
    QString message;   // empty: the user answered No to a question
    int field = -1;    // the check's own field numbering
};

using TVerdict = std::optional<TRefusal>;
using TAsk = std::function<bool(const QString& question)>;
