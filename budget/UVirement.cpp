#include "budget/UVirement.h"

#include "budget/TransferRules.h"
#include "budget/UModifDecVir.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/MenuItems.h"
#include "data/WriteGuard.h"
#include "refdata/UListFNM.h"
#include "reports/budget/URptDecVir.h"
#include "reports/budget/URptEtVir.h"
#include "reports/budget/URptFEEco_Art.h"
#include "reports/budget/URptFEEco_Art_PreImp.h"
#include "ui/QueryTableModel.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const QColor kKeyCellColor(0xEA, 0xEA, 0xEA);   // $EAEAEA
const QColor kRemovingColor(Qt::red);

// The year's last day: the credit of a giving line is tested at it.
QDate YearEnd()
{
    return QDate(FiscalYear.trimmed().toInt(), 12, 31);
}

// A total as shown under its grid: the money format, framed in its colour.
QLabel* MakeTotal(QWidget* parent, const char* name, const QColor& frame)
{
    auto* l = new QLabel(QStringLiteral("0.00"), parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(130);
    l->setStyleSheet(QStringLiteral("QLabel { border: 2px solid %1; padding: 2px 6px; }").arg(frame.name()));
    return l;
}

} // namespace

// ---------------------------------------------------------------------------
// The grids

TTransferGrid::TTransferGrid(TfrmVirement* window, int rows, QWidget* parent)
    : QTableView(parent), m_window(window), m_lines(new TTransferLinesModel(rows, this))
{
    setModel(m_lines);
}

void TTransferGrid::FinishEditing()
{
    if (m_editor) {
        QWidget* editor = m_editor;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        m_window->AmountLeft();
    }
}

bool TTransferGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (index.column() != TfrmVirement::colMontant || editTriggers() == NoEditTriggers || !(trigger & editTriggers()))
        return QTableView::edit(index, trigger, event);
    // Asked once when the typing starts, never at each key.
    bool may = false;
    RunGuarded([&] { may = m_window->MayEditAmount(this, index.row()); });
    return may && QTableView::edit(index, trigger, event);
}

// How the cells look, and the amount editor: each change of its text
// recomputes the totals; leaving it writes back the amount it reads.
class TTransferCellDelegate : public QStyledItemDelegate {
public:
    TTransferCellDelegate(TfrmVirement* window, TTransferGrid* grid)
        : QStyledItemDelegate(grid), m_window(window), m_grid(grid)
    {
        connect(this, &QAbstractItemDelegate::closeEditor, window, [window] { window->AmountLeft(); });
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("edMontant"));
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int row = index.row();
        TfrmVirement* window = m_window;
        TTransferGrid* grid = m_grid;
        QObject::connect(editor, &QLineEdit::textChanged, window,
                         [window, grid, row](const QString& text) { window->AmountTyped(grid, row, text); });
        m_grid->SetEditor(editor);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // The text read once to the cent is the line's amount: what the cell
        // shows, what the checks see and what is stored.
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = index.row();
        const int column = index.column();
        const bool line = m_window->LineAt(m_grid, row) > 0;
        const bool editing = m_window->Mode() != emBrowse;
        if (m_window->m_removingGrid == m_grid && m_window->m_removingRow == row)
            option->backgroundBrush = kRemovingColor;
        else if (editing && line && column >= TfrmVirement::colChap && column <= TfrmVirement::colIntitule)
            option->backgroundBrush = kKeyCellColor;
        else
            option->backgroundBrush = QColor(Qt::white);
        if (column == TfrmVirement::colChap || column == TfrmVirement::colArt || column == TfrmVirement::colPar) {
            option->displayAlignment = Qt::AlignCenter;
            option->font.setBold(line);
        } else if (column == TfrmVirement::colMontant) {
            option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
            option->font.setBold(line);
        }
    }

private:
    TfrmVirement* m_window;
    TTransferGrid* m_grid;
};

// ---------------------------------------------------------------------------

