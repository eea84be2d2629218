// The buttons that show only an icon (the navigator's, the lines' buttons of
// a grid): a name for a screen reader, and a disabled look plainly apart from
// the enabled one.
#include "ui/FormKit.h"
#include "ui/RecordNavigator.h"

#include <QImage>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The sum of the alpha channel: how much of the icon shows.
qint64 Ink(const QIcon& icon, const QSize& size, QIcon::Mode mode)
{
    const QImage image = icon.pixmap(size, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qAlpha(image.pixel(x, y));
    return ink;
}

} // namespace

TEST(IconButton, TheNavigatorsButtonsAreNamedAndFadedWhenDisabled)
{
    TRecordNavigator navigator;
    navigator.UpdateButtons();   // no row: every button disabled
    const struct {
        QToolButton* button;
        const char* name;
    } cases[] = {{navigator.btnFirst, "Premier"},
                 {navigator.btnPrior, "Précédent"},
                 {navigator.btnNext, "Suivant"},
                 {navigator.btnLast, "Dernier"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.button->accessibleName(), QString::fromUtf8(c.name));
        EXPECT_EQ(c.button->toolTip(), QString::fromUtf8(c.name));
        EXPECT_FALSE(c.button->isEnabled());
        const qint64 enabled = Ink(c.button->icon(), c.button->iconSize(), QIcon::Normal);
        const qint64 disabled = Ink(c.button->icon(), c.button->iconSize(), QIcon::Disabled);
        ASSERT_GT(enabled, 0);
        EXPECT_LE(disabled * 3, enabled);
    }
}
