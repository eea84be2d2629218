// The report frame and its windows: a document is previewed modally to its
// caller, the preview shows the first page while the others are prepared, its
// buttons, page box and status bar follow the page shown, the zoom is kept in
// the settings file, printing runs the document again with the same pages,
// and a document without any page opens no preview.
#include "common/MessageRecorder.h"
#include "common/ModalDriver.h"
#include "controls/Gradient.h"
#include "core/GlobalState.h"
#include "core/IniFile.h"
#include "reports/ReportTestSupport.h"
#include "reports/TestDocument.h"
#include "reports/UPaper.h"
#include "reports/UPreview.h"
#include "reports/engine/Report.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedIni = IniPath;
        IniPath = dir.filePath(QStringLiteral("VOREL.INI"));
    }
    void TearDown() override
    {
        EXPECT_TRUE(StopPendingModalWatches());
        IniPath = m_savedIni;
    }

    QTemporaryDir dir;
    MessageRecorder messages;

private:
    QString m_savedIni;
};

// Lets the preview prepare its pages.
void WaitReady(TfrmPreview* preview)
{
    QElapsedTimer clock;
    clock.start();
    while (!preview->Ready() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(preview->Ready());
}

TfrmPreview* AsPreview(QDialog* dialog)
{
    auto* preview = qobject_cast<TfrmPreview*>(dialog);
    EXPECT_NE(preview, nullptr);
    return preview;
}

void TypePage(TfrmPreview* preview, const QString& text)
{
    preview->sePage->setFocus();
    preview->sePage->selectAll();
    QTest::keyClicks(preview->sePage, text);
    QTest::keyClick(preview->sePage, Qt::Key_Return);
}

struct Buttons {
    bool first, previous, next, last, pageBox;
};

void ExpectButtons(TfrmPreview* p, const Buttons& b, const QString& status)
{
    EXPECT_EQ(p->sbFirstPage->isEnabled(), b.first);
    EXPECT_EQ(p->sbPreviousPage->isEnabled(), b.previous);
    EXPECT_EQ(p->sbNextPage->isEnabled(), b.next);
    EXPECT_EQ(p->sbLastPage->isEnabled(), b.last);
    EXPECT_EQ(p->sePage->isEnabled(), b.pageBox);
    EXPECT_TRUE(p->Print->isEnabled());
    EXPECT_TRUE(p->SpinEditCopies->isEnabled());
    EXPECT_EQ(p->stBar->Panel(0), status);
}

} // namespace

TEST_F(PreviewTest, AOnePageDocumentIsShownModallyAndThePreviewCallReturnsWhenItCloses)
{
    TestDocument doc(3);
    bool inspected = false;
    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(p->windowModality(), Qt::ApplicationModal);
        EXPECT_TRUE(p->isMaximized());
        EXPECT_EQ(p->windowTitle(), QStringLiteral("Etat de test - 1 page"));
        ExpectButtons(p, {false, false, false, false, false}, QStringLiteral("Page : 1/1"));
        EXPECT_EQ(p->stBar->Panel(1), QString());
        EXPECT_EQ(p->SpinEditCopies->minimum(), 1);
        EXPECT_EQ(p->SpinEditCopies->maximum(), 99);
        EXPECT_EQ(p->SpinEditCopies->value(), 1);
        inspected = true;
        p->btnClose->click();
    });
    doc.Preview(nullptr);
    EXPECT_TRUE(inspected);
    EXPECT_EQ(doc.FormCreates, 1);
    EXPECT_EQ(doc.AfterPrints, 1);
}

TEST_F(PreviewTest, ButtonsPageBoxAndStatusBarFollowThePageShown)
{
    TestDocument doc(25, 10);   // three pages
    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(p->windowTitle(), QStringLiteral("Etat de test - 3 pages"));
        ExpectButtons(p, {false, false, true, true, true}, QStringLiteral("Page : 1/3"));

        p->sbNextPage->click();
        EXPECT_EQ(p->PageShown(), 2);
        ExpectButtons(p, {true, true, true, true, true}, QStringLiteral("Page : 2/3"));
        p->sbLastPage->click();
        EXPECT_EQ(p->PageShown(), 3);
        ExpectButtons(p, {true, true, false, false, true}, QStringLiteral("Page : 3/3"));
        p->sbNextPage->click();   // nothing beyond the last page
        EXPECT_EQ(p->PageShown(), 3);
        p->sbFirstPage->click();
        EXPECT_EQ(p->sePage->value(), 1);
        ExpectButtons(p, {false, false, true, true, true}, QStringLiteral("Page : 1/3"));

        // Typed numbers beyond the bounds become the nearest bound; the status
        // bar follows the page box too.
        TypePage(p, QStringLiteral("99"));
        EXPECT_EQ(p->sePage->value(), 3);
        EXPECT_EQ(p->PageShown(), 3);
        EXPECT_EQ(p->stBar->Panel(0), QStringLiteral("Page : 3/3"));
        TypePage(p, QStringLiteral("0"));
        EXPECT_EQ(p->sePage->value(), 1);
        EXPECT_EQ(p->PageShown(), 1);
        EXPECT_EQ(p->stBar->Panel(0), QStringLiteral("Page : 1/3"));
        TypePage(p, QStringLiteral("2"));
        EXPECT_EQ(p->PageShown(), 2);
        ExpectButtons(p, {true, true, true, true, true}, QStringLiteral("Page : 2/3"));
        p->reject();
    });
    doc.Preview(nullptr);
}

