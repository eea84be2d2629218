#pragma once
// TfrmBenef: the record window of one beneficiary, opened by the beneficiary
// list. From it the bank, agency and wilaya lists can be opened to complete
// those tables.

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class TfrmBenef : public TRefRecordForm {
    Q_OBJECT
public:
    explicit TfrmBenef(QWidget* parent = nullptr);
    ~TfrmBenef() override;

    // In: the beneficiary shown first; then the key of the row shown (-1 when none).
    qint64 IdBen = -1;

    QPlainTextEdit* mmNom = nullptr;
    QComboBox* cmbTypeBen = nullptr;
    QLabel* lServiceGrade = nullptr;
    QComboBox* cmbService = nullptr;
    QComboBox* cmbGrade = nullptr;
    QLineEdit* edAdr = nullptr;
    QLineEdit* edVille = nullptr;
    QComboBox* cmbWil = nullptr;
    QLineEdit* edTel = nullptr;
    QLineEdit* edFax = nullptr;
    QComboBox* cmbBnq = nullptr;
    QComboBox* cmbAgence = nullptr;
    QLineEdit* edCpt = nullptr;
    QLineEdit* edRC = nullptr;
    QLineEdit* edMF = nullptr;
    QLineEdit* edAI = nullptr;
    QPushButton* btnBnq = nullptr;
    QPushButton* btnAgence = nullptr;
    QPushButton* btnGetWil = nullptr;

    void cmbTypeBenCloseUp();
    void btnBnqClick();
    void btnAgenceClick();
    void btnGetWilClick();

protected:
    QString RightItem() const override { return MenuItem::mnBenef; }
    void OpenRows() override;
    void ShowCurrent() override;
    void ClearForInsert() override;
    void FocusForEdit() override;
    void SaveRecord() override;
    void DeleteRecord() override;

private:
    void ShowGradeBox(bool employee);
    static void FillChoices(QComboBox* box, const QList<TChoice>& choices);

    TBeneficiaryStore m_store;
};

// Choice boxes keyed by a table's key: the key of the chosen item, -1 when none.
qint64 ComboKey(const QComboBox* box);
// Chooses the item of that key; no choice when no item has it.
void SetComboKey(QComboBox* box, qint64 key);
