#pragma once
// TfrmListFNM: the list of the budget lines of the fiscal year and the budget
// line picker. In pick mode a chapter box filters the lines; the chapter chosen
// is remembered in the settings file ([LIST_FNM] CHAP) for the next picker.
//
// Picker: create, set SelectMode = true, exec(); after QDialog::Accepted read
// IdFnm, Chap, Art, Par, Intitule; otherwise IdFnm is -1 and the texts empty.

#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

#include <QComboBox>

class QLabel;

// A drop-down list (of at most maxVisibleItems rows) that tells when its list
// opens and closes. CloseUp comes once the choice made in the list is in the
// box: Qt closes the list before it applies a choice made by mouse or by
// Enter, so the signal is posted to run after that. Only a list that was
// opened closes up: hiding the box (its window closing) tells nothing.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDropDownBox(QWidget* parent = nullptr);
    void showPopup() override;
    void hidePopup() override;
signals:
    void DropDown();
    void CloseUp();

private:
    bool m_open = false;
};

class TfrmListFNM : public TRefListForm {
    Q_OBJECT
public:
    explicit TfrmListFNM(QWidget* parent = nullptr);
    ~TfrmListFNM() override;

    qint64 IdFnm = -1;     // out
    QString Chap;          // out
    QString Art;           // out
    QString Par;           // out
    QString Intitule;      // out

    QTableView* grdBudget = nullptr;
    QPushButton* btnFind = nullptr;
    QLabel* lChap = nullptr;
    TDropDownBox* cmbChap = nullptr;
    QAction* mnFind = nullptr;

    // Chapter box closed: filters the lines on the chosen chapter (all lines without one).
    void cmbChapCloseUp();
    // "Chercher": asks a chapter and makes its first shown line current.
    void btnFindClick();
    // The search itself, for the text typed in the input box.
    void FindChapter(const QString& chapter);

protected:
    void FormShow() override;
    void RunRecordWindow() override;
    void DeleteCurrent() override;
    void SetResults(bool ok) override;
    void UpdateButtons() override;
    void FormClose() override;

private:
    void ApplyChapterFilter();

    TNomenclatureStore m_store;
    bool m_canWrite = false;
};

// Shared by the nomenclature list and record: refuses, with its message, a
// budget line that still has expenses, salary lines, commitment or
// regularisation sheets, transfers or a budget. True when the line is free.
bool BudgetLineDeletable(qint64 idFnm);
// Asks the confirmation and deletes a free budget line in one operation.
bool DeleteBudgetLine(qint64 idFnm);
