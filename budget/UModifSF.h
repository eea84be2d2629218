#pragma once
// TfrmModifSF: corrects by hand the four figures of one row of the financial
// situation (SIT_FIN) before it is printed: initial and revised credits,
// commitments and payments. The row's balance and rate follow the figures,
// and its chapter row becomes the sum of the chapter's other rows. Nothing
// outside SIT_FIN changes; the next display rebuilds the table from the books.
//
// Modal, opened by the situation window on a row that is not a chapter row;
// it stays open for further corrections until it is closed. After each
// correction it calls Applied, with which the window shows its totals again.

#include "budget/SituationStore.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class TNumEdit;

class TfrmModifSF : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModifSF(QWidget* parent = nullptr);
    ~TfrmModifSF() override;

    // In: the row as stored (its key texts and the four figures "Annuler" restores).
    TSituationRow Row;
    // Called after each correction is saved.
    std::function<void()> Applied;

    QLabel* lImp = nullptr;
    QLabel* lInt = nullptr;
    TNumEdit* edCr_AL = nullptr;
    TNumEdit* edCr_RV = nullptr;
    TNumEdit* edEng = nullptr;
    TNumEdit* edPmt = nullptr;
    QLabel* lSolde = nullptr;
    QLabel* lTaux = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnClose = nullptr;

    // The row with the figures the edits hold.
    TSituationRow EditedRow() const;
    void FormShow();
    void FiguresChanged();
    void btnCancelClick();
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetFigures(const TSituationRow& row);
    void SetPending(bool pending);
    bool m_filling = false;
};