TfrmVirement::TfrmVirement(QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = MenuItem::mnTransfert,
                            .statusWidths = {90, 60, 80, 100},
                            .modePanel = 3,
                            .closeRule = CloseRule::SaveThenClose,
                            .closeQuestion =
                                QStringLiteral("Voulez-vous enregistrer les modifications apportées au transfert ?"),
                            .confirmCancel = true,
                            .cancelQuestion = QStringLiteral("Etes-vous sûr de vouloir annuler ?"),
                            .navigatorWhileEditing = true,
                            .recolourEntryPanel = false},
                    parent)
{
    BuildWindow();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
}

TfrmVirement::~TfrmVirement() = default;

void TfrmVirement::BuildWindow()
{
    setObjectName(QStringLiteral("frmVirement"));
    setWindowTitle(QStringLiteral("Transferts "));

    // Commands.
    mnAdd = AddCommand("mnAdd", QStringLiteral("Nouveau"), When::Browse, [this] { btnAddClick(); },
                       QKeySequence(Qt::CTRL | Qt::Key_Insert));
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier"), When::BrowseOnRow, [this] { btnEditClick(); },
                        QKeySequence(Qt::Key_F2));
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler"), When::Editing, [this] { CancelEntry(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer le transfert"), When::BrowseOnRow,
                          [this] { btnDeleteClick(); }, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnAddDep = AddCommand("mnAddDep", QStringLiteral("Ajouter un Article Dépense"), When::Editing,
                          [this] { AddTransferLine(grdDep); }, QKeySequence(Qt::Key_F5));
    mnDelDep = AddCommand("mnDelDep", QStringLiteral("Retirer un Article Dépense"), When::Editing,
                          [this] { RemoveTransferLine(grdDep); }, QKeySequence(Qt::Key_F6));
    mnAddEco = AddCommand("mnAddEco", QStringLiteral("Ajouter un Article Economie"), When::Editing,
                          [this] { AddTransferLine(grdEco); }, QKeySequence(Qt::Key_F9));
    mnDelEco = AddCommand("mnDelEco", QStringLiteral("Retirer un Article Economie"), When::Editing,
                          [this] { RemoveTransferLine(grdEco); }, QKeySequence(Qt::Key_F10));
    mnModiDec = MakeCommand(this, "mnModiDec", QStringLiteral("Modifier la Décision de Transfert"),
                            [this] { OpenDecisionTemplate(this); });
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), When::Always, [this] { close(); },
                         QKeySequence(Qt::CTRL | Qt::Key_F4));
    auto printItem = [this](const char* name, const QString& caption) {
        return AddCommand(name, caption, When::BrowseOnRow, [] {});
    };
    mnFicheDep = printItem("mnFicheDep", QStringLiteral("Fiche d'engagement - Dépense"));
    mnFicheDepPre = printItem("mnFicheDepPre", QStringLiteral("Fiche d'engagement - Dépense - PréImprimé"));
    mnFicheEco = printItem("mnFicheEco", QStringLiteral("Fiche d'engagement - Economie"));
    mnFicheEcoPre = printItem("mnFicheEcoPre", QStringLiteral("Fiche d'engagement - Economie - PréImprimé"));
    mnEtatVir = printItem("mnEtatVir", QStringLiteral("Etat de virement"));
    mnDecision = printItem("mnDecision", QStringLiteral("Décision de Transfert"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Tool bar.
    pnlBtns = new QWidget(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    auto* bar = new QHBoxLayout(pnlBtns);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(2);
    myNavigator = new TRecordNavigator(pnlBtns);
    myNavigator->setObjectName(QStringLiteral("myNavigator"));
    bar->addWidget(myNavigator);
    bar->addSpacing(8);
    SetNavigator(myNavigator);
    // Moving drops an entry without a question.
    connect(myNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowTransfer(); }));
    m_keys = new QueryTableModel(this);
    m_keys->setReader([this] { return m_store.ReadKeys(); });
    myNavigator->SetModel(m_keys);
    auto toolButton = [&](const char* name, const QString& text, const QString& hint, QStyle::StandardPixmap icon,
                          QAction* command) {
        QPushButton* b = AddToolButton(pnlBtns, bar, name, text, hint, icon);
        if (command)
            BindButton(b, command);
        return b;
    };
    btnAdd = toolButton("btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouveau transfert"),
                        QStyle::SP_FileDialogNewFolder, mnAdd);
    btnDelete = toolButton("btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer le transfert sélectionné"),
                           QStyle::SP_TrashIcon, mnDelete);
    btnEdit = toolButton("btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier le transfert"),
                         QStyle::SP_FileDialogDetailedView, mnEdit);
    btnPost = toolButton("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer le transfert"),
                         QStyle::SP_DialogSaveButton, mnPost);
    btnCancel = toolButton("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"),
                           QStyle::SP_DialogCancelButton, mnCancel);
    btnPrint = toolButton("btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer la fiche d'engagement"),
                          QStyle::SP_FileIcon, nullptr);
    Follow(btnPrint, When::BrowseOnRow);
    btnMenu = toolButton("btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"), QStyle::SP_ArrowDown, nullptr);
    bar->addStretch();
    btnClose = toolButton("btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"), QStyle::SP_DialogCloseButton,
                          mnClose);
    layout->addWidget(pnlBtns);

    // The date.
    auto* datePanel = new QWidget(this);
    datePanel->setObjectName(QStringLiteral("pnlDate"));
    auto* dateRow = new QHBoxLayout(datePanel);
    dateRow->setContentsMargins(10, 8, 10, 4);
    dateRow->setSpacing(4);
    dateRow->addWidget(MakeCaption(datePanel, QStringLiteral("Date du transfert : ")));
    edDate = MakeEdit(datePanel, "edDate", 10);
    edDate->setFixedWidth(90);
    edDate->setAlignment(Qt::AlignCenter);
    dateRow->addWidget(edDate);
    btnGetDate = MakeButton(datePanel, "btnGetDate", QStringLiteral("..."), QStringLiteral("Calendrier"));
    btnGetDate->setFixedWidth(26);
    btnGetDate->setFocusPolicy(Qt::NoFocus);
    dateRow->addWidget(btnGetDate);
    dateRow->addStretch();
    AttachDateField(edDate, btnGetDate,
                    TDateFieldRules{.buttonAsks = true, .doubleClick = TDateFieldRules::DoubleClick::Calendar});
    Follow(edDate, When::Editing);
    Follow(btnGetDate, When::Editing);
    layout->addWidget(datePanel);

    // The two grids, each with its buttons and its total.
    auto side = [&](const QString& title, const char* gridName, const char* addName, const char* delName,
                    const QString& gridHint, QAction* add, QAction* del, const QString& totalCaption,
                    const char* totalName, const QColor& frame, QPushButton*& addButton, QPushButton*& delButton,
                    QLabel*& total) {
        auto* box = new QWidget(this);
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(10, 4, 10, 4);
        v->setSpacing(3);
        auto* head = new QHBoxLayout;
        auto* caption = new QLabel(title, box);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        head->addWidget(caption);
        head->addStretch();
        addButton = MakeButton(box, addName, QStringLiteral("Ajouter"),
                               QStringLiteral("Ajouter un article à la grille ") + gridHint, QStyle::SP_FileDialogNewFolder);
        delButton = MakeButton(box, delName, QStringLiteral("Retirer"),
                               QStringLiteral("Retirer un article de la grille ") + gridHint, QStyle::SP_DialogDiscardButton);
        BindButton(addButton, add);
        BindButton(delButton, del);
        head->addWidget(addButton);
        head->addWidget(delButton);
        v->addLayout(head);
        TTransferGrid* grid = MakeGrid(gridName);
        v->addWidget(grid, 1);
        auto* foot = new QHBoxLayout;
        foot->addStretch();
        foot->addWidget(new QLabel(totalCaption, box));
        total = MakeTotal(box, totalName, frame);
        foot->addWidget(total);
        v->addLayout(foot);
        layout->addWidget(box, 1);
        return grid;
    };
    grdDep = side(QStringLiteral("Dépenses"), "grdDep", "btnAddDep", "btnDelDep", QStringLiteral("dépense"), mnAddDep,
                  mnDelDep, QStringLiteral("Total Dépense : "), "lTotDep", Qt::red, btnAddDep, btnDelDep, lTotDep);
    grdEco = side(QStringLiteral("Economie"), "grdEco", "btnAddEco", "btnDelEco", QStringLiteral("économie"), mnAddEco,
                  mnDelEco, QStringLiteral("Total Economie : "), "lTotEco", QColor(0, 0xA0, 0), btnAddEco, btnDelEco,
                  lTotEco);

    layout->addWidget(stBar);

    // Menus: PopMnVIR is also the window's context menu.
    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    const QList<QAction*> printItems{mnFicheDep, mnFicheDepPre, mnFicheEco, mnFicheEcoPre, mnEtatVir, mnDecision};
    PopMnPrint->addActions(printItems);
    PopMnVIR = new QMenu(this);
    PopMnVIR->setObjectName(QStringLiteral("PopMnVIR"));
    PopMnVIR->addActions({mnAdd, mnEdit, mnPost, mnCancel, mnDelete});
    PopMnVIR->addSeparator();
    PopMnVIR->addActions({mnAddDep, mnDelDep, mnAddEco, mnDelEco});
    PopMnVIR->addSeparator();
    PopMnVIR->addAction(mnModiDec);
    QMenu* print = PopMnVIR->addMenu(QStringLiteral("Imprimer ..."));
    print->setObjectName(QStringLiteral("mnImprimer"));
    print->addActions(printItems);
    PopMnVIR->addSeparator();
    PopMnVIR->addAction(mnClose);
    AttachPopupMenu(PopMnVIR, btnMenu);
    connect(mnDecision, &QAction::triggered, this, Guarded([this] {
        TfrmRptDecVir form;
        form.IdVir = IdVir;
        form.Preview(this);
    }));
    connect(btnPrint, &QPushButton::clicked, this, Guarded([this] { DropMenuUnder(PopMnPrint, btnPrint); }));
    const auto printWith = [this](QAction* item, std::function<void()> print) {
        connect(item, &QAction::triggered, this, Guarded(std::move(print)));
    };
    printWith(mnFicheDep, [this] { PrintTransferSheet(grdDep, false); });
    printWith(mnFicheDepPre, [this] { PrintTransferSheet(grdDep, true); });
    printWith(mnFicheEco, [this] { PrintTransferSheet(grdEco, false); });
    printWith(mnFicheEcoPre, [this] { PrintTransferSheet(grdEco, true); });
    printWith(mnEtatVir, [this] { mnEtatVirClick(); });

    resize(640, 720);
}

