#pragma once
// TfrmFNMSQL: the record window of one budget line (chapter, article,
// paragraph, title, section, social-charge flag), opened by the nomenclature list.

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"
#include "ui/ListRecordPattern.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class TfrmFNMSQL : public TRefRecordForm {
    Q_OBJECT
public:
    explicit TfrmFNMSQL(QWidget* parent = nullptr);
    ~TfrmFNMSQL() override;

    qint64 IdFnm = -1;     // in: the line shown first

    // The chapter and article of the last save (kept for the run of the
    // program); they pre-fill a new line.
    inline static QString LastChapter;
    inline static QString LastArticle;

    QLineEdit* edChap = nullptr;
    QLineEdit* edArt = nullptr;
    QLineEdit* edPar = nullptr;
    QPlainTextEdit* mmLib = nullptr;
    QComboBox* cmbSection = nullptr;
    QCheckBox* chkSoumis = nullptr;

protected:
    QString RightItem() const override { return MenuItem::mnFNM; }
    void OpenRows() override { ReadOwnRows(IdFnm); }
    void ShowCurrent() override;
    void ClearForInsert() override;
    void FocusForEdit() override;
    void SaveRecord() override;
    void DeleteRecord() override;

private:
    TNomenclatureStore m_store;
};