TEST_F(PreviewTest, TheZoomChosenIsKeptForTheNextPreview)
{
    TestDocument doc(3);
    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(p->cmbZoom->currentIndex(), TfrmPreview::DefaultZoom);
        EXPECT_DOUBLE_EQ(p->ReportPreview->Zoom(), 0.75);
        p->cmbZoom->setCurrentIndex(6);
        EXPECT_TRUE(p->ReportPreview->FitsWidth());
        p->reject();
    });
    doc.Preview(nullptr);
    EXPECT_EQ(IniReadInteger(IniPath, QStringLiteral("PARAM"), QStringLiteral("ZOOM"), -99), 6);

    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(p->cmbZoom->currentIndex(), 6);
        EXPECT_TRUE(p->ReportPreview->FitsWidth());
        p->reject();
    });
    doc.Preview(nullptr);

    // A stored index outside the list selects no entry: 100 %, and closing keeps -1.
    IniWriteInteger(IniPath, QStringLiteral("PARAM"), QStringLiteral("ZOOM"), 9);
    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(p->cmbZoom->currentIndex(), -1);
        EXPECT_DOUBLE_EQ(p->ReportPreview->Zoom(), 1.0);
        p->reject();
    });
    doc.Preview(nullptr);
    EXPECT_EQ(IniReadInteger(IniPath, QStringLiteral("PARAM"), QStringLiteral("ZOOM"), -99), -1);
}

TEST_F(PreviewTest, ADocumentWithoutPagesOpensNoPreviewAndSaysSo)
{
    TestDocument doc(0);
    doc.Warning = QStringLiteral("Aucune ligne ne correspond !");
    bool opened = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            opened = true;
            m->close();
        }
    });
    guard.start(10);
    doc.Preview(nullptr);
    EXPECT_FALSE(opened);
    EXPECT_EQ(messages.texts(), (QStringList{doc.Warning, TReportForm::NothingToPrintText()}));
    EXPECT_EQ(doc.AfterPrints, 1);
}

TEST_F(PreviewTest, TheFirstPageIsShownWhileTheOthersArePrepared)
{
    TestDocument doc(595, 10);   // sixty pages
    auto run = std::make_unique<rpt::Run>(doc.report());
    run->runUntilPages(1);
    TfrmPreview preview;
    preview.SourceReport = &doc;
    preview.Start(std::move(run));
    EXPECT_FALSE(preview.Ready());
    EXPECT_EQ(preview.PageCount(), 1);
    EXPECT_EQ(preview.PageShown(), 1);
    EXPECT_FALSE(preview.ToolBar->isEnabled());
    EXPECT_EQ(preview.stBar->Panel(1), QStringLiteral("Impression en cours ..."));
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Etat de test - 1 page"));
    EXPECT_EQ(preview.Pages()->page(0).textsOf(QStringLiteral("dbNo")).size(), 10);

    WaitReady(&preview);
    EXPECT_EQ(preview.PageCount(), 60);
    EXPECT_TRUE(preview.ToolBar->isEnabled());
    EXPECT_EQ(preview.stBar->Panel(1), QString());
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Etat de test - 60 pages"));
    preview.reject();

    // Closed while it prepares: the preparation stops, the document's after-print runs.
    TestDocument other(600, 10);
    auto second = std::make_unique<rpt::Run>(other.report());
    second->runUntilPages(1);
    TfrmPreview closed;
    closed.Start(std::move(second));
    closed.reject();
    EXPECT_EQ(other.AfterPrints, 1);
    EXPECT_FALSE(other.report().running());
}

