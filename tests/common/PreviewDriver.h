#pragma once
// Drives the preview a print command opens: waits until its pages are
// prepared, reads them, and closes it.

#include "common/ModalDriver.h"
#include "reports/UPreview.h"
#include "reports/engine/PageModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Runs `open`, hands the preview it shows to `read` once its pages are
// prepared, and closes the preview; false when no preview opened.
inline bool ReadNextPreview(const std::function<void()>& open, const std::function<void(TfrmPreview&)>& read)
{
    bool shown = false;
    OnNextModal([&](QDialog* d) {
        auto* preview = qobject_cast<TfrmPreview*>(d);
        if (preview) {
            QElapsedTimer clock;
            clock.start();
            while (!preview->Ready() && clock.elapsed() < 30000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            shown = true;
            read(*preview);
        }
        d->close();
    });
    open();
    return shown;
}

// The page count of the preview that `open` shows; -1 when no preview opened.
inline int PagesOfNextPreview(const std::function<void()>& open)
{
    int pages = -1;
    ReadNextPreview(open, [&pages](TfrmPreview& preview) { pages = preview.PageCount(); });
    return pages;
}