TTransferGrid* TfrmVirement::MakeGrid(const char* name)
{
    auto* grid = new TTransferGrid(this, GridRows, this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setColumnHidden(colIdFnm, true);
    // The key columns as wide as their bold texts; the title takes the room left.
    QFont bold = grid->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const int widths[] = {fm.horizontalAdvance(QStringLiteral("00")) + 14, fm.horizontalAdvance(QStringLiteral("00-00")) + 14,
                          fm.horizontalAdvance(QStringLiteral("Art")) + 14, fm.horizontalAdvance(QStringLiteral("Par")) + 14,
                          330, fm.horizontalAdvance(QStringLiteral("999 999 999.99")) + 16};
    for (int c = 0; c < colIdFnm; ++c)
        grid->setColumnWidth(c, widths[c]);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->horizontalHeader()->setSectionResizeMode(colIntitule, QHeaderView::Stretch);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(grid->fontMetrics().height() + 6);
    grid->setWordWrap(true);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setItemDelegate(new TTransferCellDelegate(this, grid));
    // While editing only the amount cells are selected.
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, grid](const QModelIndex& current) {
                if (Mode() != emBrowse && current.row() >= 0 && current.column() != colMontant)
                    grid->setCurrentCell(current.row(), colMontant);
            });
    return grid;
}

