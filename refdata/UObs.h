#pragma once
// TfrmObs: the default observation texts of the commitment sheets, five per
// budget chapter (OBS_SERVICE). Looking at a chapter without texts starts its
// row with the default texts, saved when the user saves, moves on or closes.

#include "refdata/RefDataStore.h"

#include <QDialog>

#include <array>
#include <memory>

class QPlainTextEdit;
class QPushButton;
class QTableView;
class QueryTableModel;
namespace db { class Query; }

class TfrmObs : public QDialog {
    Q_OBJECT
public:
    explicit TfrmObs(QWidget* parent = nullptr);
    ~TfrmObs() override;

    enum ObsState { osBrowse, osEdit, osInsert };

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

    ObsState State() const { return m_state; }
    // Whether the chapter shown has a stored row (or one being started).
    bool HasRow() const { return m_hasRow || m_state == osInsert; }
    QString CurrentChapter() const { return m_chap; }

    void btnEditClick();
    void btnPostClick();
    void btnCancelClick();
    void btnForAllClick();

    // The default texts of the memos, in the order of TObservationStore::Columns.
    static const std::array<QString, 5> DefaultTexts;
    static constexpr int MaxTextLength = 250;

protected:
    void done(int result) override;

private:
    void ChapterChanged(int row);
    void ShowChapter(const QString& chapter);
    void Post();
    void UpdateLook();
    std::array<QString, 5> MemoTexts() const;
    void SetMemoTexts(const std::array<QString, 5>& texts);

    std::unique_ptr<db::Query> qFNM;
    TObservationStore m_store;
    QueryTableModel* m_chapters = nullptr;
    std::array<QPlainTextEdit*, 5> m_memos{};
    ObsState m_state = osBrowse;
    bool m_hasRow = false;
    QString m_chap;                          // chapter of the row shown
    std::array<QString, 5> m_stored;         // texts of the stored row, which identify it
    int m_chapRow = -1;
    bool m_moving = false;
};
