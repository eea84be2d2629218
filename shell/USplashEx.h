#pragma once
// The about box: the program's pictures and its version line.

#include <QDialog>

class QLabel;

class TfrmSplashEx : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplashEx(QWidget* parent = nullptr);

    QLabel* lVersion = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
