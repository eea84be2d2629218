#pragma once
// The start-up window: the program's picture, its version, "Chargement en
// cours..." and the progress bar the start-up steps advance.

#include <QWidget>

class QLabel;
class QProgressBar;

class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    QLabel* lVersion = nullptr;
    QLabel* lChargement = nullptr;
    QProgressBar* pBar = nullptr;
};