TEST_F(PreviewTest, PrintingRunsTheDocumentAgainWithTheSamePagesAndItsMessagesShownOnce)
{
    TestDocument doc(25, 10);
    doc.Warning = QStringLiteral("Nombre maximum d'imputations (4) dépassé !");
    const QString file = dir.filePath(QStringLiteral("print.pdf"));
    OnNextModal([&](QDialog* d) {
        TfrmPreview* p = AsPreview(d);
        ASSERT_NE(p, nullptr);
        WaitReady(p);
        EXPECT_EQ(messages.texts(), QStringList{doc.Warning});
        const QStringList before = p->Pages()->texts();
        EXPECT_EQ(p->Pages()->pages.back().textsOf(QStringLiteral("expTotal")), QStringList{QStringLiteral("325.00")});

        // The print dialog offers the page range and starts with the copies of the copies box.
        p->SpinEditCopies->setValue(3);
        OnNextModal([&](QDialog* dialog) {
            auto* print = qobject_cast<QPrintDialog*>(dialog);
            ASSERT_NE(print, nullptr);
            EXPECT_EQ(print->printer()->copyCount(), 3);
            EXPECT_EQ(print->minPage(), 1);
            EXPECT_EQ(print->maxPage(), 3);
            EXPECT_TRUE(print->testOption(QAbstractPrintDialog::PrintPageRange));
            dialog->reject();   // cancelled: nothing prints, the document does not run again
        });
        QTest::keyClick(p, Qt::Key_F10);
        EXPECT_EQ(doc.BeforePrints, 1);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setCopyCount(2);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
        EXPECT_TRUE(p->PrintTo(printer));
        EXPECT_EQ(doc.BeforePrints, 2);
        EXPECT_EQ(p->Pages()->texts(), before);
        p->reject();
    });
    doc.Preview(nullptr);
    EXPECT_EQ(messages.texts(), QStringList{doc.Warning});
    EXPECT_EQ(doc.FormCreates, 1);
    // Pages 2 and 3, twice.
    EXPECT_EQ(PdfPageCount(file), 4);
    EXPECT_TRUE(PdfText(file, 1).contains(QStringLiteral("Page : 2")));
    EXPECT_TRUE(PdfText(file, 4).contains(QStringLiteral("325.00")));
}

TEST_F(PreviewTest, ThePaperDialogReturnsTheIndexShownHoweverItCloses)
{
    OnNextModal([](QDialog* d) {
        auto* paper = qobject_cast<TfrmPaper*>(d);
        ASSERT_NE(paper, nullptr);
        EXPECT_EQ(paper->windowTitle(), QStringLiteral("Format du papier"));
        EXPECT_EQ(paper->cmbPaper->count(), 3);
        EXPECT_EQ(paper->cmbPaper->itemText(0), QStringLiteral("210×297 mm (A4)"));
        EXPECT_EQ(paper->cmbPaper->itemText(2), QStringLiteral("350x279 mm (Legal)"));
        EXPECT_EQ(paper->PaperIndex(), 0);
        EXPECT_EQ(paper->minimumSize(), paper->maximumSize());
        paper->cmbPaper->setCurrentIndex(1);
        paper->btnOk->click();
    });
    EXPECT_EQ(TfrmPaper::Ask(), 1);
    OnNextModal([](QDialog* d) {
        qobject_cast<TfrmPaper*>(d)->cmbPaper->setCurrentIndex(2);
        d->reject();   // the title bar's close button
    });
    EXPECT_EQ(TfrmPaper::Ask(), 2);
    OnNextModal([](QDialog* d) { d->reject(); });
    EXPECT_EQ(TfrmPaper::Ask(), 0);
}

TEST_F(PreviewTest, AListingPrintsTheRowsItsGridShowsInTheirOrder)
{
    QueryTableModel model;
    std::vector<std::vector<db::Value>> rows;
    for (int i = 1; i <= 5; ++i)
        rows.push_back({db::Value(qint64(i)), db::Value(Currency::fromUnits(i))});
    model.setRows({QStringLiteral("NO"), QStringLiteral("MT")}, std::move(rows));
    model.setFilter([](const QueryRow& r) { return r.asInt(QStringLiteral("NO")) >= 2; });
    model.sort(0, Qt::DescendingOrder);
    model.setCurrentRow(1);

    TestDocument doc(0);
    doc.SetGridRows(model);
    const auto pages = doc.Prepare();
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("dbNo")), (QStringList{"5", "4", "3", "2"}));
    EXPECT_EQ(pages->page(0).textsOf(QStringLiteral("expTotal")), QStringList{QStringLiteral("14.00")});
    EXPECT_EQ(model.currentRow(), 1);   // the grid's current row is left alone
}
