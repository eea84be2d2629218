#pragma once
// Drives the modal windows a handler opens with exec(): a watch set before the
// handler runs acts on the dialog once its modal loop shows it.
//
// Use:
//     OnNextModal([](QDialog* d) { ...; d->done(QDialog::Rejected); });
//     list.btnModif->click();            // opens the dialog modally
//     ...
//     EXPECT_TRUE(StopPendingModalWatches());   // in TearDown: every watch was used
//
// No test may hang on a modal loop: a dialog the action leaves open is closed
// (and the test fails), and a watch whose dialog never opened is stopped at the
// end of the test instead of acting on a later test's window.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace modal_driver {

// The watches still waiting for their dialog.
inline QList<QPointer<QTimer>>& PendingWatches()
{
    static QList<QPointer<QTimer>> watches;
    return watches;
}

inline void Forget(QTimer* timer)
{
    PendingWatches().removeAll(QPointer<QTimer>(timer));
    timer->stop();
    timer->deleteLater();
}

} // namespace modal_driver

// Runs `action` on the next modal dialog that opens (the one a handler is about
// to exec()); the action must close it. A watch that sees no new modal dialog
// within `seconds` of event processing gives up and fails the test.
inline void OnNextModal(std::function<void(QDialog*)> action, int seconds = 60)
{
    QWidget* before = QApplication::activeModalWidget();
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    modal_driver::PendingWatches().append(timer);
    QObject::connect(timer, &QTimer::timeout, [timer, before, action, clock, seconds] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m != before && m->isVisible()) {
            modal_driver::Forget(timer);
            auto* d = qobject_cast<QDialog*>(m);
            if (!d) {
                ADD_FAILURE() << "the modal window is not a dialog";
                m->hide();
                return;
            }
            QPointer<QDialog> dialog(d);
            action(d);
            if (dialog && dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
                ADD_FAILURE() << "the modal window was left open";
                dialog->done(QDialog::Rejected);
                if (dialog && dialog->isVisible())
                    dialog->hide();
            }
            return;
        }
        if (clock->elapsed() > seconds * 1000) {
            modal_driver::Forget(timer);
            ADD_FAILURE() << "no modal window opened";
        }
    });
    timer->start(5);
}

// Stops the watches whose dialog never opened; true when there were none.
inline bool StopPendingModalWatches()
{
    bool none = true;
    const QList<QPointer<QTimer>> watches = modal_driver::PendingWatches();
    for (const QPointer<QTimer>& t : watches) {
        if (!t)
            continue;
        none = false;
        modal_driver::Forget(t.data());
    }
    modal_driver::PendingWatches().clear();
    return none;
}

// The class name of the modal dialog that `open` shows (closed at once); empty
// when none opens.
inline QString ClassOfNextModal(const std::function<void()>& open)
{
    QString opened;
    OnNextModal([&opened](QDialog* d) {
        opened = QString::fromLatin1(d->metaObject()->className());
        d->close();
    });
    open();
    return opened;
}
