#pragma once
// TfrmAddRegul_FE ("Sélection d'une fiche d'engagement"): lists the ordinary
// commitment sheets of one origin (transfer, amending budget, cancellation),
// of one budget line or of every line, and copies the chosen one into a
// regularisation sheet: its header values and its one line, in one
// transaction (budget/RegulStore.h CopySheet).
//
// The caller sets Origine, IdFnm, IdEngReg, NoEngReg and lImput's text, runs
// exec(); after OK, IdFnm is the copied sheet's budget line.

#include "budget/RegulStore.h"
#include "ui/ItemsModel.h"

#include <QDialog>

class QLabel;
class QMenu;
class QPushButton;
class QTableView;

class TfrmAddRegul_FE : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAddRegul_FE(QWidget* parent = nullptr);

    SheetOrigin Origine = SheetOrigin::Transfer;
    qint64 IdFnm = -1;
    qint64 IdEngReg = -1;
    QString NoEngReg;

    QLabel* lImput = nullptr;
    QTableView* grdEng = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QMenu* PopMenu = nullptr;

    const QList<TCopyableSheet>& Offered() const { return m_sheets; }
    QueryTableModel* Model() const { return m_model; }
    // Copies the current row; closes with OK when copied.
    void CopyCurrent();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitColumns();

    TRegulStore m_store;
    TItemsModel<TCopyableSheet>* m_model = nullptr;
    QList<TCopyableSheet> m_sheets;
    bool m_shown = false;
};
