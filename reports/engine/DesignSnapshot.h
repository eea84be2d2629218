#pragma once
// The design of a report as built, put back before each run: a document's
// band events move, resize, hide, restyle and refill controls for the record
// at hand, so every run (the preview's, then the printer's) starts again from
// the design rather than from what the previous run left.

#include "reports/engine/Report.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <utility>
#include <vector>

namespace rpt {

class DesignSnapshot {
public:
    // Remembers the height of every band and, of every control, its rectangle,
    // its enabled state and, for texts, its font and caption.
    void take(const Report& report);
    bool taken() const { return m_taken; }
    // Puts back what take() remembered.
    void restore() const;
    // Puts back the fonts of the texts only: a document whose texts shrink
    // to fit starts each record's texts from their design's size again, the
    // places of its controls left as they are.
    void restoreFonts() const;

private:
    struct ControlState {
        Control* control;
        QRect rect;
        bool enabled;
        QFont font;
        QString caption;
    };
    std::vector<ControlState> m_controls;
    std::vector<std::pair<Band*, int>> m_bands;
    bool m_taken = false;
};

} // namespace rpt
