#include "reports/engine/DesignSnapshot.h"

namespace rpt {

void DesignSnapshot::take(const Report& report)
{
    m_controls.clear();
    m_bands.clear();
    for (const auto& band : report.bands()) {
        m_bands.emplace_back(band.get(), band->height());
        for (const auto& control : band->controls()) {
            ControlState state{control.get(), control->rect(), control->enabled(), QFont(), QString()};
            if (const auto* label = dynamic_cast<const Label*>(control.get())) {
                state.font = label->font();
                state.caption = label->caption();
            }
            m_controls.push_back(state);
        }
    }
    m_taken = true;
}

void DesignSnapshot::restore() const
{
    for (const auto& [band, height] : m_bands)
        band->setHeight(height);
    for (const ControlState& state : m_controls) {
        state.control->setRect(state.rect);
        state.control->setEnabled(state.enabled);
        if (auto* label = dynamic_cast<Label*>(state.control)) {
            label->setFont(state.font);
            label->setCaption(state.caption);
        }
    }
}

void DesignSnapshot::restoreFonts() const
{
    for (const ControlState& state : m_controls)
        if (auto* label = dynamic_cast<Label*>(state.control))
            label->setFont(state.font);
}

} // namespace rpt
