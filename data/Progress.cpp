#include "data/Progress.h"

namespace {

class SilentDisplay final : public ProgressDisplay {
public:
    void start(const QString&, int) override {}
    void step() override {}
};

ProgressDisplayFactory& factory()
{
    static ProgressDisplayFactory installed;
    return installed;
}

} // namespace

void SetProgressDisplayFactory(ProgressDisplayFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<ProgressDisplay> MakeProgressDisplay()
{
    if (factory()) {
        if (auto display = factory()())
            return display;
    }
    return std::make_unique<SilentDisplay>();
}
