#include "reports/UPreview.h"

#include "controls/Gradient.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "reports/ReportForm.h"
#include "reports/engine/PagePainter.h"
#include "reports/engine/Report.h"
#include "ui/FormKit.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString PreparingText = QStringLiteral("Impression en cours ...");
constexpr double ZoomFactors[] = {2.0, 1.5, 1.0, 0.75, 0.5, 0.25};
constexpr int PageWidthEntry = 6;
constexpr int ViewMargin = 12;
// The time one slice of the preparation may hold the window.
constexpr int SliceMs = 40;

// The page box: a number beyond its bounds may be typed and becomes the
// nearest bound when it is entered.
class TPageBox : public QSpinBox {
public:
    explicit TPageBox(QWidget* parent) : QSpinBox(parent) { setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue); }

protected:
    QValidator::State validate(QString& input, int& pos) const override
    {
        const QString t = input.trimmed();
        if (t.isEmpty())
            return QValidator::Intermediate;
        for (QChar c : t)
            if (!c.isDigit())
                return QValidator::Invalid;
        const QValidator::State state = QSpinBox::validate(input, pos);
        return state == QValidator::Invalid ? QValidator::Intermediate : state;
    }
    void fixup(QString& input) const override
    {
        bool ok = false;
        const qint64 v = input.trimmed().toLongLong(&ok);
        input = QString::number(ok ? std::clamp<qint64>(v, minimum(), maximum()) : value());
    }
};

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon,
                        const QString& text = QString())
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(icon);
    b->setAutoRaise(true);
    b->setIconSize(QSize(22, 22));
    if (!text.isEmpty()) {
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    return b;
}

} // namespace

// ---------------------------------------------------------------------------
// The preview surface

class TReportPreview::PageView : public QWidget {
public:
    explicit PageView(TReportPreview* owner) : QWidget(owner), m_owner(owner)
    {
        setAutoFillBackground(false);
    }

    double scale() const { return m_owner->Zoom() * logicalDpiX() / 96.0; }

    QSize wanted() const
    {
        const rpt::PreparedPages* pages = m_owner->m_pages;
        if (!pages || m_owner->m_index >= pages->count())
            return QSize(200, 200);
        const QSizeF size = pages->page(m_owner->m_index).size * scale();
        return QSize(int(std::ceil(size.width())) + 2 * ViewMargin, int(std::ceil(size.height())) + 2 * ViewMargin);
    }

    void invalidate()
    {
        m_cache = QPixmap();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const rpt::PreparedPages* pages = m_owner->m_pages;
        if (!pages || m_owner->m_index >= pages->count())
            return;
        const rpt::Page& page = pages->page(m_owner->m_index);
        const double s = scale();
        const QSize size(int(std::ceil(page.size.width() * s)), int(std::ceil(page.size.height() * s)));
        const QPoint origin(std::max(ViewMargin, (width() - size.width()) / 2), ViewMargin);
        if (m_cache.isNull() || m_cacheKey != CacheKey(page, s)) {
            const qreal ratio = devicePixelRatioF();
            QPixmap pixmap(size * ratio);
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::white);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.scale(s, s);
            rpt::PaintPage(p, page);
            p.end();
            m_cache = pixmap;
            m_cacheKey = CacheKey(page, s);
        }
        painter.fillRect(QRect(origin + QPoint(4, 4), size), QColor(0x40, 0x40, 0x40));
        painter.drawPixmap(origin, m_cache);
        painter.setPen(Qt::black);
        painter.drawRect(QRect(origin, size).adjusted(0, 0, -1, -1));
    }

private:
    static QString CacheKey(const rpt::Page& page, double scale)
    {
        return QStringLiteral("%1/%2/%3").arg(quintptr(&page)).arg(page.items.size()).arg(scale);
    }

    TReportPreview* m_owner;
    QPixmap m_cache;
    QString m_cacheKey;
};

TReportPreview::TReportPreview(QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setBackgroundRole(QPalette::Dark);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_view = new PageView(this);
    setWidget(m_view);
    setWidgetResizable(false);
    setFocusPolicy(Qt::StrongFocus);
}

TReportPreview::~TReportPreview() = default;

void TReportPreview::SetPages(const rpt::PreparedPages* pages)
{
    m_pages = pages;
    if (m_pages && m_index >= m_pages->count())
        m_index = std::max(0, m_pages->count() - 1);
    Refresh();
}

void TReportPreview::ShowPage(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    Refresh();
    verticalScrollBar()->setValue(0);
}

void TReportPreview::SetZoom(double factor)
{
    m_fitWidth = false;
    m_zoom = factor;
    Refresh();
}

void TReportPreview::SetPageWidth()
{
    m_fitWidth = true;
    Refresh();
}

