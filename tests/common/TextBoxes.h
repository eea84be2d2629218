#pragma once
// Texts in their boxes, read from the page model of a document or a listing.

#include "reports/engine/PageModel.h"
#include "reports/engine/TextMetrics.h"

#include <gtest/gtest.h>

// Every text of `controls` (every text of the page when empty) prints inside
// its box, and no two of them cover one another.
inline void ExpectTextsInTheirBoxes(const rpt::Page& page, const QStringList& controls = {})
{
    std::vector<const rpt::PageItem*> texts;
    for (const rpt::PageItem& item : page.items)
        if (item.kind == rpt::ItemKind::Text && !item.text.isEmpty()
            && (controls.isEmpty() || controls.contains(item.control, Qt::CaseInsensitive)))
            texts.push_back(&item);
    constexpr double slack = 0.6;
    for (const rpt::PageItem* item : texts) {
        const QRectF extent = rpt::TextExtent(*item);
        EXPECT_TRUE(item->rect.adjusted(-slack, -slack, slack, slack).contains(extent))
            << item->control.toStdString() << " prints \"" << item->text.toStdString() << "\" outside its box";
    }
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const QRectF a = rpt::TextExtent(*texts[i]).adjusted(slack, slack, -slack, -slack);
            const QRectF b = rpt::TextExtent(*texts[j]).adjusted(slack, slack, -slack, -slack);
            EXPECT_FALSE(a.intersects(b)) << texts[i]->control.toStdString() << " and "
                                           << texts[j]->control.toStdString() << " cover one another";
        }
}
