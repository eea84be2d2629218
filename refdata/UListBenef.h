#pragma once
// TfrmListBenef: the list and picker of the beneficiaries, filtered by type and
// by a type-ahead on the name. The type-ahead text is kept for the whole run of
// the program: the next opening starts filtered by it.
//
// Picker: create, set SelectMode = true and TypeBen (none: all), exec(); after QDialog::Accepted read IdBen and NomBen;
// otherwise IdBen is 0 and NomBen empty.

#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

class QComboBox;
class QFrame;

class TfrmListBenef : public TRefListForm {
    Q_OBJECT
public:
    explicit TfrmListBenef(QWidget* parent = nullptr);
    ~TfrmListBenef() override;

    std::optional<BeneficiaryType> TypeBen;   // in: type shown first; none: all
    qint64 IdBen = 0;      // out
    QString NomBen;        // out

    QTableView* grdBenef = nullptr;
    QPushButton* btnPrint = nullptr;
    QComboBox* cmbTypeBen = nullptr;
    QFrame* pnlSelect = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnPrint = nullptr;

    // The type-ahead text of the process.
    static QString TypeAheadText();
    static void ResetTypeAhead();

    // Type box closed up: re-reads the rows of the chosen type.
    void cmbTypeBenCloseUp();
    // "Annuler le filtre": empties the type-ahead.
    void CancelFilter();
    void AddTypeAhead(const QString& character);
    void RemoveTypeAheadChar();

    // Whether a name passes the type-ahead text (letters a to z folded only).
    static bool NameMatches(const QString& name, const QString& typeAhead);

protected:
    void FormShow() override;
    void RunRecordWindow() override;
    void DeleteCurrent() override;
    void SetResults(bool ok) override;
    void UpdateButtons() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ReadRows();
    void TypeAheadChanged();

    TBeneficiaryStore m_store;
};

// Shared by the beneficiary list and record: refuses (with its message) a
// beneficiary that has expenses, asks the confirmation and deletes it in one
// operation. Returns true when it was deleted.
bool DeleteBeneficiary(qint64 idBen);
