#pragma once
// Drives the preview a print command opens: waits until its pages are
// prepared, reads how many there are, and closes it.

#include "common/ModalDriver.h"
#include "reports/UPreview.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// The page count of the preview that `open` shows; -1 when no preview opened.
inline int PagesOfNextPreview(const std::function<void()>& open)
{
    int pages = -1;
    OnNextModal([&pages](QDialog* d) {
        auto* preview = qobject_cast<TfrmPreview*>(d);
        if (preview) {
            QElapsedTimer clock;
            clock.start();
            while (!preview->Ready() && clock.elapsed() < 30000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            pages = preview->PageCount();
        }
        d->close();
    });
    open();
    return pages;
}
