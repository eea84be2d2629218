#include "reports/engine/Report.h"

#include <QTextDocument>

#include <algorithm>

namespace rpt {

// ---------------------------------------------------------------------------
// Bands

Band::Band(Report& report, BandKind kind, const QString& name, int height)
    : m_report(&report), m_kind(kind), m_name(name), m_height(height)
{
}

Band::~Band() = default;

void Band::setGroupField(const QString& field)
{
    m_groupField = field;
    m_groupKey = nullptr;
}

QVariant Band::groupKey(const RowSource* rows) const
{
    if (m_groupKey)
        return m_groupKey();
    if (rows && !m_groupField.isEmpty())
        return db::toVariant(rows->value(m_groupField));
    return QVariant();
}

void Band::setFooter(Band* footer)
{
    if (m_footer)
        m_footer->m_header = nullptr;
    m_footer = footer;
    if (footer)
        footer->m_header = this;
}

Band* Band::addChild(const QString& name, int height)
{
    Band* child = m_report->addBand(BandKind::Child, name, height);
    child->m_parent = this;
    m_children.push_back(child);
    return child;
}

template <class T, class... Args>
T* Band::add(Args&&... args)
{
    auto control = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T* raw = control.get();
    m_controls.push_back(std::move(control));
    return raw;
}

Label* Band::addLabel(const QString& name, const QRect& rect, const QString& caption)
{
    return add<Label>(name, rect, caption);
}

DataText* Band::addDataText(const QString& name, const QRect& rect, const QString& field, const QString& mask)
{
    return add<DataText>(name, rect, field, mask);
}

Expr* Band::addSum(const QString& name, const QRect& rect, const QString& field, Reset reset, const QString& mask)
{
    return add<Expr>(name, rect, Expr::Aggregate::Sum, field, reset, mask);
}

Expr* Band::addCount(const QString& name, const QRect& rect, Reset reset)
{
    return add<Expr>(name, rect, Expr::Aggregate::Count, QString(), reset, QString());
}

SysData* Band::addSysData(const QString& name, const QRect& rect, SysData::Value value, const QString& caption)
{
    return add<SysData>(name, rect, value, caption);
}

Shape* Band::addShape(const QString& name, const QRect& rect, Shape::Form form)
{
    return add<Shape>(name, rect, form);
}

RoundRect* Band::addRoundRect(const QString& name, const QRect& rect)
{
    return add<RoundRect>(name, rect);
}

Image* Band::addImage(const QString& name, const QRect& rect, const QImage& picture)
{
    return add<Image>(name, rect, picture);
}

RichText* Band::addRichText(const QString& name, const QRect& rect)
{
    return add<RichText>(name, rect);
}

Control* Band::find(const QString& name) const
{
    for (const auto& control : m_controls)
        if (control->name().compare(name, Qt::CaseInsensitive) == 0)
            return control.get();
    return nullptr;
}

// ---------------------------------------------------------------------------
// Report

Report::Report(const QString& name)
    : m_name(name), m_font(QStringLiteral("Arial"), 10)
{
}

Band* Report::addBand(BandKind kind, const QString& name, int height)
{
    m_bands.push_back(std::make_unique<Band>(*this, kind, name, height));
    Band* band = m_bands.back().get();
    if (kind == BandKind::GroupFooter) {
        for (auto it = m_bands.rbegin(); it != m_bands.rend(); ++it)
            if ((*it)->kind() == BandKind::GroupHeader && !(*it)->footer()) {
                (*it)->setFooter(band);
                break;
            }
    }
    return band;
}

Band* Report::findBand(const QString& name) const
{
    for (const auto& band : m_bands)
        if (band->name().compare(name, Qt::CaseInsensitive) == 0)
            return band.get();
    return nullptr;
}

Band* Report::band(BandKind kind) const
{
    for (const auto& band : m_bands)
        if (band->kind() == kind)
            return band.get();
    return nullptr;
}

Control* Report::find(const QString& name) const
{
    for (const auto& band : m_bands)
        if (Control* control = band->find(name))
            return control;
    return nullptr;
}

Control* Report::findNumbered(const QString& prefix, int number) const
{
    return find(prefix + QString::number(number));
}

void Report::setDataSet(db::Query* query)
{
    m_queryRows = query ? std::make_unique<QueryRows>(*query) : nullptr;
    m_rows = m_queryRows.get();
}

void Report::setRows(RowSource* rows)
{
    m_queryRows.reset();
    m_rows = rows;
}

const db::Value& Report::value(const QString& field) const
{
    static const db::Value null;
    return m_rows ? m_rows->value(field) : null;
}

std::unique_ptr<PreparedPages> Report::prepare()
{
    Run run(*this);
    run.runToEnd();
    return run.takePages();
}

// ---------------------------------------------------------------------------
// Run

namespace {

constexpr double Eps = 0.01;

struct PageLimitReached {};

// Thrown by Report::refuse, caught by the run.
struct Refused {
    QString message;
};

const Band& RootOf(const Band& band)
{
    const Band* b = &band;
    while (b->parent())
        b = b->parent();
    return *b;
}

// The band's stretching rich text that goes on over pages; nullptr when none.
const RichText* FlowingText(const Band& band)
{
    for (const auto& control : band.controls())
        if (control->enabled() && control->kind() == ControlKind::RichText) {
            const auto* text = static_cast<const RichText*>(control.get());
            if (text->autoStretch() && text->flowsOverPages())
                return text;
        }
    return nullptr;
}

bool IsBody(BandKind kind)
{
    return kind == BandKind::Detail || kind == BandKind::GroupHeader || kind == BandKind::GroupFooter
        || kind == BandKind::Summary;
}

bool IsColumnBand(BandKind kind)
{
    return kind == BandKind::Detail || kind == BandKind::GroupHeader || kind == BandKind::GroupFooter;
}

} // namespace

struct Run::Impl {
    explicit Impl(Report& report) : r(report), out(std::make_unique<PreparedPages>()) {}

