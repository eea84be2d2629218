#include "budget/USF.h"

#include "budget/SituationExport.h"
#include "controls/FxLabel.h"
#include "budget/UModifSF.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "core/Period.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "platform/DocumentOpener.h"
#include "refdata/RefDataStore.h"
#include "reports/budget/URptSF_S1_S2.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"
#include "ui/UProgress.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { colChap, colArt, colPar, colIntitule, colCrAl, colCrRv, colEng, colPmt, colSld, colTaux, colCount };

const QString kSection = QStringLiteral("SIT_FIN");
const QColor kChapterColor(0xF7, 0xDB, 0xB0);   // $B0DBF7

// Chapter rows bold, red, size 9 on their colour; the balances bold, the rates red.
class SituationDelegate : public QStyledItemDelegate {
public:
    SituationDelegate(QueryTableModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (TNomenclatureStore::IsChapterHeading(m_model->row(index.row()))) {
            option->font.setBold(true);
            option->font.setPointSize(9);
            option->palette.setColor(QPalette::Text, Qt::red);
            option->backgroundBrush = kChapterColor;
        } else if (index.column() == colSld) {
            option->font.setBold(true);
        } else if (index.column() == colTaux) {
            option->palette.setColor(QPalette::Text, Qt::red);
        }
    }

private:
    QueryTableModel* m_model;
};

int ReadIndex(const QString& key, int defaultValue, int count)
{
    const int i = IniReadInteger(IniPath, kSection, key, defaultValue);
    return i >= 0 && i < count ? i : defaultValue;
}

QDate ReadDate(const QString& key, const QDate& defaultValue)
{
    const QDate d = ParseDate(IniReadString(IniPath, kSection, key));
    return d.isValid() ? d : defaultValue;
}

int FiscalYearNumber()
{
    return FiscalYear.trimmed().toInt();
}

} // namespace

TfrmSF::TfrmSF(QWidget* parent) : TListWindow(parent)
{
    BuildWindow();
}

TfrmSF::~TfrmSF() = default;