// ---- showing a transfer ---------------------------------------------------

TShownRow TfrmVirement::ShownRow() const
{
    // The transfer's rows, read afresh when shown: their version is read with
    // them. Every save writes them all again, its first row included.
    if (IdVir <= 0)
        return {};
    return TShownRow{QStringLiteral("VIREMENT"), QStringLiteral("ID_VIR"), IdVir, -1, QStringLiteral("NOLINE=1")};
}

bool TfrmVirement::HasRows() const
{
    return !m_keys->isEmpty();
}

void TfrmVirement::FormShow()
{
    m_keys->reload();
    if (IdVir == -1)
        m_keys->setCurrentRow(m_keys->rowCount() - 1);
    else
        LocateTransfer(IdVir);
    ShowTransfer();
}

void TfrmVirement::LocateTransfer(qint64 idVir)
{
    for (int r = 0; r < m_keys->rowCount(); ++r)
        if (TTransferStore::KeyOf(m_keys->row(r)) == idVir) {
            m_keys->setCurrentRow(r);
            return;
        }
}

void TfrmVirement::ClearTransferGrid(TTransferGrid* grid)
{
    grid->FinishEditing();
    grid->Lines()->SetLines({});
    grid->resizeRowsToContents();
}

void TfrmVirement::PutRows(TTransferGrid* grid, const QList<TTransferRow>& rows)
{
    QList<TTransferEntry> lines;
    for (const TTransferRow& row : rows.first(std::min<qsizetype>(rows.size(), GridRows))) {
        // A zero amount shows as no amount.
        const bool amount = row.idFnm > 0 && !row.amount.isZero();
        lines.append(TTransferEntry{-1, row.idFnm, row.chap, row.art, row.par, row.intitule,
                                    amount ? std::optional<Currency>(row.amount) : std::nullopt});
    }
    grid->Lines()->SetLines(lines);
    // Each row is as high as its title wrapped to the title's column.
    grid->resizeRowsToContents();
}

