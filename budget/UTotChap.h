#pragma once
// TfrmTotChap: the sum of the primitive budgets of one chapter (every line whose
// chapter is exactly `Chap`, its heading included), shown in the money format.

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmTotChap : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTotChap(QWidget* parent = nullptr);

    QString Chap;   // in: the chapter, set before showing

    QLabel* lChap = nullptr;
    QLabel* lTotChap = nullptr;
    QPushButton* btnOk = nullptr;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_shown = false;
};
