#pragma once
// TfrmFindFE ("Chercher une FE"): the search dialog of the commitment window.
// The user types a budget line (chapter, article, paragraph) and a sheet
// number; after the dialog has closed, the caller reads the results.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class TfrmFindFE : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFindFE(QWidget* parent = nullptr);

    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QLineEdit* edNoFE = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // Results, set when the dialog closes: empty unless it closed with OK; the
    // number trimmed and padded with "0" to four digits, the budget line trimmed.
    QString FoundNoFE;
    QString FoundChap;
    QString FoundArt;
    QString FoundPar;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