void TfrmVirement::ShowTransfer()
{
    ClearTransferGrid(grdDep);
    ClearTransferGrid(grdEco);
    edDate->clear();
    IdVir = 0;
    if (HasRows()) {
        IdVir = TTransferStore::KeyOf(m_keys->current());
        if (const std::optional<TTransfer> t = m_store.Read(IdVir)) {
            edDate->setText(DateText(t->date));
            PutRows(grdDep, t->giving);
            PutRows(grdEco, t->receiving);
        }
    }
    SetMode(emBrowse);
    grdDep->setCurrentCell(0, colChap);
    grdEco->setCurrentCell(0, colChap);
    ShowTotals();
}

void TfrmVirement::ModeChanged()
{
    const bool editing = Mode() != emBrowse;
    for (TTransferGrid* grid : {grdDep, grdEco}) {
        grid->FinishEditing();
        grid->setSelectionBehavior(editing ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
        grid->setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                            | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                      : QAbstractItemView::NoEditTriggers);
        if (editing && grid->currentRow() >= 0)
            grid->setCurrentCell(grid->currentRow(), colMontant);
        grid->viewport()->update();
    }
}

// ---- the grids' contents ----------------------------------------------------

qint64 TfrmVirement::LineAt(TTransferGrid* grid, int row) const
{
    const TTransferEntry* line = grid->Lines()->LineAt(row);
    return line ? line->idFnm : -1;
}

Currency TfrmVirement::TransferGridTotal(TTransferGrid* grid) const
{
    return grid->Lines()->Total();
}