double TReportPreview::Zoom() const
{
    if (!m_fitWidth)
        return m_zoom;
    const rpt::PreparedPages* pages = m_pages;
    const double pageWidth = pages && m_index < pages->count() ? pages->page(m_index).size.width() : 794;
    // A pixel short of the view, so that rounding never brings a horizontal scroll bar.
    const double available = viewport()->width() - 2 * ViewMargin - 2;
    return std::max(0.05, available / (pageWidth * m_view->logicalDpiX() / 96.0));
}

void TReportPreview::Refresh()
{
    Relayout();
    m_view->invalidate();
}

void TReportPreview::Relayout()
{
    m_view->resize(m_view->wanted().expandedTo(QSize(viewport()->width(), 0)));
}

void TReportPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    Refresh();
}

// ---------------------------------------------------------------------------
// The preview window

TfrmPreview::TfrmPreview(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new TGradient(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->BeginUpdate();
    ToolBar->SetColorBegin(QColor(0xC0, 0xC0, 0xC0));
    ToolBar->SetColorEnd(QColor(0xF4, 0xF4, 0xF4));
    ToolBar->SetStyle(gsReflectedH);
    ToolBar->EndUpdate();
    ToolBar->setFixedHeight(40);
    auto* tools = new QHBoxLayout(ToolBar);
    tools->setContentsMargins(6, 2, 6, 2);
    QStyle* st = style();
    sbFirstPage = ToolButton(ToolBar, "sbFirstPage", QStringLiteral("premiére page"),
                             st->standardIcon(QStyle::SP_MediaSkipBackward));
    sbPreviousPage = ToolButton(ToolBar, "sbPreviousPage", QStringLiteral("page précédente"),
                                st->standardIcon(QStyle::SP_MediaSeekBackward));
    sbNextPage = ToolButton(ToolBar, "sbNextPage", QStringLiteral("page suivante"),
                            st->standardIcon(QStyle::SP_MediaSeekForward));
    sbLastPage = ToolButton(ToolBar, "sbLastPage", QStringLiteral("derniére page"),
                            st->standardIcon(QStyle::SP_MediaSkipForward));
    for (QToolButton* b : {sbFirstPage, sbPreviousPage, sbNextPage, sbLastPage})
        tools->addWidget(b);
    tools->addSpacing(12);

    auto* pageLabel = new QLabel(QStringLiteral("&Page"), ToolBar);
    sePage = new TPageBox(ToolBar);
    sePage->setObjectName(QStringLiteral("sePage"));
    sePage->setToolTip(QStringLiteral("aller à cette page"));
    sePage->setRange(1, 1);
    sePage->setMinimumWidth(70);
    pageLabel->setBuddy(sePage);
    tools->addWidget(pageLabel);
    tools->addWidget(sePage);
    tools->addSpacing(12);

    auto* zoomLabel = new QLabel(QStringLiteral("&Zoom"), ToolBar);
    cmbZoom = new QComboBox(ToolBar);
    cmbZoom->setObjectName(QStringLiteral("cmbZoom"));
    cmbZoom->setToolTip(QStringLiteral("Adapter l'affichage"));
    cmbZoom->addItems({QStringLiteral("200 %"), QStringLiteral("150 %"), QStringLiteral("100 %"),
                       QStringLiteral(" 75 %"), QStringLiteral(" 50 %"), QStringLiteral(" 25 %"),
                       QStringLiteral("Largeur de page")});
    zoomLabel->setBuddy(cmbZoom);
    tools->addWidget(zoomLabel);
    tools->addWidget(cmbZoom);
    tools->addSpacing(12);

    auto* copiesLabel = new QLabel(QStringLiteral("&Copies"), ToolBar);
    SpinEditCopies = new QSpinBox(ToolBar);
    SpinEditCopies->setObjectName(QStringLiteral("SpinEditCopies"));
    SpinEditCopies->setToolTip(QStringLiteral("nombre de copies à imprimer"));
    SpinEditCopies->setRange(1, 99);
    SpinEditCopies->setValue(1);
    copiesLabel->setBuddy(SpinEditCopies);
    tools->addWidget(copiesLabel);
    tools->addWidget(SpinEditCopies);
    tools->addSpacing(12);

    Print = ToolButton(ToolBar, "Print", QStringLiteral("lancer l'impression"),
                       QIcon(QStringLiteral(":/images/glyphs/print.png")), QStringLiteral("&Imprimer"));
    tools->addWidget(Print);
    tools->addStretch();
    btnClose = ToolButton(ToolBar, "btnClose", QStringLiteral("Quitter cette fenêtre"),
                          QIcon(QStringLiteral(":/images/glyphs/fermer.png")), QStringLiteral("&Fermer"));
    tools->addWidget(btnClose);
    layout->addWidget(ToolBar);

    ReportPreview = new TReportPreview(this);
    layout->addWidget(ReportPreview, 1);
    stBar = new TStatusBar({160, 200}, this);
    layout->addWidget(stBar);

    connect(sbFirstPage, &QToolButton::clicked, this, Guarded([this] { sbFirstPageClick(); }));
    connect(sbPreviousPage, &QToolButton::clicked, this, Guarded([this] { sbPreviousPageClick(); }));
    connect(sbNextPage, &QToolButton::clicked, this, Guarded([this] { sbNextPageClick(); }));
    connect(sbLastPage, &QToolButton::clicked, this, Guarded([this] { sbLastPageClick(); }));
    connect(sePage, &QSpinBox::valueChanged, this, [this](int value) { RunGuarded([&] { sePageChange(value); }); });
    connect(cmbZoom, &QComboBox::currentIndexChanged, this, Guarded([this] { cmbZoomChange(); }));
    connect(Print, &QToolButton::clicked, this, Guarded([this] { PrintClick(); }));
    connect(btnClose, &QToolButton::clicked, this, Guarded([this] { reject(); }));
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { Continue(); });

    // The zoom of the last preview; an index outside the list selects none (100 %).
    const int zoom = IniReadInteger(IniPath, QStringLiteral("PARAM"), QStringLiteral("ZOOM"), DefaultZoom);
    {
        const QSignalBlocker block(cmbZoom);
        cmbZoom->setCurrentIndex(zoom >= 0 && zoom < cmbZoom->count() ? zoom : -1);
    }
    ApplyZoom();

    resize(1000, 760);
    setWindowState(windowState() | Qt::WindowMaximized);
    ToolBar->setEnabled(false);
    stBar->SetPanel(1, PreparingText);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waitCursor = true;
}

