#include "reports/engine/PageModel.h"

#include <QPageSize>

namespace rpt {

namespace {

QSizeF PortraitSizeMm(Paper paper)
{
    switch (paper) {
    case Paper::A3: return QSizeF(297, 420);
    case Paper::Letter: return QSizeF(215.9, 279.4);
    case Paper::A4:
    case Paper::Custom: break;
    }
    return QSizeF(210, 297);
}

} // namespace

PageSetup PageSetup::Standard(Paper paper, QPageLayout::Orientation orientation, const Margins& margins)
{
    PageSetup s;
    s.orientation = orientation;
    s.margins = margins;
    s.setPaper(paper);
    return s;
}

PageSetup PageSetup::Custom(double length, double width, QPageLayout::Orientation orientation,
                            const Margins& margins)
{
    PageSetup s;
    s.paper = Paper::Custom;
    s.orientation = orientation;
    s.length = length;
    s.width = width;
    s.margins = margins;
    return s;
}

void PageSetup::setPaper(Paper value)
{
    paper = value;
    if (value == Paper::Custom)
        return;
    const QSizeF p = PortraitSizeMm(value);
    const bool landscape = orientation == QPageLayout::Landscape;
    width = landscape ? p.height() : p.width();
    length = landscape ? p.width() : p.height();
}

void PageSetup::setOrientation(QPageLayout::Orientation value)
{
    if (value == orientation)
        return;
    orientation = value;
    if (paper == Paper::Custom)
        return;
    setPaper(paper);
}

QPageLayout PageSetup::pageLayout() const
{
    // The paper is described upright, the orientation turning it when it is
    // wider than long, so the printer receives a page of exactly this size.
    const bool wide = width > length;
    const QSizeF upright(wide ? length : width, wide ? width : length);
    QPageSize size;
    switch (paper) {
    case Paper::A4: size = QPageSize(QPageSize::A4); break;
    case Paper::A3: size = QPageSize(QPageSize::A3); break;
    case Paper::Letter: size = QPageSize(QPageSize::Letter); break;
    case Paper::Custom:
        size = QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        break;
    }
    return QPageLayout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
}

QStringList Page::texts() const
{
    QStringList result;
    for (const PageItem& item : items)
        if (item.kind == ItemKind::Text || item.kind == ItemKind::RichText)
            result << item.text;
    return result;
}

QStringList Page::textsOf(const QString& control) const
{
    QStringList result;
    for (const PageItem& item : items)
        if ((item.kind == ItemKind::Text || item.kind == ItemKind::RichText)
            && item.control.compare(control, Qt::CaseInsensitive) == 0)
            result << item.text;
    return result;
}

const PageItem* Page::item(const QString& control, int n) const
{
    for (const PageItem& item : items)
        if (item.control.compare(control, Qt::CaseInsensitive) == 0 && n-- == 0)
            return &item;
    return nullptr;
}

QStringList Page::bandNames() const
{
    QStringList result;
    for (const BandBox& band : bands)
        result << band.name;
    return result;
}

int Page::bandCount(const QString& name) const
{
    int n = 0;
    for (const BandBox& band : bands)
        if (band.name.compare(name, Qt::CaseInsensitive) == 0)
            ++n;
    return n;
}

QStringList PreparedPages::texts() const
{
    QStringList result;
    for (const Page& page : pages)
        result << page.texts();
    return result;
}

} // namespace rpt
