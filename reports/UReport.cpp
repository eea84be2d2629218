#include "reports/UReport.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/DocumentRegistry.h"
#include "reports/ReportForm.h"
#include "reports/ReportLayout.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString SaveQuestion = QStringLiteral("Voulez-vous enregistrer les modifications apportées au rapport ?");
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor LabelBackground(0xEC, 0xEA, 0xEA);   // $EAEAEC
constexpr int HandleSize = 6;

// Report pixels (96 per inch) from millimetres, rounded.
int MmToPixels(double mm)
{
    return int(std::lround(mm * 96.0 / 25.4));
}

// Millimetres typed (cut to two decimals) as report pixels, rounded half away
// from zero, without floating point.
int TypedMmToPixels(Currency mm)
{
    const qint64 raw = TruncateDecimals(2, mm).raw();   // ten-thousandths of a millimetre
    const qint64 scaled = raw * 96;
    const qint64 unit = 254000;                          // 25.4 mm in ten-thousandths
    return int(scaled >= 0 ? (scaled + unit / 2) / unit : -((-scaled + unit / 2) / unit));
}

// A page dimension in millimetres, to two decimals.
Currency MmAsCurrency(double mm)
{
    return Currency::fromRaw(std::llround(mm * 100.0) * 100);
}

QString PixelsAsMm(int px)
{
    return QString::asprintf("%4.2f", px * 25.4 / 96.0).trimmed();
}

// The font of the copy: the report's point size drawn at 96 pixels per inch,
// as the document prints it, whatever the screen.
QFont CopyFont(const QFont& reportFont)
{
    QFont f = reportFont;
    const double points = reportFont.pointSizeF() > 0 ? reportFont.pointSizeF() : 10;
    f.setPixelSize(std::max(1, int(std::lround(points * 96.0 / 72.0))));
    return f;
}

// An outline over the copy that the mouse goes through: the grey shadow
// that follows the mouse while a control is moved (a plain rectangle two
// pixels wide), and the selection outline (a rounded rectangle one pixel
// outside the control).
class TOutline : public QFrame {
public:
    TOutline(QWidget* parent, const QPen& pen, qreal radius) : QFrame(parent), m_pen(pen), m_radius(radius)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(m_pen);
        const qreal inset = m_pen.widthF() / 2;
        p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_radius, m_radius);
    }

private:
    QPen m_pen;
    qreal m_radius;
};

// A size handle (or a corner square, which does not react).
class THandle : public QWidget {
public:
    THandle(QWidget* parent, const QString& name, Qt::CursorShape cursor) : QWidget(parent)
    {
        setObjectName(name);
        setFixedSize(HandleSize, HandleSize);
        setCursor(cursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
    }
};

} // namespace

// ---------------------------------------------------------------------------

TLayoutBand::TLayoutBand(QWidget* parent) : QWidget(parent) {}

void TLayoutBand::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), color.isValid() ? color : QColor(Qt::white));
    // The grid: thin silver lines every 10 mm from 10 mm off the top and left edges.
    p.setPen(QPen(Silver, 0));
    for (int mm = 10;; mm += 10) {
        const int x = MmToPixels(mm);
        if (x >= width())
            break;
        p.drawLine(x, 0, x, height());
    }
    for (int mm = 10;; mm += 10) {
        const int y = MmToPixels(mm);
        if (y >= height())
            break;
        p.drawLine(0, y, width(), y);
    }
    // The lowered bevel.
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(Qt::white);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

TLayoutControl::TLayoutControl(Kind kind, QWidget* band) : QWidget(band), m_kind(kind) {}

void TLayoutControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    switch (m_kind) {
    case Kind::Label: {
        p.fillRect(r, LabelBackground);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(r, int(alignment | Qt::AlignTop | Qt::TextWordWrap), caption);
        if (framed) {
            p.setPen(QPen(Qt::red, 1));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        break;
    }
    case Kind::Shape: {
        p.setPen(pen);
        p.setBrush(brush);
        const qreal half = pen.widthF() / 2;
        const QRectF inner = QRectF(r).adjusted(half, half, -half, -half);
        switch (form) {
        case rpt::Shape::Form::Rectangle:
            p.drawRect(inner);
            break;
        case rpt::Shape::Form::Circle:
            p.drawEllipse(inner);
            break;
        case rpt::Shape::Form::HorLine:
            p.drawLine(QPointF(r.left(), r.height() / 2.0), QPointF(r.right() + 1, r.height() / 2.0));
            break;
        case rpt::Shape::Form::VertLine:
            p.drawLine(QPointF(r.width() / 2.0, r.top()), QPointF(r.width() / 2.0, r.bottom() + 1));
            break;
        }
        // A thin dotted edge, so that an empty or thin shape can be found and taken.
        p.setPen(QPen(Qt::gray, 0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        break;
    }
    case Kind::Image:
        if (picture.isNull()) {
            p.setPen(QPen(Qt::gray, 0, Qt::DashLine));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        } else if (stretch) {
            p.drawImage(r, picture);
        } else {
            p.drawImage(QPoint(0, 0), picture);
        }
        break;
    }
}

// ---------------------------------------------------------------------------

const QList<QPair<QString, QString>>& TfrmReport::ReportList()
{
    static const QList<QPair<QString, QString>> list = {
        {QStringLiteral("Mandat de paiement simple"), QStringLiteral("URptMandat_P")},
        {QStringLiteral("Mandat de paiement 22.05_01/22.02_08"), QStringLiteral("URptMandat_2205_P")},
        {QStringLiteral("F.E - Dépense"), QStringLiteral("URptFEDep_PreImp")},
        {QStringLiteral("F.E - Eco - Chapitre"), QStringLiteral("URptFEEco_Chap_PreImp")},
        {QStringLiteral("F.E - Eco - Article"), QStringLiteral("URptFEEco_Art_PreImp")},
        {QStringLiteral("F.E - Régul - Dépense"), QStringLiteral("URptFEDep_Regul_PreImp")},
        {QStringLiteral("F.E - Régul - Autres"), QStringLiteral("URptFEEco_Art_Regul_PreImp")},
        {QStringLiteral("Ordre de Virement"), QStringLiteral("URptOrdVirMission")},
        {QStringLiteral("Ordre de Virement - 210501"), QStringLiteral("URptOrdVirMission_210501")},
        {QStringLiteral("Ordre de Virement - 210208"), QStringLiteral("URptOrdVirMission_210208")},
    };
    return list;
}

TfrmReport::TfrmReport(QWidget* parent) : QDialog(parent)
{
    // The documents are created by their unit name.
    RegisterProgramDocuments();
    BuildForm();
    qApp->installEventFilter(this);
    UpdateControls();
}

TfrmReport::~TfrmReport()
{
    qApp->removeEventFilter(this);
}

void TfrmReport::BuildForm()
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Mise en page"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1200, 800);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlTools = new QFrame(this);
    pnlTools->setObjectName(QStringLiteral("pnlTools"));
    pnlTools->setFrameShape(QFrame::StyledPanel);
    auto* tools = new QHBoxLayout(pnlTools);

    auto* reportBox = new QVBoxLayout;
    reportBox->addWidget(MakeCaption(pnlTools, QStringLiteral("Etat de sortie")), 0, Qt::AlignLeft);
    cmbReport = MakeCombo(pnlTools, "cmbReport");
    for (const auto& entry : ReportList())
        cmbReport->addItem(entry.first);
    cmbReport->setCurrentIndex(-1);
    cmbReport->setMinimumWidth(260);
    reportBox->addWidget(cmbReport);
    reportBox->addStretch(1);
    tools->addLayout(reportBox);

    btnSave = MakeButton(pnlTools, "btnSave", QStringLiteral("&Enregistrer"), QString(), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(pnlTools, "btnCancel", QStringLiteral("&Annuler"), QString(), QStyle::SP_DialogCancelButton);
    btnLoadOriginal = MakeButton(pnlTools, "btnLoadOriginal", QStringLiteral("Charger l'Original"));
    tools->addWidget(btnSave);
    tools->addWidget(btnCancel);
    tools->addWidget(btnLoadOriginal);

    const auto field = [this](QGridLayout* grid, int row, const QString& caption, const char* name) {
        auto* parent = grid->parentWidget();
        QLineEdit* edit = MakeEdit(parent, name, 10);
        edit->setFixedWidth(70);
        edit->setAlignment(Qt::AlignRight);
        auto* label = MakeCaption(parent, caption);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        connect(edit, &QLineEdit::returnPressed, this, Guarded([this, edit] { ApplyField(edit); }));
        return edit;
    };
    auto* position = new QGroupBox(QStringLiteral("Position"), pnlTools);
    auto* positionGrid = new QGridLayout(position);
    edPTop = field(positionGrid, 0, QStringLiteral("Haut : "), "edPTop");
    edPLeft = field(positionGrid, 1, QStringLiteral("Gauche : "), "edPLeft");
    auto* size = new QGroupBox(QStringLiteral("Taille"), pnlTools);
    auto* sizeGrid = new QGridLayout(size);
    edHeight = field(sizeGrid, 0, QStringLiteral("Hauteur : "), "edHeight");
    edWidth = field(sizeGrid, 1, QStringLiteral("Largeur : "), "edWidth");
    tools->addWidget(position);
    tools->addWidget(size);
    tools->addStretch(1);
    layout->addWidget(pnlTools);

    scrReport = new QScrollArea(this);
    scrReport->setObjectName(QStringLiteral("scrReport"));
    scrReport->setBackgroundRole(QPalette::Dark);
    scrReport->setWidgetResizable(false);
    layout->addWidget(scrReport, 1);

    PopMenuCtl = new QMenu(this);
    PopMenuCtl->setObjectName(QStringLiteral("PopMenuCtl"));
    const auto item = [this](const char* name, const QString& text, std::function<void()> handler) {
        QAction* a = MakeCommand(this, name, text, std::move(handler));
        PopMenuCtl->addAction(a);
        return a;
    };
    mnLoadOriginal = item("mnLoadOriginal", QStringLiteral("Charger l'original"), [this] { btnLoadOriginalClick(); });
    mnSave = item("mnSave", QStringLiteral("Sauvegarder"), [this] { btnSaveClick(); });
    mnCancel = item("mnCancel", QStringLiteral("Annuler"), [this] { btnCancelClick(); });
    // Offered as in the buttons' place, never enabled: the buttons do it.
    mnSave->setEnabled(false);
    mnCancel->setEnabled(false);
    PopMenuCtl->addSeparator();
    mnToFront = item("mnToFront", QStringLiteral("Mettre en avant-plan"), [this] { BringToFront(); });
    mnToBack = item("mnToBack", QStringLiteral("Mettre en arrière-plan"), [this] { SendToBack(); });
    PopMenuCtl->addSeparator();
    mnClose = item("mnClose", QStringLiteral("Fermer"), [this] { close(); });

    connect(cmbReport, qOverload<int>(&QComboBox::activated), this, Guarded([this] { cmbReportChange(); }));
    connect(btnSave, &QPushButton::clicked, this, Guarded([this] { btnSaveClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(btnLoadOriginal, &QPushButton::clicked, this, Guarded([this] { btnLoadOriginalClick(); }));
}

TLayoutControl* TfrmReport::FindControl(const QString& name) const
{
    for (TLayoutControl* c : m_controls)
        if (c->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

QString TfrmReport::CopyDescription() const
{
    QStringList lines;
    for (const TLayoutBand* band : m_bands) {
        lines << QStringLiteral(" ** ") + band->objectName() + QLatin1Char(' ') +
                     (band->parentWidget() ? band->parentWidget()->objectName() : QString());
        for (const TLayoutControl* c : m_controls)
            if (c->band() == band)
                lines << QStringLiteral("       - ") + c->objectName();
    }
    return lines.join(QLatin1Char('\r'));
}

// ---------------------------------------------------------------------------
// Choosing, loading and saving

bool TfrmReport::ConfirmLeave()
{
    if (!m_modified)
        return true;
    const int answer = ShowStandardDialog(SaveQuestion, StdDialogType::Confirmation,
                                          MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
    if (answer == mrYes)
        return RunGuarded([this] { Save(); });
    return answer == mrNo;
}

void TfrmReport::cmbReportChange()
{
    const int index = cmbReport->currentIndex();
    if (index < 0)
        return;
    if (!ConfirmLeave()) {
        // The list goes back to the report whose copy stays on screen.
        cmbReport->setCurrentIndex(m_loadedIndex);
        return;
    }
    LoadReport(index, false);
}

void TfrmReport::btnCancelClick()
{
    if (!m_loaded || !ConfirmLeave())
        return;
    LoadReport(m_loadedIndex, false);
}

void TfrmReport::btnLoadOriginalClick()
{
    if (!m_loaded || !ConfirmLeave())
        return;
    LoadReport(m_loadedIndex, true);
}

void TfrmReport::LoadReport(int index, bool original)
{
    if (index < 0 || index >= ReportList().size())
        return;
    std::unique_ptr<TReportForm> form = CreateDocument(ReportList()[index].second);
    if (!form) {
        cmbReport->setCurrentIndex(m_loadedIndex);
        ShowInfo(QStringLiteral("Cet état n'est pas disponible !"));
        return;
    }
    TWaitCursor wait;
    m_selected = nullptr;
    m_reportName = form->report().name().toUpper();
    setWindowTitle(QStringLiteral("Mise en page : ") + form->report().title() + QStringLiteral(" ** "));
    BuildCopy(form->report(), original);
    form.reset();
    m_loaded = true;
    m_loadedIndex = index;
    cmbReport->setCurrentIndex(index);
    SetModified(false);
}

void TfrmReport::ClearCopy()
{
    HideHandles();
    m_selected = nullptr;
    m_controls.clear();
    m_bands.clear();
    sqShape = nullptr;
    Handles.clear();
    if (QWidget* old = scrReport->takeWidget())
        delete old;
    pnlReport = nullptr;
}

void TfrmReport::BuildCopy(const rpt::Report& report, bool original)
{
    const QHash<QString, TStoredPosition> stored = original ? QHash<QString, TStoredPosition>()
                                                            : ReadReportLayout(m_reportName);
    ClearCopy();

    const rpt::PageSetup& page = report.page();
    m_pageWidthMm = MmAsCurrency(page.width);
    m_pageLengthMm = MmAsCurrency(page.length);
    m_margins = {MmToPixels(page.margins.top), MmToPixels(page.margins.left), MmToPixels(page.margins.right),
                 MmToPixels(page.margins.bottom)};
    const QSize size(int(std::lround(page.sizePx().width())), int(std::lround(page.sizePx().height())));

    auto* copy = new QWidget;
    copy->setObjectName(QStringLiteral("pnlReport"));
    copy->resize(size);

    int top = m_margins.top;
    const int bandWidth = size.width() - m_margins.left - m_margins.right;
    for (const auto& band : report.bands()) {
        auto* panel = new TLayoutBand(copy);
        panel->setObjectName(band->name());
        panel->color = band->color();
        panel->setGeometry(m_margins.left, top, bandWidth, band->height());
        top += band->height();
        m_bands.append(panel);

        for (const auto& control : band->controls()) {
            TLayoutControl::Kind kind;
            switch (control->kind()) {
            case rpt::ControlKind::Label:
            case rpt::ControlKind::DataText:
            case rpt::ControlKind::Expr:
                kind = TLayoutControl::Kind::Label;
                break;
            case rpt::ControlKind::Shape:
                kind = TLayoutControl::Kind::Shape;
                break;
            case rpt::ControlKind::Image:
                kind = TLayoutControl::Kind::Image;
                break;
            default:
                continue;   // other controls are not placed by the editor
            }
            auto* c = new TLayoutControl(kind, panel);
            c->setObjectName(control->name());
            const auto it = stored.constFind(control->name().toUpper());
            if (const auto* label = dynamic_cast<const rpt::Label*>(control.get())) {
                // An empty variable text shows its name, so that it can be found.
                c->caption = label->caption().isEmpty() ? control->name() : label->caption();
                c->reportFont = label->font();
                // A stored row gives a label its font name and size too.
                if (it != stored.constEnd() && !it->fontName.isEmpty())
                    c->reportFont.setFamily(it->fontName);
                if (it != stored.constEnd() && it->fontSize > 0)
                    c->reportFont.setPointSize(it->fontSize);
                c->font = CopyFont(c->reportFont);
                c->alignment = label->alignment();
            } else if (const auto* shape = dynamic_cast<const rpt::Shape*>(control.get())) {
                c->form = shape->form();
                c->pen = shape->pen();
                c->brush = shape->brush();
            } else if (const auto* image = dynamic_cast<const rpt::Image*>(control.get())) {
                c->picture = image->picture();
                c->stretch = image->stretch();
            }
            QRect rect = control->rect();
            if (it != stored.constEnd())
                rect = ApplyStoredPosition(rect, *it);
            c->setGeometry(rect);
            m_controls.append(c);
        }
    }
    copy->resize(size.width(), std::max(size.height(), top + m_margins.bottom));

    sqShape = new TOutline(copy, QPen(Qt::blue, 1, Qt::DotLine), 3);
    sqShape->setObjectName(QStringLiteral("sqShape"));
    const struct {
        const char* name;
        Qt::CursorShape cursor;
        bool reacts;
    } handles[] = {{"_sqH", Qt::SizeVerCursor, true},    {"_sqB", Qt::SizeVerCursor, true},
                   {"_sqG", Qt::SizeHorCursor, true},    {"_sqD", Qt::SizeHorCursor, true},
                   {"_sqHG", Qt::ArrowCursor, false},    {"_sqHD", Qt::ArrowCursor, false},
                   {"_sqBG", Qt::ArrowCursor, false},    {"_sqBD", Qt::ArrowCursor, false}};
    for (const auto& h : handles) {
        auto* handle = new THandle(copy, QString::fromLatin1(h.name), h.cursor);
        handle->setProperty("reacts", h.reacts);
        Handles.append(handle);
    }
    HideHandles();
    pnlReport = copy;
    scrReport->setWidget(copy);
}

void TfrmReport::btnSaveClick()
{
    if (!m_loaded || !m_modified)
        return;
    Save();
}

void TfrmReport::Save()
{
    QList<TLayoutRow> rows;
    for (const TLayoutBand* band : m_bands)
        for (const TLayoutControl* c : m_controls) {
            if (c->band() != band)
                continue;
            const QString name = c->objectName();
            if (name.isEmpty() || name.toUpper().startsWith(QLatin1String("_SQ")))
                continue;
            TLayoutRow row;
            row.control = name;
            row.rect = c->geometry();
            if (c->kind() == TLayoutControl::Kind::Label) {
                // The font the document prints with, in points.
                row.label = true;
                row.fontName = c->reportFont.family();
                row.fontSize = int(std::lround(c->reportFont.pointSizeF()));
            }
            rows.append(row);
        }

    TWaitCursor wait;
    HideHandles();
    // A failed save throws: the transaction is rolled back, the layout stays
    // modified and on screen, to be saved again.
    if (SaveReportLayout(m_reportName, rows, {m_margins.top, m_margins.left, m_margins.right, m_margins.bottom}))
        SetModified(false);
    if (m_selected)
        PlaceHandles();
}

void TfrmReport::reject()
{
    if (!ConfirmLeave())
        return;
    QDialog::reject();
}

// ---------------------------------------------------------------------------
// State shown

void TfrmReport::SetModified(bool modified)
{
    m_modified = modified;
    UpdateControls();
}

void TfrmReport::UpdateControls()
{
    btnSave->setEnabled(m_modified);
    btnCancel->setEnabled(m_modified);
    btnLoadOriginal->setEnabled(m_loaded);
    mnLoadOriginal->setEnabled(m_loaded);
    mnToFront->setEnabled(m_selected != nullptr);
    mnToBack->setEnabled(m_selected != nullptr);
    const bool selected = m_selected != nullptr;
    for (QLineEdit* edit : {edPTop, edPLeft, edHeight, edWidth}) {
        edit->setEnabled(selected);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, selected ? palette().color(QPalette::Base) : Silver);
        edit->setPalette(p);
        if (!selected)
            edit->clear();
    }
}

void TfrmReport::ShowPosition(const QRect& rect)
{
    edPTop->setText(PixelsAsMm(rect.top()));
    edPLeft->setText(PixelsAsMm(rect.left()));
    edHeight->setText(PixelsAsMm(rect.height()));
    edWidth->setText(PixelsAsMm(rect.width()));
}

void TfrmReport::PlaceHandles()
{
    if (!m_selected || !pnlReport || Handles.size() < 8)
        return;
    const QRect r = m_selected->geometry().translated(m_selected->band()->pos());
    const int h = HandleSize / 2;
    const QPoint centres[] = {{r.center().x(), r.top()},     {r.center().x(), r.bottom() + 1},
                              {r.left(), r.center().y()},    {r.right() + 1, r.center().y()},
                              {r.left(), r.top()},           {r.right() + 1, r.top()},
                              {r.left(), r.bottom() + 1},    {r.right() + 1, r.bottom() + 1}};
    for (int i = 0; i < 8; ++i) {
        Handles[i]->move(centres[i] - QPoint(h, h));
        Handles[i]->show();
        Handles[i]->raise();
    }
    sqShape->setGeometry(r.adjusted(-1, -1, 1, 1));
    sqShape->show();
    sqShape->raise();
    for (QWidget* handle : Handles)
        handle->raise();
}

void TfrmReport::HideHandles()
{
    for (QWidget* handle : Handles)
        handle->hide();
    if (sqShape)
        sqShape->hide();
}

// ---------------------------------------------------------------------------
// Selecting, moving and resizing

void TfrmReport::SelectControl(TLayoutControl* control)
{
    if (m_selected && m_selected != control) {
        m_selected->framed = false;
        m_selected->update();
    }
    m_selected = control;
    if (control) {
        control->framed = control->kind() == TLayoutControl::Kind::Label;
        control->update();
        PlaceHandles();
    } else {
        HideHandles();
    }
    UpdateControls();
    if (control)
        ShowPosition(control->geometry());
}

void TfrmReport::DropShadow()
{
    if (m_shadow)
        delete m_shadow.data();
}

bool TfrmReport::ControlMouse(TLayoutControl* control, QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            return false;
        SelectControl(control);
        DropShadow();
        m_shadow = new TOutline(control->band(), QPen(QColor(0x80, 0x80, 0x80), 2), 0);
        m_shadow->setGeometry(control->geometry());
        m_shadow->show();
        m_shadow->raise();
        m_pressGlobal = mouse->globalPosition().toPoint();
        m_pressPos = control->pos();
        // The handles mark the control; the outline comes back once it is dropped.
        sqShape->hide();
        return true;
    case QEvent::MouseMove:
        if (!(mouse->buttons() & Qt::LeftButton) || !m_shadow || m_selected != control)
            return false;
        m_shadow->move(m_pressPos + (mouse->globalPosition().toPoint() - m_pressGlobal));
        ShowPosition(m_shadow->geometry());
        SetModified(true);
        return true;
    case QEvent::MouseButtonRelease:
        if (mouse->button() != Qt::LeftButton || !m_shadow)
            return false;
        control->move(m_shadow->pos());
        DropShadow();
        PlaceHandles();
        sqShape->raise();
        control->raise();
        ShowPosition(control->geometry());
        return true;
    default:
        return false;
    }
}

bool TfrmReport::HandleMouse(QWidget* handle, QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton || !m_selected)
            return false;
        // The handle's fourth letter: H top, B bottom, G left, D right.
        m_side = handle->objectName().size() > 3 ? handle->objectName().at(3).toLatin1() : 0;
        return true;
    case QEvent::MouseMove: {
        if (!(mouse->buttons() & Qt::LeftButton) || !m_side || !m_selected)
            return false;
        // The pointer in the band's coordinates: the control's rectangle is relative to its band.
        const QPoint at = m_selected->band()->mapFromGlobal(mouse->globalPosition().toPoint());
        QRect r = m_selected->geometry();
        switch (m_side) {
        case 'H':
            r.setTop(std::min(at.y(), r.bottom()));
            break;
        case 'B':
            r.setBottom(std::max(at.y() - 1, r.top()));
            break;
        case 'G':
            r.setLeft(std::min(at.x(), r.right()));
            break;
        case 'D':
            r.setRight(std::max(at.x() - 1, r.left()));
            break;
        default:
            return false;
        }
        m_selected->setGeometry(r);
        ShowPosition(r);
        PlaceHandles();
        SetModified(true);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (mouse->button() != Qt::LeftButton || !m_side)
            return false;
        m_side = 0;
        PlaceHandles();
        return true;
    default:
        return false;
    }
}

bool TfrmReport::KeyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (!m_selected)
        return false;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    if (!ctrl && !shift)
        return false;
    QRect r = m_selected->geometry();
    const int step = 2;
    switch (key) {
    case Qt::Key_Left:
        ctrl ? r.translate(-step, 0) : r.setWidth(std::max(1, r.width() - step));
        break;
    case Qt::Key_Right:
        ctrl ? r.translate(step, 0) : r.setWidth(r.width() + step);
        break;
    case Qt::Key_Up:
        ctrl ? r.translate(0, -step) : r.setHeight(std::max(1, r.height() - step));
        break;
    case Qt::Key_Down:
        ctrl ? r.translate(0, step) : r.setHeight(r.height() + step);
        break;
    default:
        return false;
    }
    m_selected->setGeometry(r);
    ShowPosition(r);
    PlaceHandles();
    SetModified(true);
    return true;
}

void TfrmReport::ApplyField(QLineEdit* field)
{
    if (!m_selected)
        return;
    const QString typed = field->text().trimmed();
    const std::optional<Currency> mm = Currency::parse(typed);
    QRect r = m_selected->geometry();
    const auto refuse = [&](const QString& message) {
        ShowInfo(message);
        // The control's value back in the field, which keeps the focus.
        const int current = field == edPTop ? r.top() : field == edPLeft ? r.left()
                          : field == edHeight ? r.height() : r.width();
        field->setText(PixelsAsMm(current));
        field->setFocus();
    };
    // A number too long to be read is far beyond the page all the same.
    if (!mm && !IsNumberText(typed)) {
        refuse(QStringLiteral("Valeur non numérique !"));
        return;
    }
    // Within the page, as typed: a position may put the control above or left
    // of its band, up to a page away; a size is at most the page's.
    const bool vertical = field == edPTop || field == edHeight;
    const bool position = field == edPTop || field == edPLeft;
    const Currency page = vertical ? m_pageLengthMm : m_pageWidthMm;
    const Currency lowest = position ? -page : Currency();
    if (!mm || *mm < lowest || *mm > page) {
        const QString caption = field == edPTop ? QStringLiteral("Haut") : field == edPLeft ? QStringLiteral("Gauche")
                              : field == edHeight ? QStringLiteral("Hauteur") : QStringLiteral("Largeur");
        refuse(QStringLiteral("La valeur de « %1 » doit rester dans la page : entre %2 et %3 mm !")
                   .arg(caption, lowest.formatMoney(), page.formatMoney()));
        return;
    }
    const int px = TypedMmToPixels(*mm);
    if (field == edPTop)
        r.moveTop(px);
    else if (field == edPLeft)
        r.moveLeft(px);
    else if (field == edHeight)
        r.setHeight(std::max(1, px));
    else
        r.setWidth(std::max(1, px));
    m_selected->setGeometry(r);
    PlaceHandles();
    SetModified(true);
}

void TfrmReport::BringToFront()
{
    if (m_selected)
        m_selected->raise();
}

void TfrmReport::SendToBack()
{
    if (!m_selected)
        return;
    m_selected->lower();
    // The shapes always stay behind the texts.
    for (TLayoutControl* c : m_controls)
        if (c->kind() == TLayoutControl::Kind::Shape)
            c->lower();
}

// ---------------------------------------------------------------------------

void TfrmReport::contextMenuEvent(QContextMenuEvent* event)
{
    UpdateControls();
    PopMenuCtl->popup(event->globalPos());
}

bool TfrmReport::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // The window sees the keys first: Ctrl and Shift with an arrow act on
        // the selected control wherever the focus is.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        RunGuarded([&] { handled = KeyPressed(key->key(), key->modifiers() & ~Qt::KeypadModifier); });
        return handled;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        if (auto* control = qobject_cast<TLayoutControl*>(watched); control && m_controls.contains(control)) {
            bool handled = false;
            RunGuarded([&] { handled = ControlMouse(control, event); });
            return handled;
        }
        if (auto* handle = qobject_cast<QWidget*>(watched);
            handle && Handles.contains(handle) && handle->property("reacts").toBool()) {
            bool handled = false;
            RunGuarded([&] { handled = HandleMouse(handle, event); });
            return handled;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == pnlTools) {
            // The description of the copy, for support: the copy itself stays.
            const QString text = CopyDescription();
            if (!text.isEmpty())
                RunGuarded([&] { ShowStandardDialog(text, StdDialogType::Information, MsgButton::OK); });
            return true;
        }
        return false;
    default:
        return false;
    }
}