void TfrmVirement::ShowTotals()
{
    lTotDep->setText(TransferGridTotal(grdDep).formatMoney());
    lTotEco->setText(TransferGridTotal(grdEco).formatMoney());
    // Each amount shown in full.
    for (TTransferGrid* grid : {grdDep, grdEco})
        for (int r = 0; r < grid->Lines()->Lines().size(); ++r)
            if (LineAt(grid, r) > 0)
                if (const std::optional<Currency> amount = grid->Lines()->AmountAt(r))
                    FitAmountColumn(grid, colMontant, *amount, *amount);
}

QList<TTransferRow> TfrmVirement::TransferRows(TTransferGrid* grid) const
{
    QList<TTransferRow> rows;
    for (const TTransferEntry& line : grid->Lines()->Lines())
        if (line.idFnm > 0)
            rows.append(TTransferRow{line.idFnm, line.chap, line.art, line.par, line.intitule,
                                     line.amount.value_or(Currency())});
    return rows;
}

// ---- typing an amount -------------------------------------------------------

bool TfrmVirement::MayEditAmount(TTransferGrid* grid, int row)
{
    const qint64 id = LineAt(grid, row);
    if (id <= 0)
        return false;   // rows without a budget line are never part of the transfer
    RequireWriteRight();
    return CanChangeTransferLine(grid, id);
}

void TfrmVirement::AmountTyped(TTransferGrid* grid, int row, const QString& text)
{
    for (TTransferGrid* g : {grdDep, grdEco})
        g->Lines()->ClearTyped();
    grid->Lines()->SetTyped(row, TransferAmount(text));
    ShowTotals();
}

void TfrmVirement::AmountLeft()
{
    for (TTransferGrid* grid : {grdDep, grdEco}) {
        grid->SetEditor(nullptr);
        grid->Lines()->ClearTyped();
    }
    ShowTotals();
}

void TfrmVirement::FinishTyping()
{
    for (TTransferGrid* grid : {grdDep, grdEco})
        grid->FinishEditing();
}

// ---- modes ----------------------------------------------------------------

void TfrmVirement::btnAddClick()
{
    RequireWriteRight();
    ClearTransferGrid(grdDep);
    ClearTransferGrid(grdEco);
    SetMode(emInsert);
    edDate->setText(DateText(DefaultDate()));
    grdDep->setCurrentCell(0, colMontant);
    grdEco->setCurrentCell(0, colMontant);
    ShowTotals();
    edDate->setFocus();
}

void TfrmVirement::btnEditClick()
{
    RequireWriteRight();
    SetMode(emEdit);
}

void TfrmVirement::btnCancelClick()
{
    ShowTransfer();
}

// ---- adding and removing lines ----------------------------------------------

void TfrmVirement::AddTransferLine(TTransferGrid* grid)
{
    RequireWriteRight();
    if (Mode() == emBrowse) {
        ShowMessageBox(QStringLiteral("Veuillez cliquer sur le bouton de modification pour ajouter une imputation !"),
                       mtWarning, MsgButton::OK);
        return;
    }
    FinishTyping();
    TTransferEntry line;
    {
        TfrmListFNM picker(this);
        picker.SelectMode = true;
        if (picker.exec() != QDialog::Accepted || picker.IdFnm <= 0)
            return;
        line = TTransferEntry{-1, picker.IdFnm, picker.Chap.trimmed(), picker.Art.trimmed(), picker.Par.trimmed(),
                              picker.Intitule, std::nullopt};
    }
    for (TTransferGrid* g : {grdDep, grdEco})
        for (int r = 0; r < GridRows; ++r)
            if (LineAt(g, r) == line.idFnm) {
                ShowMessageBox(QStringLiteral("L'imputation est déjà dans l'une des grilles !\rLigne : ")
                                   + QString::number(r + 1),
                               mtWarning, MsgButton::OK);
                return;
            }
    const int row = int(grid->Lines()->Lines().size());
    if (row >= GridRows) {
        ShowMessageBox(QStringLiteral("La grille ne peut pas recevoir plus de %1 imputations !").arg(GridRows),
                       mtWarning, MsgButton::OK);
        return;
    }
    grid->Lines()->Append(line);
    // The row is as high as its title wrapped to the title's column.
    grid->resizeRowToContents(row);
    grid->setFocus();
    grid->setCurrentCell(row, colMontant);
}