TfrmPreview::~TfrmPreview()
{
    m_timer.stop();
    m_run.reset();
    RestoreCursor();
}

void TfrmPreview::RestoreCursor()
{
    if (m_waitCursor) {
        m_waitCursor = false;
        QApplication::restoreOverrideCursor();
    }
}

void TfrmPreview::Start(std::unique_ptr<rpt::Run> run)
{
    m_run = std::move(run);
    m_shown = &m_run->pages();
    ReportPreview->SetPages(m_shown);
    UpdateCaption(m_run->pageCount());
    stBar->SetPanel(0, QStringLiteral("Page : 1"));
    m_timer.start();
}

void TfrmPreview::SetPages(std::unique_ptr<rpt::PreparedPages> pages)
{
    m_run.reset();
    m_pages = std::move(pages);
    m_shown = m_pages.get();
    ReportPreview->SetPages(m_shown);
    Finish();
}

void TfrmPreview::Continue()
{
    if (!m_run || m_busy)
        return;
    m_busy = true;
    const bool ok = RunGuarded([this] {
        QElapsedTimer slice;
        slice.start();
        while (!m_run->finished() && slice.elapsed() < SliceMs)
            m_run->step();
    });
    m_busy = false;
    if (!ok) {
        // The document failed (its error has been shown): nothing to preview.
        ReportPreview->SetPages(nullptr);
        m_shown = nullptr;
        m_run.reset();
        reject();
        return;
    }
    const int ready = m_run->pageCount();
    if (ready != m_announced) {
        UpdateCaption(ready);
        ReportPreview->Refresh();
    }
    if (m_run->finished()) {
        m_pages = m_run->takePages();
        m_shown = m_pages.get();
        ReportPreview->SetPages(m_shown);
        m_run.reset();
        Finish();
        return;
    }
    m_timer.start();
}

void TfrmPreview::Finish()
{
    RestoreCursor();
    const int n = m_pages->count();
    if (n == 0) {
        TReportForm::ShowWarnings(m_pages->warnings);
        ShowInfo(TReportForm::WhyNothingPrints(*m_pages));
        reject();
        return;
    }
    {
        const QSignalBlocker block(sePage);
        sePage->setMaximum(n);
        sePage->setValue(1);
    }
    UpdateCaption(n);
    ShowPage(1);
    ToolBar->setEnabled(true);
    UpdateButtons();
    stBar->SetPanel(1, QString());
    ApplyZoom();
    const QStringList warnings = m_pages->warnings;
    TReportForm::ShowWarnings(warnings);
}

int TfrmPreview::PageCount() const
{
    if (m_run)
        return m_run->pageCount();
    return m_pages ? m_pages->count() : 0;
}

int TfrmPreview::PageShown() const
{
    return ReportPreview->PageIndex() + 1;
}

