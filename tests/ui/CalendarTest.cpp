#include "core/Routines.h"
#include "ui/UCalendar.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>

namespace {

// Runs `action` on the modal window once the event loop shows it.
void OnModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        if (QWidget* w = QApplication::activeModalWidget())
            action(w);
    });
}

void Key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

} // namespace

TEST(Calendar, OpensOnTheDefaultDateWithSaturdayWeeks)
{
    TfrmCalendar calendar;
    EXPECT_EQ(calendar.windowTitle(), "Calendrier");
    EXPECT_EQ(calendar.myCalend->selectedDate(), DefaultDate());
    EXPECT_EQ(calendar.myCalend->firstDayOfWeek(), Qt::Saturday);
    EXPECT_EQ(calendar.btnPrior->toolTip(), QString::fromUtf8("Mois précédent"));
    EXPECT_EQ(calendar.btnNext->toolTip(), "Mois suivant");
    EXPECT_TRUE(calendar.btnOk->isDefault());
}

TEST(Calendar, MonthButtonsKeepTheDayOrTakeTheMonthsLast)
{
    struct { QDate from; int clicks; QDate to; } cases[] = {
        {QDate(2023, 5, 15), 1, QDate(2023, 6, 15)},
        {QDate(2023, 12, 10), 1, QDate(2024, 1, 10)},
        {QDate(2024, 1, 10), -1, QDate(2023, 12, 10)},
        {QDate(2023, 1, 31), 1, QDate(2023, 2, 28)},
        {QDate(2024, 1, 31), 1, QDate(2024, 2, 29)},
        {QDate(2023, 3, 31), -1, QDate(2023, 2, 28)},
        {QDate(2023, 5, 31), -1, QDate(2023, 4, 30)},
        {QDate(2023, 8, 31), 1, QDate(2023, 9, 30)},
    };
    TfrmCalendar calendar;
    for (const auto& c : cases) {
        calendar.myCalend->setSelectedDate(c.from);
        QToolButton* button = c.clicks > 0 ? calendar.btnNext : calendar.btnPrior;
        button->click();
        EXPECT_EQ(calendar.myCalend->selectedDate(), c.to) << c.from.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(calendar.myCalend->monthShown(), c.to.month());
        EXPECT_EQ(calendar.myCalend->yearShown(), c.to.year());
    }
}

TEST(Calendar, OkDoubleClickCancelAndEsc)
{
    // OK returns the chosen date.
    OnModal([](QWidget* w) {
        auto* calendar = qobject_cast<TfrmCalendar*>(w);
        calendar->myCalend->setSelectedDate(QDate(2021, 7, 4));
        calendar->btnOk->click();
    });
    EXPECT_EQ(TfrmCalendar::PickDate(), QDate(2021, 7, 4));

    // Enter answers OK as well.
    OnModal([](QWidget* w) { Key(w, Qt::Key_Return); });
    EXPECT_EQ(TfrmCalendar::PickDate(), DefaultDate());

    // A double click on a day of the grid takes that day.
    OnModal([](QWidget* w) {
        auto* calendar = qobject_cast<TfrmCalendar*>(w);
        auto* view = calendar->myCalend->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        calendar->myCalend->setSelectedDate(QDate(2022, 2, 10));
        const QModelIndex index = view->currentIndex();
        const QPoint at = view->visualRect(index).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
        QApplication::sendEvent(view->viewport(), &release);
        QApplication::sendEvent(view->viewport(), &twice);
        QApplication::sendEvent(view->viewport(), &release);
    });
    EXPECT_EQ(TfrmCalendar::PickDate(), QDate(2022, 2, 10));

    OnModal([](QWidget* w) { qobject_cast<TfrmCalendar*>(w)->btnCancel->click(); });
    EXPECT_EQ(TfrmCalendar::PickDate(), std::nullopt);

    OnModal([](QWidget* w) { Key(w, Qt::Key_Escape); });
    EXPECT_EQ(TfrmCalendar::PickDate(), std::nullopt);
}

TEST(Calendar, ExistingFindsTheOpenWindow)
{
    EXPECT_EQ(TfrmCalendar::Existing(), nullptr);
    auto* calendar = new TfrmCalendar;
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->show();
    EXPECT_EQ(TfrmCalendar::Existing(), calendar);
    calendar->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TfrmCalendar::Existing(), nullptr);
}