    enum class Phase { Start, Records, End, Done };
    enum class Mode { Rows, NeedData, Once };

    Report& r;
    std::unique_ptr<PreparedPages> out;
    Phase phase = Phase::Start;
    Mode mode = Mode::Once;
    bool beforePrintDone = false;
    bool detached = false;   // the report is gone

    // Page metrics, in report pixels.
    double pageW = 0, pageH = 0, marginLeft = 0, marginTop = 0, marginBottom = 0;
    double printW = 0, columnW = 0, columnGap = 0;
    int columns = 1;

    Band* title = nullptr;
    Band* pageHeader = nullptr;
    Band* columnHeader = nullptr;
    Band* detail = nullptr;
    Band* summary = nullptr;
    Band* pageFooter = nullptr;
    std::vector<Band*> groups;
    std::vector<QVariant> keys;
    bool groupsStarted = false;

    std::vector<Expr*> exprs;
    std::vector<Expr*> pageExprs;
    std::vector<std::vector<Expr*>> groupExprs;

    Page* page = nullptr;
    int complete = 0;
    double y = 0, columnTop = 0, bodyBottom = 0, columnMaxY = 0;
    int column = 0;
    bool columnHasBody = false;
    bool pageHasBody = false;
    bool newPageWanted = false;

    RowSource* rows = nullptr;
    int rowCount = 0;
    int row = -1;
    int records = 0;
    bool ended = false;

    void start();
    void shrinkColumns();
    void nextRecord();
    void end();
    void finish();

