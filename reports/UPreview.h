#pragma once
// TfrmPreview ("Aperçu avant impression"): the one preview window of every
// document. It is modal to the window that printed: while it is open nothing
// else of the program can change the rows the document walks. It shows the
// first page at once and lays out the others in slices of the window's event
// loop (the tool panel is disabled until the last page is ready), then offers
// navigation, the zoom kept in [PARAM] ZOOM of the settings file, and
// printing through the system print dialog (copies, page range, PDF file).

#include <QDialog>
#include <QPointer>
#include <QScrollArea>
#include <QTimer>

#include <memory>

class QComboBox;
class QKeyEvent;
class QPrinter;
class QSpinBox;
class QToolButton;
class TGradient;
class TReportForm;
class TStatusBar;

namespace rpt {
class PreparedPages;
class Run;
}

// The preview surface: one page at a zoom, or at the width of the view.
class TReportPreview : public QScrollArea {
    Q_OBJECT
public:
    explicit TReportPreview(QWidget* parent = nullptr);
    ~TReportPreview() override;

    void SetPages(const rpt::PreparedPages* pages);
    // 0-based page index.
    void ShowPage(int index);
    int PageIndex() const { return m_index; }
    // 1.0 is 100 %.
    void SetZoom(double factor);
    void SetPageWidth();
    double Zoom() const;
    bool FitsWidth() const { return m_fitWidth; }
    // Repaints after the pages changed.
    void Refresh();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class PageView;
    void Relayout();

    PageView* m_view = nullptr;
    const rpt::PreparedPages* m_pages = nullptr;
    int m_index = 0;
    double m_zoom = 1.0;
    bool m_fitWidth = false;
};

class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreview(QWidget* parent = nullptr);
    ~TfrmPreview() override;

    // The document shown; printing runs it again.
    TReportForm* SourceReport = nullptr;

    TGradient* ToolBar = nullptr;
    QToolButton* sbFirstPage = nullptr;
    QToolButton* sbPreviousPage = nullptr;
    QToolButton* sbNextPage = nullptr;
    QToolButton* sbLastPage = nullptr;
    QSpinBox* sePage = nullptr;
    QComboBox* cmbZoom = nullptr;
    QSpinBox* SpinEditCopies = nullptr;
    QToolButton* Print = nullptr;
    QToolButton* btnClose = nullptr;
    TReportPreview* ReportPreview = nullptr;
    TStatusBar* stBar = nullptr;

    // The zoom entry of a new preview when the settings file has none: 75 %.
    static constexpr int DefaultZoom = 3;

    // Shows a run's pages (at least its first one is ready) and lays out the
    // others while the window runs.
    void Start(std::unique_ptr<rpt::Run> run);
    // Shows pages prepared already.
    void SetPages(std::unique_ptr<rpt::PreparedPages> pages);
    // Every page is prepared.
    bool Ready() const { return m_pages != nullptr; }
    int PageCount() const;
    // The page shown, from 1.
    int PageShown() const;
    const rpt::PreparedPages* Pages() const { return m_shown; }

    void sbFirstPageClick();
    void sbPreviousPageClick();
    void sbNextPageClick();
    void sbLastPageClick();
    void sePageChange(int value);
    void cmbZoomChange();
    void PrintClick();
    // Prints on `printer` with its page range and copies, after running the
    // document again (same pages and totals). False when nothing printed.
    bool PrintTo(QPrinter& printer);
    void UpdateButtons();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Continue();
    void Finish();
    void UpdateCaption(int pages);
    void ShowPage(int number);
    void ApplyZoom();
    void RestoreCursor();

    std::unique_ptr<rpt::Run> m_run;
    std::unique_ptr<rpt::PreparedPages> m_pages;
    const rpt::PreparedPages* m_shown = nullptr;
    QTimer m_timer;
    int m_announced = 0;
    bool m_busy = false;
    bool m_waitCursor = false;
    bool m_closed = false;
};
