#pragma once
// How the data module tells the user about a long operation (year creation,
// seeding) without opening a window itself: it asks for a progress display,
// sets its text and bar, steps it and lets it go. The shell installs the
// factory that shows the information window; without one nothing is shown.

#include <QString>
#include <functional>
#include <memory>

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // maximum 0 hides the bar.
    virtual void start(const QString& text, int maximum) = 0;
    virtual void step() = 0;
};

using ProgressDisplayFactory = std::function<std::unique_ptr<ProgressDisplay>()>;

void SetProgressDisplayFactory(ProgressDisplayFactory factory);
// A display from the installed factory, or one that shows nothing.
std::unique_ptr<ProgressDisplay> MakeProgressDisplay();