    void handleGroups();
    void printGroupFooters(size_t fromLevel);
    bool printBand(Band& band, bool accumulate = false, bool atBottom = false);
    double bandHeight(const Band& band) const;
    void renderBand(const Band& band, RenderContext& context, const QRectF& box) const;
    double childrenHeight(const Band& band) const;
    // Prints a band whose rich text goes on over the next pages.
    void printFlowing(const Band& band, const RichText& text, double x, double w);
    void ensurePage();
    void newPage();
    void finishPage(bool last);
    void breakPage();
    void nextColumnOrPage();
};

void Run::Impl::start()
{
    out->warnings = r.m_warnings;
    r.m_warnings.clear();
    r.m_runTime = r.m_clock ? r.m_clock() : QDateTime::currentDateTime();

    groups.clear();
    exprs.clear();
    for (const auto& band : r.bands()) {
        switch (band->kind()) {
        case BandKind::Title: if (!title) title = band.get(); break;
        case BandKind::PageHeader: if (!pageHeader) pageHeader = band.get(); break;
        case BandKind::ColumnHeader: if (!columnHeader) columnHeader = band.get(); break;
        case BandKind::Detail: if (!detail) detail = band.get(); break;
        case BandKind::Summary: if (!summary) summary = band.get(); break;
        case BandKind::PageFooter: if (!pageFooter) pageFooter = band.get(); break;
        case BandKind::GroupHeader: groups.push_back(band.get()); break;
        case BandKind::GroupFooter:
        case BandKind::Child: break;
        }
        for (const auto& control : band->controls())
            if (auto* e = dynamic_cast<Expr*>(control.get()))
                exprs.push_back(e);
    }
    // Each sum starts at zero at every run, then at the start of its page or group.
    groupExprs.assign(groups.size(), {});
    for (Expr* e : exprs) {
        e->clear();
        if (e->reset() == Reset::Page) {
            pageExprs.push_back(e);
        } else if (e->reset() == Reset::Group && !groups.empty()) {
            const Band& root = RootOf(e->band());
            const Band* header = root.kind() == BandKind::GroupFooter ? root.header() : &root;
            auto it = std::find(groups.begin(), groups.end(), header);
            groupExprs[it == groups.end() ? groups.size() - 1 : size_t(it - groups.begin())].push_back(e);
        }
    }

    beforePrintDone = true;
    if (r.onBeforePrint)
        r.onBeforePrint();

    const PageSetup& setup = r.page();
    out->title = r.title();
    out->setup = setup;
    pageW = MmToPx(setup.width);
    pageH = MmToPx(setup.length);
    marginLeft = MmToPx(setup.margins.left);
    marginTop = MmToPx(setup.margins.top);
    marginBottom = MmToPx(setup.margins.bottom);
    printW = std::max(0.0, MmToPx(setup.printableWidth()));
    columns = std::max(1, setup.columns);
    columnGap = MmToPx(setup.columnSpace);
    columnW = std::max(0.0, (printW - (columns - 1) * columnGap) / columns);

    rows = r.rows();
    if (rows) {
        mode = Mode::Rows;
        rowCount = rows->open();
    } else {
        mode = r.onNeedData ? Mode::NeedData : Mode::Once;
    }
    shrinkColumns();
    phase = Phase::Records;
}

void Run::Impl::shrinkColumns()
{
    std::vector<DataText*> cells;
    for (const auto& band : r.bands())
        for (const auto& control : band->controls())
            if (control->kind() == ControlKind::DataText) {
                auto* cell = static_cast<DataText*>(control.get());
                if (cell->columnFloor() > 0 && !cell->ownRows()) {
                    cell->setFontSize(cell->columnPoints());
                    cells.push_back(cell);
                }
            }
    if (cells.empty() || mode != Mode::Rows)
        return;
    std::vector<QStringList> texts(cells.size());
    for (int i = 0; i < rowCount; ++i) {
        rows->moveTo(i);
        for (size_t k = 0; k < cells.size(); ++k)
            texts[k] << cells[k]->text();
    }
    for (size_t k = 0; k < cells.size(); ++k)
        ShrinkColumn(*cells[k], texts[k], cells[k]->columnFloor());
}

void Run::Impl::nextRecord()
{
    switch (mode) {
    case Mode::Rows:
        if (++row >= rowCount) {
            phase = Phase::End;
            return;
        }
        rows->moveTo(row);
        break;
    case Mode::NeedData:
        if (records >= MaxNeedDataRecords) {
            r.warn(QStringLiteral("La préparation du document a été arrêtée après %1 enregistrements.")
                       .arg(MaxNeedDataRecords));
            phase = Phase::End;
            return;
        }
        if (!r.onNeedData()) {
            phase = Phase::End;
            return;
        }
        break;
    case Mode::Once:
        phase = Phase::End;
        break;
    }
    handleGroups();
    ++records;
    if (detail)
        printBand(*detail, true);
}

void Run::Impl::end()
{
    ended = true;
    if (records > 0 || r.printIfEmpty()) {
        if (records > 0)
            printGroupFooters(0);
        ensurePage();
        if (summary)
            printBand(*summary);
        finishPage(true);
    }
    finish();
}

void Run::Impl::finish()
{
    phase = Phase::Done;
    complete = out->count();
    r.m_run = nullptr;
    if (beforePrintDone) {
        beforePrintDone = false;
        if (r.onAfterPrint)
            r.onAfterPrint();
    }
}

void Run::Impl::handleGroups()
{
    if (groups.empty())
        return;
    std::vector<QVariant> now(groups.size());
    for (size_t i = 0; i < groups.size(); ++i)
        now[i] = groups[i]->groupKey(rows);
    size_t level = 0;
    if (groupsStarted) {
        level = groups.size();
        for (size_t i = 0; i < groups.size(); ++i)
            if (now[i] != keys[i]) {
                level = i;
                break;
            }
        if (level == groups.size())
            return;
        // The footers of the groups that end print while their last record is current.
        if (mode == Mode::Rows && row > 0)
            rows->moveTo(row - 1);
        printGroupFooters(level);
        if (mode == Mode::Rows)
            rows->moveTo(row);
    }
    keys = std::move(now);
    groupsStarted = true;
    for (size_t i = level; i < groups.size(); ++i) {
        for (Expr* e : groupExprs[i])
            e->clear();
        printBand(*groups[i]);
    }
}

void Run::Impl::printGroupFooters(size_t fromLevel)
{
    if (!groupsStarted)
        return;
    for (size_t i = groups.size(); i-- > fromLevel;)
        if (Band* footer = groups[i]->footer())
            printBand(*footer);
}

double Run::Impl::bandHeight(const Band& band) const
{
    RenderContext context;
    context.report = &r;
    // A stretching control keeps the room the design left below it.
    double h = band.height();
    for (const auto& control : band.controls())
        if (control->enabled() && control->stretches())
            h = std::max(h, control->top() + control->neededHeight(context)
                                + std::max(0, band.height() - control->bottom()));
    return h;
}

double Run::Impl::childrenHeight(const Band& band) const
{
    double h = 0;
    for (const Band* child : band.children())
        if (child->enabled())
            h += child->height() + childrenHeight(*child);
    return h;
}

void Run::Impl::renderBand(const Band& band, RenderContext& context, const QRectF& box) const
{
    if (band.color().isValid() && band.color().alpha() > 0) {
        PageItem fill;
        fill.kind = ItemKind::Rect;
        fill.rect = box;
        fill.pen = Qt::NoPen;
        fill.brush = QBrush(band.color());
        context.add(std::move(fill));
    }
    for (const auto& control : band.controls())
        if (control->enabled())
            control->render(context, QRectF(box.left() + control->left(), box.top() + control->top(),
                                            control->width(), control->height()));
    QRectF framed = box;
    if (band.frameWidth() > 0)
        framed.setWidth(std::min<double>(band.frameWidth(), box.width()));
    AddFrameLines(context, band.frame(), framed, QString());
}

bool Run::Impl::printBand(Band& band, bool accumulate, bool atBottom)
{
    if (!band.enabled())
        return false;
    bool print = true;
    if (band.onBeforePrint)
        band.onBeforePrint(band, print);
    if (!print) {
        if (band.onAfterPrint)
            band.onAfterPrint(band, false);
        return false;
    }

    const BandKind rootKind = RootOf(band).kind();
    const bool body = IsBody(rootKind);
    const bool inColumn = IsColumnBand(rootKind);
    ensurePage();
    if (body && (newPageWanted || band.forceNewPage())) {
        // Asked for a new page: none while nothing is printed on this one yet.
        newPageWanted = false;
        if (pageHasBody)
            breakPage();
    }

    const double h = bandHeight(band);
    if (body && !inColumn && columns > 1) {
        y = std::max(y, columnMaxY);
        column = 0;
    }
    if (atBottom) {
        y = pageH - marginBottom - h - childrenHeight(band);
    } else if (body && y + h > bodyBottom + Eps && (inColumn ? columnHasBody : pageHasBody)) {
        // A band of the columns goes on in the next column; one across the page on the next page.
        if (inColumn)
            nextColumnOrPage();
        else
            breakPage();
    }

    // A band that cannot fit even on an empty page is cut at the page's end.
    const double limit = body ? bodyBottom : pageH - marginBottom;
    const bool clipped = y + h > limit + Eps;

    // Each printed record counts once, on the page where it prints.
    if (accumulate)
        for (Expr* e : exprs)
            e->accumulate(rows);

    const double x = marginLeft + (inColumn ? column * (columnW + columnGap) : 0);
    const double w = inColumn ? columnW : printW;
    if (clipped && body && !inColumn)
        if (const RichText* text = FlowingText(band)) {
            printFlowing(band, *text, x, w);
            if (band.onAfterPrint)
                band.onAfterPrint(band, true);
            for (Band* child : band.children())
                printBand(*child);
            return true;
        }
    RenderContext context;
    context.page = page;
    context.report = &r;
    context.growth = h - band.height();
    const QRectF box(x, y, w, h);
    const QRectF shown(x, y, w, clipped ? std::max(0.0, limit - y) : h);
    if (clipped) {
        page->clips.push_back(shown);
        context.clip = qint16(std::min<size_t>(page->clips.size() - 1, 32767));
    }
    renderBand(band, context, box);
    page->bands.push_back(BandBox{band.name(), band.kind(), shown, clipped});
    y += shown.height();
    columnMaxY = std::max(columnMaxY, y);
    if (body)
        columnHasBody = pageHasBody = true;

    if (band.onAfterPrint)
        band.onAfterPrint(band, true);
    for (Band* child : band.children())
        printBand(*child);
    return true;
}

void Run::Impl::printFlowing(const Band& band, const RichText& text, double x, double w)
{
    const std::shared_ptr<QTextDocument> laid = text.laidOut(text.width());
    const std::vector<std::pair<double, double>> spans = LineSpans(*laid);
    const double total = laid->size().height();
    double from = 0;
    for (bool first = true;; first = false) {
        const double bandTop = y;
        const double top = first ? y + text.top() : y;
        RenderContext context;
        context.page = page;
        context.report = &r;
        // The controls beside the text print with the first part.
        if (first)
            for (const auto& control : band.controls())
                if (control.get() != &text && control->enabled())
                    control->render(context, QRectF(x + control->left(), y + control->top(), control->width(),
                                                    control->height()));
        const double room = std::max(0.0, bodyBottom - top);
        const bool last = from + room >= total - Eps;
        double to = total;
        if (!last) {
            to = CutAbove(spans, from + room);
            // A line taller than a whole page is cut where the page ends.
            if (to <= from + Eps)
                to = from + room;
        }
        text.renderPart(context, QRectF(x + text.left(), top, text.width(), to - from), laid, from, to);
        double bottom = top + (to - from);
        if (last)
            bottom += std::max(0, band.height() - text.bottom());
        page->bands.push_back(BandBox{band.name(), band.kind(), QRectF(x, bandTop, w, bottom - bandTop), false});
        y = bottom;
        columnMaxY = std::max(columnMaxY, y);
        columnHasBody = pageHasBody = true;
        if (last)
            return;
        from = to;
        breakPage();
    }
}

void Run::Impl::ensurePage()
{
    if (!page)
        newPage();
}

void Run::Impl::newPage()
{
    if (out->count() >= MaxPages)
        throw PageLimitReached{};
    // A page holds about as many items as the one before it.
    const size_t expected = out->pages.empty() ? 0 : out->pages.back().items.size();
    out->pages.emplace_back();
    page = &out->pages.back();
    page->items.reserve(expected);
    page->size = QSizeF(pageW, pageH);
    for (Expr* e : pageExprs)
        e->clear();
    y = marginTop;
    column = 0;
    columnHasBody = pageHasBody = false;
    columnMaxY = y;
    double reserve = 0;
    if (pageFooter && pageFooter->enabled())
        reserve = pageFooter->height() + childrenHeight(*pageFooter);
    bodyBottom = pageH - marginBottom - reserve;
    const int number = out->count();
    if (pageHeader && (number > 1 || r.firstPageHeader()))
        printBand(*pageHeader);
    if (number == 1 && title)
        printBand(*title);
    if (columnHeader)
        printBand(*columnHeader);
    columnTop = y;
}

void Run::Impl::finishPage(bool last)
{
    if (!page)
        return;
    if (pageFooter && (!last || r.lastPageFooter()))
        printBand(*pageFooter, false, true);
    complete = out->count();
    if (r.onPageReady)
        r.onPageReady(complete);
}

void Run::Impl::breakPage()
{
    finishPage(false);
    newPage();
}

void Run::Impl::nextColumnOrPage()
{
    if (column + 1 < columns) {
        ++column;
        y = columnTop;
        columnHasBody = false;
        return;
    }
    breakPage();
}

Run::Run(Report& report)
    : d(std::make_unique<Impl>(report))
{
    if (report.m_run)
        report.m_run->cancel();
    report.m_run = this;
}

Run::~Run()
{
    try {
        cancel();
    } catch (...) {
        // The document's after-print event failed while the run was dropped.
    }
}

bool Run::step()
{
    if (d->phase == Impl::Phase::Done)
        return false;
    try {
        switch (d->phase) {
        case Impl::Phase::Start: d->start(); break;
        case Impl::Phase::Records: d->nextRecord(); break;
        case Impl::Phase::End: d->end(); break;
        case Impl::Phase::Done: break;
        }
    } catch (const PageLimitReached&) {
        d->r.warn(QStringLiteral("La préparation du document a été arrêtée à %1 pages.").arg(MaxPages));
        d->finish();
    } catch (const Refused& refused) {
        // Nothing of a refused document prints.
        d->out->pages.clear();
        d->page = nullptr;
        d->out->refusal = refused.message;
        d->finish();
    } catch (...) {
        // The document failed: its after-print event still closes its queries.
        try {
            d->finish();
        } catch (...) {
        }
        throw;
    }
    return d->phase != Impl::Phase::Done;
}

void Run::runToEnd()
{
    while (step()) {
    }
}

void Run::runUntilPages(int pages)
{
    while (d->phase != Impl::Phase::Done && d->complete < pages)
        step();
}

bool Run::finished() const
{
    return d->phase == Impl::Phase::Done;
}

int Run::pageCount() const
{
    return d->complete;
}

const PreparedPages& Run::pages() const
{
    return *d->out;
}

std::unique_ptr<PreparedPages> Run::takePages()
{
    auto pages = std::move(d->out);
    d->out = std::make_unique<PreparedPages>();
    d->page = nullptr;
    return pages;
}

void Run::cancel()
{
    if (d->detached)
        return;
    if (d->phase == Impl::Phase::Done) {
        if (d->r.m_run == this)
            d->r.m_run = nullptr;
        return;
    }
    d->finish();
}

// ---------------------------------------------------------------------------
// Run state seen by the document

Report::~Report()
{
    if (m_run) {
        Run* run = m_run;
        try {
            run->cancel();
        } catch (...) {
            // The document's after-print event failed while the report went.
        }
        run->d->detached = true;
    }
}

int Report::pageNumber() const
{
    return m_run ? m_run->d->out->count() : 0;
}

int Report::recordNumber() const
{
    return m_run ? m_run->d->records : 0;
}

bool Report::dataEnded() const
{
    return m_run && m_run->d->ended;
}

void Report::newPage()
{
    if (m_run)
        m_run->d->newPageWanted = true;
}

void Report::refuse(const QString& message)
{
    throw Refused{message};
}

void Report::requireRoom(qsizetype rows, qsizetype room, const QString& message)
{
    if (rows > room)
        refuse(message);
}

void Report::warn(const QString& message)
{
    QStringList& list = m_run ? m_run->d->out->warnings : m_warnings;
    if (!list.contains(message))
        list << message;
}

} // namespace rpt