void TfrmVirement::RemoveTransferLine(TTransferGrid* grid)
{
    FinishTyping();
    const int row = grid->currentRow();
    const qint64 id = LineAt(grid, row);
    if (id <= 0)
        return;
    RequireWriteRight();
    if (!CanChangeTransferLine(grid, id))
        return;
    m_removingGrid = grid;
    m_removingRow = row;
    grid->viewport()->update();
    const bool remove = Confirm(QStringLiteral("Etes-vous sûr de vouloir supprimer cette ligne ?"));
    m_removingGrid = nullptr;
    m_removingRow = -1;
    if (remove) {
        // The rows below move up one place.
        grid->Lines()->RemoveAt(row);
        grid->resizeRowsToContents();
    }
    grid->viewport()->update();
    ShowTotals();
}

// ---- the rules that ask the database ----------------------------------------

bool TfrmVirement::CanChangeTransferLine(TTransferGrid* grid, qint64 idFnm)
{
    if (Mode() != emEdit)
        return true;
    const TransferSide side = grid == grdDep ? TransferSide::Giving : TransferSide::Receiving;
    if (m_store.RowSheetIsLast(IdVir, idFnm, side))
        return true;
    ShowInfo(QStringLiteral("La fiche d'engagement liée à l'imputation sélectionnée n'est pas la dernière !\r"
                            "Suppression impossible."));
    return false;
}

bool TfrmVirement::TransferSheetsAreLast()
{
    for (TTransferGrid* grid : {grdDep, grdEco}) {
        const TransferSide side = grid == grdDep ? TransferSide::Giving : TransferSide::Receiving;
        const QList<TTransferEntry> lines = grid->Lines()->Lines();
        for (const TTransferEntry& line : lines) {
            const qint64 id = line.idFnm;
            if (id > 0 && !m_store.RowSheetIsLast(IdVir, id, side)) {
                ShowInfo(QStringLiteral("Une ou plusieurs fiches d'engagement liées à ce virement ne peuvent pas être "
                                        "supprimées du fait qu'elles ne sont pas les dérnières !\rVeuillez vérifier SVP."));
                return false;
            }
        }
    }
    return true;
}

bool TfrmVirement::CheckTransferCredit(qint64 idFnm, Currency amount)
{
    // A transfer being changed is not counted against itself.
    const TTransferCredit credit = m_store.Credit(Mode() == emEdit ? IdVir : -1, idFnm, YearEnd());
    if (!TransferCreditShort(credit, amount))
        return true;
    switch (DecisionTransfer) {
    case 0:
        return true;
    case 1:
        ShowInfo(QStringLiteral("Crédit insuffisant pour procéder à ce transfert !"));
        return false;
    default:
        return ShowMessageBox(QStringLiteral("Crédit insuffisant pour transférer !\rVoulez-vous, tout de même, continuer ?"),
                              mtConfirmation, MsgButton::Yes | MsgButton::No) == mrYes;
    }
}

// ---- the save and the deletion ---------------------------------------------

void TfrmVirement::RefuseRow(TTransferGrid* grid, int row, const QString& message)
{
    grid->viewport()->update();
    grid->setCurrentCell(row, colChap);
    Refuse(message, grid, mtWarning);
}

