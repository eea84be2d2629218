#pragma once
// TfrmGet_Eng ("Sélection d'une fiche d'engagement"): the user commitments
// that are not cancelled, by budget line then number, each with its line's
// balance before and after it, from which the cancellation window takes the
// sheet to cancel. Modal; after OK the caller reads SelectedIdEng.

#include "budget/SheetStore.h"
#include "ui/ItemsModel.h"

#include <QDialog>

class QAction;
class QMenu;
class QPushButton;
class QTableView;

class TfrmGet_Eng : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGet_Eng(QWidget* parent = nullptr);

    // Out: the chosen sheet's key; -1 until one is chosen with OK.
    qint64 SelectedIdEng = -1;

    QTableView* grdEng = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* PopMenu = nullptr;
    QAction* mnSelect = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnClose = nullptr;
    QueryTableModel* Sheets() const { return m_model; }

    void btnOkClick();
    // TfrmFindFE, then the row of that budget line and number.
    void btnFindClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadSheets();

    TSheetStore m_store;
    TItemsModel<TCancellableSheet>* m_model = nullptr;
};
