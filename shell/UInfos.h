#pragma once
// The information window: a message and an optional progress bar shown while a
// long operation (database creation, seeding, copying) runs. The caller creates
// it, sets `lInfos`, shows or hides `pBar`, sets its maximum, steps it, frees it
// and restores the cursor (QApplication::restoreOverrideCursor()).

#include <QDialog>

class QLabel;
class QProgressBar;

class TfrmInfos : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfos(QWidget* parent = nullptr);

    QLabel* lInfos = nullptr;      // the message, word-wrapped
    QProgressBar* pBar = nullptr;  // along the bottom

    // Height of the window when the caller has hidden the progress bar.
    static constexpr int HeightWithoutBar = 135;
    static constexpr int HeightWithBar = 160;

protected:
    void showEvent(QShowEvent* event) override;
    // Esc does nothing: the caller frees the window when its operation ends.
    void reject() override {}
};

// Makes the data module's long operations (year creation, seeding) show their
// progress in the information window.
void InstallInfosProgressDisplay();
