#pragma once
// The fiscal-year switch "Changer l'Exercice" (F7): the year in large type,
// changed by the arrows, the arrow keys or a click on it; OK moves the
// program to that year's database (made and seeded in local mode when
// missing) and the dialog stays open; Cancel or Esc closes it. A switch that
// fails leaves the program on the year it was on. A user with read access
// only on "Changer Exercice" moves between the years that exist: making a
// year is refused.

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class TStatusBar;

class TfrmChangeYear : public QDialog {
    Q_OBJECT
public:
    explicit TfrmChangeYear(QWidget* parent = nullptr);
    ~TfrmChangeYear() override;

    QLabel* lYear = nullptr;
    QSpinBox* UpDown1 = nullptr;   // 1900 to 3000
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    TStatusBar* stBar = nullptr;

    int Year() const;
    void StepYear(int delta);
    void btnOkClick();

    // How long "Vous êtes sur l'exercice ..." stays on screen.
    static constexpr int ShownYearMilliseconds = 1500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowStatus();

    // The user's write right on "Changer Exercice", read once.
    bool m_canWrite = false;
};
