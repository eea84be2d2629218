#include "ui/UCalendar.h"

#include "core/Guard.h"
#include "core/Routines.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmCalendar::TfrmCalendar(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCalendar"));
    setWindowTitle(QStringLiteral("Calendrier"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);

    myCalend = new QCalendarWidget(this);
    myCalend->setObjectName(QStringLiteral("myCalend"));
    myCalend->setLocale(QLocale(QLocale::French, QLocale::France));
    myCalend->setFirstDayOfWeek(Qt::Saturday);
    myCalend->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    myCalend->setGridVisible(false);
    myCalend->setMinimumSize(300, 200);   // room for the French day names
    myCalend->setSelectedDate(DefaultDate());

    // The month buttons sit over the calendar's own arrows, which they replace.
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
        if (auto* arrow = myCalend->findChild<QToolButton*>(QLatin1String(name)))
            arrow->hide();
    btnPrior = new QToolButton(this);
    btnPrior->setObjectName(QStringLiteral("btnPrior"));
    btnPrior->setArrowType(Qt::LeftArrow);
    btnPrior->setToolTip(QStringLiteral("Mois précédent"));
    btnPrior->setAutoRaise(true);
    btnNext = new QToolButton(this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnNext->setArrowType(Qt::RightArrow);
    btnNext->setToolTip(QStringLiteral("Mois suivant"));
    btnNext->setAutoRaise(true);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Annuler"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    stBar = new QStatusBar(this);
    stBar->setObjectName(QStringLiteral("StatusBar1"));
    stBar->setSizeGripEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(myCalend, 1);
    layout->addLayout(buttons);
    layout->addWidget(stBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnPrior, &QToolButton::clicked, this, Guarded([this] { btnPriorClick(); }));
    connect(btnNext, &QToolButton::clicked, this, Guarded([this] { btnNextClick(); }));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A double click on a day (or Enter in the grid) takes that day.
    connect(myCalend, &QCalendarWidget::activated, this, &QDialog::accept);
}

void TfrmCalendar::btnPriorClick()
{
    // QDate::addMonths keeps the day when the month has it, else takes the month's last day.
    myCalend->setSelectedDate(myCalend->selectedDate().addMonths(-1));
}

void TfrmCalendar::btnNextClick()
{
    myCalend->setSelectedDate(myCalend->selectedDate().addMonths(1));
}

std::optional<QDate> TfrmCalendar::PickDate(QWidget* parent)
{
    TfrmCalendar calendar(parent);
    if (calendar.exec() != QDialog::Accepted)
        return std::nullopt;
    return calendar.myCalend->selectedDate();
}

TfrmCalendar* TfrmCalendar::Existing()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* calendar = qobject_cast<TfrmCalendar*>(w); calendar && calendar->isVisible())
            return calendar;
    return nullptr;
}

void TfrmCalendar::PlaceMonthButtons()
{
    const QRect area = myCalend->geometry();
    int side = 24;
    if (auto* bar = myCalend->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar")))
        side = qMax(16, bar->height() - 4);
    btnPrior->setGeometry(area.left() + 2, area.top() + 2, side, side);
    btnNext->setGeometry(area.right() - side - 1, area.top() + 2, side, side);
    btnPrior->raise();
    btnNext->raise();
}

void TfrmCalendar::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PlaceMonthButtons();
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmCalendar::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PlaceMonthButtons();
}