void TfrmVirement::btnPostClick()
{
    RequireWriteRight();
    FinishTyping();
    if (Mode() == emEdit && !TransferSheetsAreLast())
        Abort();

    const QDate date = ParseDate(edDate->text());
    if (!date.isValid())
        Refuse(QStringLiteral("La Date du transfert est incorrecte  !"), edDate, mtWarning);
    if (date.year() != FiscalYear.trimmed().toInt())
        Refuse(QStringLiteral("La date du transfert ne correspond pas à l'exercice en cours !"), edDate, mtWarning);

    // Each grid row by row: a number above zero; the giving lines within
    // their credit under the transfer policy.
    for (TTransferGrid* grid : {grdDep, grdEco}) {
        const QList<TTransferEntry> lines = grid->Lines()->Lines();
        for (const TTransferEntry& entry : lines) {
            if (entry.idFnm <= 0)
                continue;
            if (const TVerdict refusal = CheckTransferAmounts({entry}))
                RefuseRow(grid, int(refusal->row), refusal->message);
            if (grid == grdDep && !CheckTransferCredit(entry.idFnm, *entry.amount))
                RefuseRow(grid, entry.gridRow, QStringLiteral("Le crédit alloué est insuffisant !\rImputation : ")
                                                   + TransferRowLabel(entry));
        }
    }
    if (const TVerdict refusal = CheckTransferTotals(TransferGridTotal(grdDep), TransferGridTotal(grdEco)))
        Refuse(*refusal, refusal->field == ReceivingGrid ? grdEco : grdDep, mtWarning);

    TWaitCursor wait;
    TTransfer transfer;
    transfer.id = Mode() == emEdit ? IdVir : -1;
    transfer.date = date;
    transfer.giving = TransferRows(grdDep);
    transfer.receiving = TransferRows(grdEco);
    qint64 id = -1;
    {
        TWriteGuard write;
        // A changed transfer writes its sheets again: they must still be the
        // last of their lines, asked again inside the saving transaction
        // (another user may have given a line a later sheet meanwhile).
        if (Mode() == emEdit && !TransferSheetsAreLast())
            Abort();
        id = m_store.Save(transfer);
        write.Commit();
    }
    m_keys->reload();
    LocateTransfer(id);
    ShowTransfer();
}

void TfrmVirement::btnDeleteClick()
{
    RequireWriteRight();
    if (!HasRows() || !TransferSheetsAreLast())
        return;
    if (!Confirm(QStringLiteral("Etes-vous sûr de vouloir supprimer ce transfert et tous les engagements y afférents ?")))
        return;
    TWaitCursor wait;
    {
        TWriteGuard write;
        // Asked again inside the deleting transaction: a line may have been
        // given a later sheet while the question was on screen.
        if (!TransferSheetsAreLast())
            Abort();
        m_store.Delete(IdVir);
        write.Commit();
    }
    m_keys->reload();
    m_keys->setCurrentRow(m_keys->rowCount() - 1);
    ShowTransfer();
}

// ---- printing ---------------------------------------------------------------

namespace {

template <class Form>
void PreviewTransferSheet(QWidget* caller, qint64 idVir, qint64 idFnm, bool giving)
{
    Form form;
    form.Objet = toDb(giving ? SheetObject::Expense : SheetObject::Economy);
    form.Origine = int(SheetOrigin::Transfer);
    form.IdOrigine = int(idVir);
    form.IdFnm = int(idFnm);
    form.Preview(caller);
}

} // namespace

void TfrmVirement::PrintTransferSheet(TTransferGrid* grid, bool prePrinted)
{
    if (Mode() != emBrowse || !HasRows())
        return;
    const bool giving = grid == grdDep;
    const qint64 idFnm = LineAt(grid, grid->currentRow());
    if (idFnm <= 0) {
        ShowInfo(giving ? QStringLiteral("Veuillez sélectionner une ligne dans la grille des dépenses SVP !")
                        : QStringLiteral("Veuillez sélectionner une ligne dans la grille des économies SVP !"));
        grid->setFocus();
        return;
    }
    if (prePrinted)
        PreviewTransferSheet<TfrmRptFEEco_Art_PreImp>(this, IdVir, idFnm, giving);
    else
        PreviewTransferSheet<TfrmRptFEEco_Art>(this, IdVir, idFnm, giving);
}

void TfrmVirement::mnEtatVirClick()
{
    if (Mode() != emBrowse || !HasRows())
        return;
    TfrmRptEtVir form;
    form.IdVir = int(IdVir);
    form.DateVir = ParseDate(edDate->text());
    form.Preview(this);
}