void TfrmSF::BuildWindow()
{
    setObjectName(QStringLiteral("frmSF"));
    setWindowTitle(QStringLiteral("Situation financière"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The choices and the buttons.
    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnlTop"));
    // Two rows, so that the window fits a narrow screen: the view and its
    // period; the filters and the buttons.
    auto* rows = new QVBoxLayout(top);
    rows->setContentsMargins(8, 6, 8, 6);
    rows->setSpacing(4);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    rows->addLayout(bar);
    auto combo = [&](const char* name, const QStringList& items) {
        auto* c = new QComboBox(top);
        c->setObjectName(QString::fromLatin1(name));
        c->addItems(items);
        return c;
    };
    cmbSection = combo("cmbSection", {QStringLiteral("S.F SECTION 1"), QStringLiteral("S.F SECTION 2"),
                                      QStringLiteral("S.F SECTION 1 + SECTION 2"), QStringLiteral("Récap. Générale")});
    bar->addWidget(cmbSection);
    bar->addSpacing(16);

    // The period: two typed dates with their calendars, or the quarter in
    // their place.
    auto dateField = [&](const char* name) {
        QLineEdit* e = MakeEdit(top, name, 10);
        e->setFixedWidth(90);
        e->setAlignment(Qt::AlignCenter);
        return e;
    };
    lDateD = new QLabel(QStringLiteral("Du"), top);
    edDateD = dateField("edDateD");
    btnGetDateD = MakePickButton(top, "btnGetDateD", QStringLiteral("Calendrier"));
    lDateF = new QLabel(QStringLiteral("Au"), top);
    edDateF = dateField("edDateF");
    btnGetDateF = MakePickButton(top, "btnGetDateF", QStringLiteral("Calendrier"));
    lDateD->setBuddy(edDateD);
    lDateF->setBuddy(edDateF);
    const TDateFieldRules dateRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar};
    AttachDateField(edDateD, btnGetDateD, dateRules);
    AttachDateField(edDateF, btnGetDateF, dateRules);
    for (QWidget* w : std::initializer_list<QWidget*>{lDateD, edDateD, btnGetDateD, lDateF, edDateF, btnGetDateF})
        bar->addWidget(w);
    cmbPeriode = combo("cmbPeriode", {QStringLiteral("1er Trimestre"), QStringLiteral("2ème Trimestre"),
                                      QStringLiteral("3ème Trimestre"), QStringLiteral("4ème Trimestre")});
    cmbPeriode->setFixedWidth(135);
    cmbPeriode->hide();
    bar->addWidget(cmbPeriode);
    bar->addStretch();

    bar = new QHBoxLayout;
    bar->setSpacing(6);
    rows->addLayout(bar);
    bar->addWidget(new QLabel(QStringLiteral("Engagments : "), top));
    cmbEng = combo("cmbEng", {QStringLiteral("Tous"), QStringLiteral("Visés"), QStringLiteral("Non visés")});
    bar->addWidget(cmbEng);
    bar->addWidget(new QLabel(QStringLiteral("Mandats : "), top));
    cmbMdt = combo("cmbMdt", {QStringLiteral("Tous"), QStringLiteral("Payés"), QStringLiteral("Non payés")});
    bar->addWidget(cmbMdt);
    bar->addStretch();

    btnDisplay = new QPushButton(QStringLiteral("OK"), top);
    btnDisplay->setObjectName(QStringLiteral("btnDisplay"));
    btnDisplay->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    btnDisplay->setDefault(true);
    btnDisplay->setAutoDefault(true);
    bar->addWidget(btnDisplay);
    btnPrint = MakeButton(top, "btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer la situation financière"),
                          QStyle::SP_FileIcon);
    bar->addWidget(btnPrint);
    btnClose = MakeButton(top, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                          QStyle::SP_DialogCloseButton);
    bar->addWidget(btnClose);
    layout->addWidget(top);

    // The grid over SIT_FIN; the title orders the two recap rows.
    m_model = new QueryTableModel(this);
    m_model->addColumn(QStringLiteral("CHAP"), QStringLiteral("Chap"), QueryTableModel::Text, Qt::AlignCenter);
    m_model->addColumn(QStringLiteral("ART"), QStringLiteral("Art"), QueryTableModel::Text, Qt::AlignCenter);
    m_model->addColumn(QStringLiteral("PAR"), QStringLiteral("Par"), QueryTableModel::Text, Qt::AlignCenter);
    m_model->addColumn(QStringLiteral("INTITULE"), QStringLiteral("Intitulé"), QueryTableModel::Text);
    m_model->addColumn(QStringLiteral("CR_AL"), QStringLiteral("Crédits Initiaux"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("CR_RV"), QStringLiteral("Crédits révisés"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("ENG"), QStringLiteral("Engagements"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("PMT"), QStringLiteral("Paiements"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("SLD"), QStringLiteral("Soldes"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("TAUX"), QStringLiteral("Taux"), QueryTableModel::Money);

    grdSF = new QTableView(this);
    grdSF->setObjectName(QStringLiteral("grdSF"));
    m_model->attachView(grdSF);
    grdSF->setItemDelegate(new SituationDelegate(m_model, grdSF));
    grdSF->verticalHeader()->setVisible(false);
    grdSF->verticalHeader()->setDefaultSectionSize(grdSF->fontMetrics().height() + 6);
    grdSF->setWordWrap(false);
    grdSF->horizontalHeader()->setHighlightSections(false);
    grdSF->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(grdSF, 1);

    // The totals bar: each total under its column.
    pnlTotals = new QWidget(this);
    pnlTotals->setObjectName(QStringLiteral("pnlTotals"));
    pnlTotals->setFixedHeight(grdSF->fontMetrics().height() + 14);
    lTotaux = MakeEffectLabel(pnlTotals, "lTotaux", QStringLiteral("T O T A U X "), tsRecessed);
    lTotaux->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto total = [&](const char* name) {
        TFxLabel* l = MakeEffectLabel(pnlTotals, name, QString(), tsRecessed);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->SetBorderOuter(fsLowered);
        l->SetTextMargin(2);
        return l;
    };
    lTotAll = total("lTotAll");
    lTotRev = total("lTotRev");
    lTotEng = total("lTotEng");
    lTotPmt = total("lTotPmt");
    lTotSLD = total("lTotSLD");
    lTaux = total("lTaux");
    QPalette red = lTaux->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lTaux->setPalette(red);
    layout->addWidget(pnlTotals);

    stBar = new TStatusBar({260, 100}, this);
    layout->addWidget(stBar);

    // The popup menu; the print items and the correction are connected by the
    // situation's document and its correction window.
    PopMenu = PopupMenu();
    mnDisplay = AddCommand("mnDisplay", QStringLiteral("Afficher"), [this] { btnDisplayClick(); }, QKeySequence(),
                           btnDisplay);
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer"), [this] { btnPrintClick(); }, QKeySequence(), btnPrint);
    mnExcel = AddCommand("mnExcel", QStringLiteral("Envoyer vers Excel"), [this] { mnExcelClick(); });
    mnModif = AddCommand("mnModif", QStringLiteral("Modifier la Situation"), [this] { mnModifClick(); });
    PopMenu->addSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), [this] { close(); }, QKeySequence(), btnClose);
    PopUpMenuOn(grdSF);
    PopUpMenuOn(this);

    connect(grdSF, &QTableView::doubleClicked, this, Guarded([this] {
        if (mnModif->isEnabled())
            mnModifClick();
    }));
    connect(cmbSection, &QComboBox::currentIndexChanged, this, Guarded([this] { UpdatePeriodControls(); }));
    connect(grdSF->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceTotals(); });
    connect(grdSF->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceTotals(); });

    ResizeWithinScreen(this, QSize(1180, 640));
}

// ---- showing --------------------------------------------------------------

void TfrmSF::FormShow()
{
    for (QLabel* l : {lTotAll, lTotRev, lTotEng, lTotPmt, lTotSLD, lTaux})
        l->clear();
    const QDate today = QDate::currentDate();
    const int month = today.month();
    cmbEng->setCurrentIndex(ReadIndex(QStringLiteral("ENG"), 0, cmbEng->count()));
    cmbMdt->setCurrentIndex(ReadIndex(QStringLiteral("MDT"), 0, cmbMdt->count()));
    cmbSection->setCurrentIndex(ReadIndex(QStringLiteral("SECTION"), 1, cmbSection->count()));
    cmbPeriode->setCurrentIndex(
        ReadIndex(QStringLiteral("PERIODE"), month <= 6 ? 0 : month <= 9 ? 1 : 2, cmbPeriode->count()));
    edDateD->setText(DateText(ReadDate(QStringLiteral("DATE_D"), QDate(FiscalYearNumber(), 1, 1))));
    edDateF->setText(DateText(ReadDate(QStringLiteral("DATE_F"), DefaultDate())));
    UpdatePeriodControls();
    ShowSituationTotals();
}

void TfrmSF::UpdatePeriodControls()
{
    const bool recap = cmbSection->currentIndex() == svRecap;
    for (QWidget* w : std::initializer_list<QWidget*>{lDateD, edDateD, btnGetDateD, lDateF, edDateF, btnGetDateF})
        w->setVisible(!recap);
    cmbPeriode->setVisible(recap);
}

TSituationRequest TfrmSF::Request() const
{
    TSituationRequest r;
    r.view = cmbSection->currentIndex();
    r.commitments = std::max(cmbEng->currentIndex(), 0);
    r.payments = std::max(cmbMdt->currentIndex(), 0);
    if (r.view == svRecap) {
        r.start = QDate(FiscalYearNumber(), 1, 1);
        r.end = QuarterEnd(cmbPeriode->currentIndex(), FiscalYearNumber());
    } else {
        r.start = ParseDate(edDateD->text());
        r.end = ParseDate(edDateF->text());
    }
    r.today = QDate::currentDate();
    return r;
}

// ---- the display ----------------------------------------------------------

void TfrmSF::btnDisplayClick()
{
    if (m_building)
        return;
    const int view = cmbSection->currentIndex();
    if (view != svRecap) {
        QDate start, end;
        if (const TVerdict v = CheckPeriod(edDateD->text(), edDateF->text(), FiscalYearNumber(), start, end))
            Refuse(*v, v->field == PeriodStart ? edDateD : edDateF);
    } else if (cmbPeriode->currentIndex() < 0) {
        Refuse(QStringLiteral("Veuillez sélectionner la période SVP !"), cmbPeriode);
    }
    if (view < 0 || view > svRecap) {
        ShowInfo(QStringLiteral("Module en développement !"));
        Abort();
    }
    const TSituationRequest request = Request();
    if (view == svRecap)
        BuildSituationRecap(request);
    else
        BuildSituation(request);
}

void TfrmSF::BuildSituation(const TSituationRequest& request)
{
    Build(request, false);
}

void TfrmSF::BuildSituationRecap(const TSituationRequest& request)
{
    Build(request, true);
}

void TfrmSF::Build(const TSituationRequest& request, bool recap)
{
    // The display cannot be started again, nor the window closed, while it
    // runs (its button follows its command).
    m_building = true;
    mnDisplay->setEnabled(false);
    struct Restore {
        TfrmSF* w;
        ~Restore()
        {
            w->m_building = false;
            w->mnDisplay->setEnabled(true);
        }
    } restore{this};

    TSituationStore store(DM->LURDO);
    if (store.HasUndatedOrders())
        ShowStandardDialog(QStringLiteral("Vorel a trouvé des mandats non visés et, donc, ne sont pas pris en compte !"),
                           StdDialogType::Information, MsgButton::OK);

    TWaitCursor wait;
    TfrmProgress progress(this);
    progress.lProgress->setText(QStringLiteral("Traitement en cours, patientez ..."));
    progress.myGauge->setRange(0, TSituationStore::Stages() + 1);
    progress.myGauge->setValue(0);
    progress.show();
    // Only painting runs meanwhile: the user's keys and clicks wait for the end.
    auto step = [&progress](int done, int) {
        progress.myGauge->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    step(0, 0);
    const std::vector<TSituationRow> rows = recap ? store.RecapRows(request, step) : store.LineRows(request, step);
    TSituationTotals totals;
    TListingRows shown;
    {
        // A refused commit is told and abandons the display: the grid keeps
        // showing what it showed.
        TWriteGuard write;
        store.Replace(rows);
        // The rows and totals shown are read inside the operation that wrote
        // them: another user's display committed after this one cannot take
        // their place. One that wrote meanwhile into a table that was empty
        // (nothing of this display's delete to collide with) would show among
        // these rows: the display is abandoned rather than show a mixture.
        shown = store.GridRows();
        if (shown.rows.size() != rows.size()) {
            ShowInfo(QStringLiteral("Un autre utilisateur calcule la situation financière en ce moment : "
                                    "réessayez dans un instant."));
            Abort();
        }
        totals = store.Totals();
        write.Commit();
    }
    step(TSituationStore::Stages() + 1, 0);
    progress.hide();
    ShowSituation(totals, std::move(shown));
    stBar->SetPanel(0, cmbSection->itemText(request.view));
}

void TfrmSF::ShowSituationTotals()
{
    TSituationStore store(DM->LURDO);
    const TSituationTotals totals = store.Totals();
    ShowSituation(totals, store.GridRows());
}

void TfrmSF::ShowSituation(const TSituationTotals& t, TListingRows grid)
{
    lTotAll->setText(t.sums.crAl.formatMoney());
    lTotRev->setText(t.sums.crRv.formatMoney());
    lTotEng->setText(t.sums.eng.formatMoney());
    lTotPmt->setText(t.sums.pmt.formatMoney());
    lTotSLD->setText(t.sums.sld.formatMoney());
    lTaux->setText(t.sums.taux.formatMoney());
    m_model->setRows(grid.names, std::move(grid.rows));
    FitColumns();
    const bool rows = !t.empty;
    btnPrint->setEnabled(rows);
    mnPrint->setEnabled(rows);
    mnExcel->setEnabled(rows);
    mnModif->setEnabled(rows);
}

// ---- the grid and the totals bar -------------------------------------------

void TfrmSF::FitColumns()
{
    QFont bold = grdSF->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    QHeaderView* header = grdSF->horizontalHeader();
    const QFontMetrics headerFm(header->font());
    int fixed = 0;
    for (int c = 0; c < colCount; ++c) {
        if (c == colIntitule)
            continue;
        int width = headerFm.horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 16;
        const int minimum = c >= colCrAl ? fm.horizontalAdvance(QStringLiteral("999 999 999.99")) : 0;
        width = std::max(width, minimum + 12);
        for (int r = 0; r < m_model->rowCount(); ++r)
            width = std::max(width, fm.horizontalAdvance(m_model->displayText(r, c)) + 12);
        // The column's total, under it, is the largest of its amounts.
        if (QLabel* total = TotalOf(c))
            width = std::max(width, QFontMetrics(total->font()).horizontalAdvance(total->text()) + 16);
        grdSF->setColumnWidth(c, width);
        fixed += width;
    }
    m_fixedWidth = fixed;
    FitTitle();
}

void TfrmSF::FitTitle()
{
    // The title takes what the other columns leave of the grid's width.
    grdSF->setColumnWidth(colIntitule, std::max(grdSF->viewport()->width() - m_fixedWidth, 200));
    PlaceTotals();
}

QLabel* TfrmSF::TotalOf(int column) const
{
    switch (column) {
    case colCrAl: return lTotAll;
    case colCrRv: return lTotRev;
    case colEng: return lTotEng;
    case colPmt: return lTotPmt;
    case colSld: return lTotSLD;
    case colTaux: return lTaux;
    default: return nullptr;
    }
}

void TfrmSF::PlaceTotals()
{
    QHeaderView* header = grdSF->horizontalHeader();
    const int origin = grdSF->geometry().x() + grdSF->frameWidth();
    auto place = [&](QWidget* w, int firstColumn, int lastColumn) {
        const int x = origin + header->sectionViewportPosition(firstColumn);
        const int right = origin + header->sectionViewportPosition(lastColumn) + header->sectionSize(lastColumn);
        w->setGeometry(x, 4, right - x, pnlTotals->height() - 8);
    };
    place(lTotaux, colChap, colIntitule);
    for (int c = colCrAl; c <= colTaux; ++c)
        place(TotalOf(c), c, c);
}

void TfrmSF::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitTitle();
}

// ---- the spreadsheet export -----------------------------------------------

void TfrmSF::mnExcelClick()
{
    if (ShowMessageBox(QStringLiteral("Voulez-vous réellement exporter les données vers Microsoft Excel ?"),
                       mtConfirmation, MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    TWaitCursor wait;
    // The rows of the grid, in its order.
    const std::vector<TSituationRow> rows = TSituationStore(DM->LURDO).StoredRows();
    const QString path = SituationWorkbookPath(TempDir, QDateTime::currentDateTime());
    const QString error = WriteSituationWorkbook(path, rows);
    if (!error.isEmpty()) {
        ShowStandardError(QStringLiteral("Le classeur n'a pas pu être enregistré sous ") + path
                          + QStringLiteral(" :\r") + error);
        return;
    }
    if (!platform::OpenDocument(path))
        ShowStandardError(QStringLiteral("Aucune application ne peut ouvrir le classeur.\rIl est enregistré sous : ")
                          + path);
}

// ---- printing and correcting ------------------------------------------------

void TfrmSF::btnPrintClick()
{
    if (m_building || m_model->rowCount() == 0)
        return;
    // The print cannot be started again while its preview is open.
    btnPrint->setEnabled(false);
    const auto restore = qScopeGuard([this] { btnPrint->setEnabled(m_model->rowCount() > 0); });
    TfrmRptSF_S1_S2 form;
    const TSituationRequest request = Request();
    form.DateD = request.start;
    form.DateF = request.end;
    // The general recap is closed at the end of its quarter.
    form.Trimestre = request.view == svRecap ? cmbPeriode->currentIndex() : -1;
    form.Rows = StoredSituation;
    form.Preview(this);
}

void TfrmSF::mnModifClick()
{
    if (m_building || m_model->rowCount() == 0)
        return;
    const TSituationRow row = SituationRowOf(m_model->current());
    if (row.IsChapter()) {
        ShowInfo(QStringLiteral("Vous ne pouvez pas modifier les valeurs d'un chapitre !"));
        return;
    }
    const int shownRow = m_model->currentRow();
    TfrmModifSF dialog(this);
    dialog.Row = row;
    dialog.Applied = [this, shownRow] {
        ShowSituationTotals();
        m_model->setCurrentRow(std::min(shownRow, m_model->rowCount() - 1));
    };
    dialog.exec();
    ShowSituationTotals();
    m_model->setCurrentRow(std::min(shownRow, m_model->rowCount() - 1));
}

// ---- closing --------------------------------------------------------------

void TfrmSF::done(int result)
{
    if (m_building)
        return;
    RunGuarded([this] { FormClose(); });
    QDialog::done(result);
}

void TfrmSF::FormClose()
{
    IniWriteInteger(IniPath, kSection, QStringLiteral("ENG"), cmbEng->currentIndex());
    IniWriteInteger(IniPath, kSection, QStringLiteral("MDT"), cmbMdt->currentIndex());
    IniWriteInteger(IniPath, kSection, QStringLiteral("SECTION"), cmbSection->currentIndex());
    IniWriteInteger(IniPath, kSection, QStringLiteral("PERIODE"), cmbPeriode->currentIndex());
    IniWriteString(IniPath, kSection, QStringLiteral("DATE_D"), DateText(ParseDate(edDateD->text())));
    IniWriteString(IniPath, kSection, QStringLiteral("DATE_F"), DateText(ParseDate(edDateF->text())));
}

TSituationPrintRows StoredSituation()
{
    TSituationStore store(DM->LURDO);
    return {store.StoredRows(), store.ChapterTitles()};
}
