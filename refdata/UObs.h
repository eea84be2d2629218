#pragma once
// TfrmObs: the default observation texts of the commitment sheets, five per
// budget chapter (OBS_SERVICE), on the editor base: the chapter's row is
// browsed, edited, or inserted when the chapter has none. Looking at a chapter
// without texts starts its row with the default texts, saved when the user
// saves, moves to another chapter or closes. A save never undoes another
// user's change of the row (the editor base's check of the row shown).

#include "refdata/RefDataStore.h"
#include "ui/EditorWindow.h"

#include <array>

class QPlainTextEdit;
class QPushButton;
class QTableView;
class QueryTableModel;

class TfrmObs : public TEditorWindow {
    Q_OBJECT
public:
    explicit TfrmObs(QWidget* parent = nullptr);
    ~TfrmObs() override;

    QTableView* grdChapters = nullptr;      // chapter grid
    QPlainTextEdit* mmObsBP = nullptr;
    QPlainTextEdit* mmObsBS = nullptr;
    QPlainTextEdit* mmObsBSN = nullptr;
    QPlainTextEdit* mmObsVAE = nullptr;
    QPlainTextEdit* mmObsVAD = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnPost = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnForAll = nullptr;
    QPushButton* btnClose = nullptr;
    QAction* mnEdit = nullptr;
    QAction* mnPost = nullptr;
    QAction* mnCancel = nullptr;
    QAction* mnForAll = nullptr;

    // Whether the chapter shown has a stored row (or one being started).
    bool HasRow() const { return m_row.has_value() || Mode() == emInsert; }
    QString CurrentChapter() const { return m_chap; }

    void btnEditClick();
    void btnPostClick() override;
    void btnCancelClick() override;
    void btnForAllClick();

    // The default texts of the memos, in the order of TObservationStore::Columns.
    static const std::array<QString, 5> DefaultTexts;
    static constexpr int MaxTextLength = 250;

protected:
    bool HasRows() const override { return m_row.has_value(); }
    void FormShow() override;
    TShownRow ShownRow() const override;
    void ShowStoredRow() override;
    void ModeChanged() override;
    void done(int result) override;

private:
    void ChapterChanged(int row);
    // Shows the stored row of the chapter, or starts its default row.
    void ShowChapter(const QString& chapter);
    std::array<QString, 5> MemoTexts() const;
    void SetMemoTexts(const std::array<QString, 5>& texts);

    TNomenclatureStore m_nomenclature;
    TObservationStore m_store;
    QueryTableModel* m_chapters = nullptr;
    std::array<QPlainTextEdit*, 5> m_memos{};
    QString m_chap;                                   // chapter shown
    std::optional<TObservationStore::Row> m_row;      // its stored row
    int m_chapRow = -1;
    bool m_moving = false;
};
