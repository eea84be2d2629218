#pragma once
// The progress window: a caption and a gauge, driven entirely by its caller
// (the financial-situation computation sets the caption, the gauge and the
// visibility).

#include <QDialog>

class QLabel;
class QProgressBar;

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget* parent = nullptr);

    QLabel* lProgress = nullptr;
    QProgressBar* myGauge = nullptr;
};
