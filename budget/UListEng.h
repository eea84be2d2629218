#pragma once
// TfrmListEng ("Listing des Engagements"): every commitment sheet of the year,
// whatever its origin, with the old and new balance of its budget line. It
// sorts by a clicked column (not the balances), narrows the list to one
// chapter (the side list and its toggle "OK"), filters by the criteria of
// TfrmFilterEng, finds a sheet by budget line and number, opens an expense
// commitment in TfrmEngagement, deletes the last expense commitment of a line
// and prints the list as shown (TfrmRptListEng).
//
// The main menu item "Listing des engagements" creates it, shows it modally
// and frees it.

#include "budget/CommitmentListing.h"
#include "budget/SheetStore.h"
#include "ui/ListingWindow.h"

#include <QHash>

class QTableView;

class TfrmListEng : public TListingWindow {
    Q_OBJECT
public:
    explicit TfrmListEng(QWidget* parent = nullptr);
    ~TfrmListEng() override;

    QTableView* grdFE = nullptr;
    QTableView* grdChap = nullptr;
    QPushButton* btnFilterChap = nullptr;
    QPushButton* btnModif = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnFilter = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnPrint = nullptr;
    QAction* mnModif = nullptr;
    QAction* mnDelete = nullptr;
    QAction* mnFilter = nullptr;
    QAction* mnCancelFilter = nullptr;
    QAction* mnDetail = nullptr;
    QAction* mnFind = nullptr;
    QAction* mnPrint = nullptr;
    QAction* mnClose = nullptr;

    QueryTableModel* Chapters() const { return m_chapters; }
    const TCommitmentCriteria& Filter() const { return m_filter; }
    // The chapter the side list narrows to; empty while its toggle is up.
    QString ChapterShown() const;

    // Handlers.
    void btnModifClick();
    void btnDeleteClick();
    void btnFilterClick();
    void ApplyFilter(const TCommitmentCriteria& filter);
    void btnFilterChapClick();
    void btnFindClick();
    void btnPrintClick();
    // Reads the sheets again, keeping the filter, the sort and the current sheet.
    void ReadSheets();

protected:
    void FormShow() override;
    void UpdateCommands() override;
    void ShowFiltered() override;

private:

    TCommitmentListing m_listing;
    TSheetStore m_store;
    QueryTableModel* m_chapters = nullptr;
    TCommitmentCriteria m_filter;
    bool m_canWrite = false;
    // The last sheet number of each budget line, from the rows read.
    QHash<qint64, QString> m_lastNumber;
};

// The printed commitment listing without its window (TfrmRptListEng's
// reader): every sheet, or those of the chapter `chap` (empty: all).
void ReadCommitmentListing(QueryTableModel& rows, const QString& chap);