void TfrmPreview::UpdateCaption(int pages)
{
    m_announced = pages;
    const QString title = m_shown ? m_shown->title : QString();
    if (pages <= 0)
        setWindowTitle(title);
    else
        setWindowTitle(title + QStringLiteral(" - ") + QString::number(pages)
                       + (pages > 1 ? QStringLiteral(" pages") : QStringLiteral(" page")));
}

void TfrmPreview::ShowPage(int number)
{
    const int n = PageCount();
    if (n <= 0)
        return;
    ReportPreview->ShowPage(std::clamp(number, 1, n) - 1);
}

void TfrmPreview::UpdateButtons()
{
    const int n = PageCount();
    const int shown = PageShown();
    Print->setEnabled(Ready() && n > 0);
    SpinEditCopies->setEnabled(Print->isEnabled());
    const bool several = n > 1;
    sbFirstPage->setEnabled(several && shown > 1);
    sbPreviousPage->setEnabled(several && shown > 1);
    sbNextPage->setEnabled(several && shown < n);
    sbLastPage->setEnabled(several && shown < n);
    sePage->setEnabled(several);
    stBar->SetPanel(0, QStringLiteral("Page : %1/%2").arg(shown).arg(n));
}

void TfrmPreview::sbFirstPageClick()
{
    sePage->setValue(1);
    ShowPage(1);
    UpdateButtons();
}

void TfrmPreview::sbPreviousPageClick()
{
    if (sePage->value() < 2)
        return;
    sePage->setValue(sePage->value() - 1);
    ShowPage(sePage->value());
    UpdateButtons();
}

void TfrmPreview::sbNextPageClick()
{
    if (sePage->value() >= PageCount())
        return;
    sePage->setValue(sePage->value() + 1);
    ShowPage(sePage->value());
    UpdateButtons();
}

void TfrmPreview::sbLastPageClick()
{
    sePage->setValue(PageCount());
    ShowPage(PageCount());
    UpdateButtons();
}

void TfrmPreview::sePageChange(int value)
{
    if (!Ready())
        return;
    ShowPage(std::clamp(value, sePage->minimum(), sePage->maximum()));
    // The status bar follows every page change, the page box's included.
    UpdateButtons();
}

void TfrmPreview::cmbZoomChange()
{
    ApplyZoom();
}

void TfrmPreview::ApplyZoom()
{
    const int index = cmbZoom->currentIndex();
    if (index == PageWidthEntry)
        ReportPreview->SetPageWidth();
    else if (index >= 0 && index < int(std::size(ZoomFactors)))
        ReportPreview->SetZoom(ZoomFactors[index]);
    else
        ReportPreview->SetZoom(1.0);
}

void TfrmPreview::PrintClick()
{
    if (!Ready() || !Print->isEnabled())
        return;
    const int n = PageCount();
    QPrinter& printer = rpt::SystemPrinter();
    printer.setFullPage(true);
    printer.setPageLayout(m_pages->setup.pageLayout());
    printer.setCopyCount(SpinEditCopies->value());
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, n);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimer"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setMinMax(1, n);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PrintTo(printer))
        ShowInfo(QStringLiteral("Le document n'a pas pu être imprimé."));
}

bool TfrmPreview::PrintTo(QPrinter& printer)
{
    if (!Ready())
        return false;
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int from = range ? printer.fromPage() : 0;
    const int to = range ? printer.toPage() : 0;
    const int copies = std::max(1, printer.copyCount());
    if (SourceReport) {
        std::unique_ptr<rpt::PreparedPages> fresh;
        {
            TWaitCursor wait;
            fresh = SourceReport->PrepareAgain();
        }
        if (!fresh || fresh->isEmpty())
            return false;
        const int shown = PageShown();
        m_pages = std::move(fresh);
        m_shown = m_pages.get();
        ReportPreview->SetPages(m_shown);
        {
            const QSignalBlocker block(sePage);
            sePage->setMaximum(m_pages->count());
            sePage->setValue(std::min(shown, m_pages->count()));
        }
        ShowPage(sePage->value());
        UpdateCaption(m_pages->count());
        UpdateButtons();
    }
    TWaitCursor wait;
    return rpt::PrintPages(printer, *m_pages, from, to, copies);
}

void TfrmPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        RunGuarded([this] { PrintClick(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmPreview::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        m_timer.stop();
        // Closing while pages are being prepared stops the preparation.
        if (m_run) {
            RunGuarded([this] { m_run->cancel(); });
            ReportPreview->SetPages(m_pages.get());
            m_shown = m_pages.get();
            m_run.reset();
        }
        RestoreCursor();
        RunGuarded([this] {
            IniWriteInteger(IniPath, QStringLiteral("PARAM"), QStringLiteral("ZOOM"), cmbZoom->currentIndex());
        });
    }
    QDialog::done(result);
}
