#pragma once
// The calendar window: a month calendar (weeks start on Saturday) opened on
// today's date, with buttons that move the date by one month. OK (or a double
// click on a day) accepts, Cancel or Esc closes without a date; the caller
// reads the chosen date from myCalend.

#include <QDialog>
#include <optional>

class QCalendarWidget;
class QPushButton;
class QStatusBar;
class QToolButton;

class TfrmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalendar(QWidget* parent = nullptr);

    QCalendarWidget* myCalend = nullptr;
    QToolButton* btnPrior = nullptr;
    QToolButton* btnNext = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QStatusBar* stBar = nullptr;

    // The same day of the previous / next month; a day the target month lacks
    // becomes its last day (31 March -> 28 or 29 February).
    void btnPriorClick();
    void btnNextClick();

    // Opens the calendar modally on today's date; the chosen date on OK.
    static std::optional<QDate> PickDate(QWidget* parent = nullptr);
    // The calendar window already open, if any (the main window opens one at most).
    static TfrmCalendar* Existing();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceMonthButtons();
};
