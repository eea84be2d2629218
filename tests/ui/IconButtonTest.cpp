// The buttons that show only an icon (the navigator's, the lines' buttons of
// a grid): a name for a screen reader, and a disabled look plainly apart from
// the enabled one.
#include "ui/FormKit.h"
#include "ui/RecordNavigator.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>

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

// The darkest tone of the icon as the button draws it over `background`:
// 0 black, 255 white.
int DarkestTone(const QIcon& icon, const QSize& size, QIcon::Mode mode, const QColor& background)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        icon.paint(&painter, image.rect(), Qt::AlignCenter, mode);
    }
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
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

// Whatever an icon's own colours, a disabled button never looks like an
// enabled one: the salary window's pale blank page ("Ajouter", enabled) once
// looked as faint as its "Modifier l'imputation" disabled.
TEST(IconButton, EveryDisabledIconIsPlainlyLighterThanEveryEnabledOne)
{
    const QStyle::StandardPixmap glyphs[] = {
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward, QStyle::SP_MediaSeekForward,
        QStyle::SP_MediaSkipForward,  QStyle::SP_FileIcon,          QStyle::SP_FileDialogDetailedView,
        QStyle::SP_TrashIcon,         QStyle::SP_DialogSaveButton,  QStyle::SP_DialogCancelButton};
    QWidget parent;
    int lightestEnabled = 0;
    int darkestDisabled = 255;
    for (QStyle::StandardPixmap glyph : glyphs) {
        QToolButton* b = MakeIconButton(&parent, "btnGlyph", QStringLiteral("Glyphe"), glyph);
        const QColor background = b->palette().color(QPalette::Window);
        const int enabled = DarkestTone(b->icon(), b->iconSize(), QIcon::Normal, background);
        const int disabled = DarkestTone(b->icon(), b->iconSize(), QIcon::Disabled, background);
        SCOPED_TRACE(int(glyph));
        EXPECT_LT(enabled, disabled);
        lightestEnabled = std::max(lightestEnabled, enabled);
        darkestDisabled = std::min(darkestDisabled, disabled);
    }
    EXPECT_LE(lightestEnabled, 110);
    EXPECT_GE(darkestDisabled, 180);
}
