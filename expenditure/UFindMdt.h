#pragma once
// TfrmFindMdt ("Chercher un mandat"): the search dialog of the payment-order
// window, by internal number or by order number. Typing in one edit greys the
// other. After the dialog has closed the caller reads the results.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmFindMdt : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFindMdt(QWidget* parent = nullptr);

    QLabel* lIdMdt = nullptr;
    QLineEdit* edIdMdt = nullptr;     // "No d'ordre : ", the internal number
    QLabel* lNoMdt = nullptr;
    QLineEdit* edNoMdt = nullptr;     // "No du mandat : "
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // Results: -1 and empty unless the dialog closed with OK.
    qint64 FoundIdMdt = -1;
    QString FoundNoMdt;

    void btnOkClick();
    void done(int result) override;

private:
    void EditChanged(QLineEdit* typed, QLineEdit* other, QLabel* otherLabel);
};
