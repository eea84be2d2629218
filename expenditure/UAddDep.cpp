#include "expenditure/UAddDep.h"

#include "expenditure/ExpenseStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "db/Database.h"
#include "expenditure/ExpenseEditor.h"
#include "expenditure/ExpenseListing.h"
#include "expenditure/ExpenseLists.h"
#include "expenditure/PickerFacts.h"
#include "expenditure/UFilterDep.h"
#include "reports/expenses/URptListDep.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor kInSelection(253, 245, 200);
const QColor kGreyText(128, 128, 128);
const QColor kNumberCell(245, 245, 245);

const QString ExpenseDeletedMeanwhile =
    QStringLiteral("Cette dépense a été supprimée par un autre utilisateur : elle n'a pas été ajoutée.");
const QString ExpenseChangedMeanwhile =
    QStringLiteral("Cette dépense a été modifiée par un autre utilisateur : elle n'a pas été ajoutée.\r"
                   "Elle est affichée telle qu'elle est enregistrée ; ajoutez-la de nouveau pour la vérifier.");
const QString CreditChangedMeanwhile =
    QStringLiteral("Un autre utilisateur a changé entre-temps le crédit de l'imputation ou le total du fournisseur : "
                   "la dépense n'a pas été ajoutée.\rAjoutez-la de nouveau pour la vérifier.");

QString SelectionKindText(std::optional<ExpenseKind> kind, const QString& current)
{
    if (!kind)
        return QStringLiteral("Toutes les dépenses");
    switch (*kind) {
    case ExpenseKind::Invoice: return QStringLiteral("Factures fournisseurs");
    case ExpenseKind::Mission: return QStringLiteral("Missions et autres dépenses");
    case ExpenseKind::SalaryToPay: return QStringLiteral("Dépenses liées aux salaires");
    default: return current;
    }
}

enum SelectionColumn { scNo, scDate, scImput, scMontant, scBen, scNoDep, scId, scFnm, scCount };

// The beneficiary of a line shows at least this wide, whatever the others take.
constexpr int kBeneficiaryMinimum = 80;

// The widest date as the grids show it.
QString DateSample()
{
    return QStringLiteral("00/00/0000");
}

} // namespace

// ---------------------------------------------------------------------------
// Building

TfrmAddDep::TfrmAddDep(QWidget* parent)
    : TListWindow(parent)
{
    BuildWindow();
}

TfrmAddDep::~TfrmAddDep() = default;

void TfrmAddDep::BuildWindow()
{
    setObjectName(QStringLiteral("frmAddDep"));
    setWindowTitle(QStringLiteral("Listing des dépenses"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Tool bar.
    auto* pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    auto* bar = new QHBoxLayout(pnlTop);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(2);
    btnModif = AddToolButton(pnlTop, bar, "btnModif", QStringLiteral("Modifier"),
                             QStringLiteral("Saisir ou modifier une imputation"), QStyle::SP_FileDialogDetailedView);
    btnDelete = AddToolButton(pnlTop, bar, "btnDelete", QStringLiteral("Supprimer"),
                              QStringLiteral("Supprimer l'enregistrement courant"), QStyle::SP_TrashIcon);
    btnFind = AddToolButton(pnlTop, bar, "btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher une dépense"),
                            QStyle::SP_FileDialogContentsView);
    btnFilter = AddToolButton(pnlTop, bar, "btnFilter", QStringLiteral("Fil&trer ..."), QStringLiteral("Filtrer"),
                              QStyle::SP_FileDialogListView);
    btnPrint = AddToolButton(pnlTop, bar, "btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"),
                             QStyle::SP_FileIcon);
    btnMenu = AddToolButton(pnlTop, bar, "btnMenu", QStringLiteral("&Menu"), QStringLiteral("Menu"),
                            QStyle::SP_ArrowDown);
    bar->addStretch();
    btnClose = AddToolButton(pnlTop, bar, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                             QStyle::SP_DialogCloseButton);
    layout->addWidget(pnlTop);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);

    // The expenses.
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    grdDep = new QTableView(left);
    grdDep->setObjectName(QStringLiteral("grdDep"));
    grdDep->verticalHeader()->hide();
    grdDep->verticalHeader()->setDefaultSectionSize(20);
    m_model = new QueryTableModel(this);
    QueryTableModel::Column number;
    number.field = QStringLiteral("NO_DEPENSE");
    number.title = QStringLiteral("No Dép.");
    number.format = QueryTableModel::Text;
    number.fitText = true;
    m_model->addColumn(number);
    m_model->addColumn(QStringLiteral("DATE_DEPENSE"), QStringLiteral("Date"), QueryTableModel::Date,
                       Qt::AlignCenter);
    QueryTableModel::Column imput;
    imput.field = QStringLiteral("IMPUT");
    imput.title = QStringLiteral("Imput.");
    imput.format = QueryTableModel::Text;
    imput.alignment = Qt::AlignCenter;
    imput.fitText = true;
    m_model->addColumn(imput);
    m_model->addColumn(QStringLiteral("MONTANT"), QStringLiteral("Montant"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("NOM_BEN"), QStringLiteral("Bénéficiaire"), QueryTableModel::Text);
    m_model->setKeyFields({QStringLiteral("ID_DEPENSE")});
    m_model->setSortingEnabled(true);
    m_model->attachView(grdDep);
    // The columns as narrow as their titles and texts allow (the number, the
    // budget line and the amount widen to what each reading holds): the
    // beneficiary, last, takes the rest of the list's width.
    for (int c = 0; c < 4; ++c)
        grdDep->setColumnWidth(c, 0);
    for (int c = 0; c < 4; ++c)
        FitTextColumn(grdDep, c, c == 1 ? DateSample() : QString());
    GiveRestOfWidth(grdDep, 4, kBeneficiaryMinimum);
    // No column is sorted until a title is clicked.
    grdDep->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    leftLayout->addWidget(grdDep, 1);
    // Under the list the check box, then the add button beside the remove
    // button of the lines: each row fits half the pick-mode width.
    chkHide = new QCheckBox(QStringLiteral("Cacher les dépenses engagées"), left);
    chkHide->setObjectName(QStringLiteral("chkHide"));
    chkHide->setFocusPolicy(Qt::NoFocus);
    leftLayout->addWidget(chkHide);
    auto* addBar = new QHBoxLayout;
    btnAdd = MakeButton(left, "btnAdd", QStringLiteral("Ajouter >>"), QString(), QStyle::SP_ArrowRight);
    addBar->addStretch();
    addBar->addWidget(btnAdd);
    leftLayout->addLayout(addBar);

    // The document's lines.
    pnlSelectedDep = new QWidget(splitter);
    pnlSelectedDep->setObjectName(QStringLiteral("pnlSelectedDep"));
    auto* right = new QVBoxLayout(pnlSelectedDep);
    right->setContentsMargins(2, 2, 2, 2);
    grdDepToDo = new TSelectionGrid(pnlSelectedDep);
    grdDepToDo->setObjectName(QStringLiteral("grdDepToDo"));
    grdDepToDo->setColumnCount(scCount);
    grdDepToDo->setHorizontalHeaderLabels({QStringLiteral("N°"), QStringLiteral("Date Dép."), QStringLiteral("Imput."),
                                           QStringLiteral("Montant"), QStringLiteral("Bénéficiaire"),
                                           QStringLiteral("N° Dépense"), QString(), QString()});
    // As narrow as titles and texts allow; the beneficiary takes what the
    // others leave of the grid's width, the expense's number after it.
    for (int c = 0; c < scId; ++c)
        grdDepToDo->setColumnWidth(c, 0);
    FitTextColumn(grdDepToDo, scNo, QStringLiteral("99"));
    FitTextColumn(grdDepToDo, scDate, DateSample());
    for (int c : {scImput, scMontant, scNoDep})
        FitTextColumn(grdDepToDo, c, QString());
    GiveRestOfWidth(grdDepToDo, scBen, kBeneficiaryMinimum);
    grdDepToDo->setColumnHidden(scId, true);
    grdDepToDo->setColumnHidden(scFnm, true);
    grdDepToDo->verticalHeader()->hide();
    grdDepToDo->verticalHeader()->setDefaultSectionSize(20);
    grdDepToDo->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDepToDo->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDepToDo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const Qt::Alignment titleAlign[] = {Qt::AlignRight, Qt::AlignCenter, Qt::AlignCenter, Qt::AlignRight,
                                        Qt::AlignLeft, Qt::AlignLeft};
    for (int c = 0; c < scId; ++c)
        grdDepToDo->horizontalHeaderItem(c)->setTextAlignment(titleAlign[c] | Qt::AlignVCenter);
    right->addWidget(grdDepToDo, 1);
    // The count and total of the lines, then the remove button.
    auto* totals = new QHBoxLayout;
    totals->addStretch();
    lNbDep = new QLabel(QStringLiteral("0"), pnlSelectedDep);
    lNbDep->setObjectName(QStringLiteral("lNbDep"));
    lTotDep = new QLabel(QStringLiteral("dépenses à engager : "), pnlSelectedDep);
    lTotDep->setObjectName(QStringLiteral("lTotDep"));
    lTotDetToDo = new QLabel(QStringLiteral("0.00"), pnlSelectedDep);
    lTotDetToDo->setObjectName(QStringLiteral("lTotDetToDo"));
    QFont bold = lTotDetToDo->font();
    bold.setBold(true);
    lNbDep->setFont(bold);
    lTotDetToDo->setFont(bold);
    totals->addWidget(lNbDep);
    totals->addWidget(lTotDep);
    totals->addWidget(lTotDetToDo);
    right->addLayout(totals);
    auto* retireBar = new QHBoxLayout;
    btnRetire = MakeButton(pnlSelectedDep, "btnRetire", QStringLiteral("<< Retirer"), QString(), QStyle::SP_ArrowLeft);
    retireBar->addWidget(btnRetire);
    retireBar->addStretch();
    right->addLayout(retireBar);

    splitter->addWidget(left);
    splitter->addWidget(pnlSelectedDep);
    // The list, where the expense is chosen, takes the larger part.
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({4000, 3000});
    layout->addWidget(splitter, 1);

    stBar = new TStatusBar({60, 50, 110, 60, 10, 200}, this);
    layout->addWidget(stBar);
    stBar->SetPanel(0, QStringLiteral("Exercice"));
    stBar->SetPanel(2, QStringLiteral("Nbre de dépenses"));

    FollowRowCount(m_model, stBar, 3, QString(), TRowsCounted::Fetched);

    // The menu: its items are the buttons' commands, their keys active on the whole window.
    PopMenu = PopupMenu();
    mnAddDep = AddCommand("mnAddDep", QStringLiteral("Engager la dépense"), [this] { AddCurrentExpense(); },
                          QKeySequence(), btnAdd);
    mnRetireDet = AddCommand("mnRetireDet", QStringLiteral("Désengager la dépense"), [this] { RetireCurrentLine(); },
                             QKeySequence(), btnRetire);
    PopMenu->addSeparator();
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); },
                         QKeySequence(Qt::Key_F2), btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("&Supprimer"), [this] { btnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete), btnDelete);
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher"), [this] { btnFindClick(); }, QKeySequence(Qt::Key_F3),
                        btnFind);
    mnFilter = AddCommand("mnFilter", QStringLiteral("Filtrer"), [this] { btnFilterClick(); }, QKeySequence(),
                          btnFilter);
    mnCancelFilter = AddCommand("mnCancelFilter", QStringLiteral("Annuler le filtre"), [this] { CancelFilter(); });
    // The popup menu's "Imprimer le listing" carries no action; the button prints.
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer le listing"), nullptr);
    mnPrint->setEnabled(false);
    PopMenu->addSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); }, QKeySequence(), btnClose);
    PopUpMenuOn(grdDep);
    DropMenuFrom(btnMenu);
    SetFirstFocus(grdDep);

    connect(grdDep, &QTableView::doubleClicked, this, Guarded([this] {
        if (SelectMode)
            AddCurrentExpense();
        else
            btnModifClick();
    }));
    connect(grdDepToDo, &QTableWidget::cellDoubleClicked, this, Guarded([this] { RetireCurrentLine(); }));
    connect(grdDepToDo, &TSelectionGrid::rowMoved, this,
            [this](int from, int to) { RunGuarded([=, this] { MoveSelectedLine(from, to); }); });
    connect(chkHide, &QCheckBox::toggled, this, Guarded([this] { m_model->refilter(); }));
    connect(btnPrint, &QPushButton::clicked, this, Guarded([this] { btnPrintClick(); }));

    resize(ListingWidth, 520);
}

// ---------------------------------------------------------------------------
// Showing

void TfrmAddDep::FormShow()
{
    TWaitCursor wait;
    m_filter = TFilterCriteria::Reset();
    m_filterActive = false;
    pnlSelectedDep->setVisible(SelectMode);
    btnAdd->setVisible(SelectMode);
    mnAddDep->setVisible(SelectMode);
    mnRetireDet->setVisible(SelectMode);
    chkHide->setVisible(SelectMode);
    stBar->SetPanel(1, FiscalYear);

    if (SelectMode) {
        const bool order = IsOrder();
        m_snapshot = Document->PlacedExpenseIds();
        m_facts = DatabaseFacts(DocumentMode(), QDate(FiscalYear.trimmed().toInt(), 12, 31));
        lTotDep->setText(order ? QStringLiteral("dépenses à mandater : ") : QStringLiteral("dépenses à engager : "));
        mnAddDep->setText(order ? QStringLiteral("Mandater la dépense") : QStringLiteral("Engager la dépense"));
        btnAdd->setToolTip(mnAddDep->text());
        mnRetireDet->setText(order ? QStringLiteral("Démandater la dépense") : QStringLiteral("Désengager la dépense"));
        btnRetire->setToolTip(mnRetireDet->text());
        chkHide->setText(order ? QStringLiteral("Cacher les dépenses mandatées")
                               : QStringLiteral("Cacher les dépenses engagées"));
        resize(PickModeWidth, std::max(height(), 560));
        m_model->setFilter([this](const QueryRow& r) { return ShownInPickMode(r); });
        m_model->setRowTint([this](int, const QueryRow& r) {
            const picker::Expense e = TPickerStore::ExpenseOf(r);
            return m_selected.contains(e.id) ? kInSelection : ExpenseKindColor(e.kind);
        });
        m_model->setRowTextColor([this](int, const QueryRow& r) {
            return m_snapshot.contains(TPickerStore::ExpenseOf(r).id) ? kGreyText : QColor();
        });
        OpenExpenses(TSqlCondition());
        RefreshSelectedLines();
    } else {
        m_model->setRowTint([](int, const QueryRow& r) { return ExpenseKindColor(TPickerStore::ExpenseOf(r).kind); });
        OpenExpenses(TSqlCondition());
    }
}

void TfrmAddDep::OpenExpenses(const TSqlCondition& condition)
{
    TWaitCursor wait;
    // Salary expenses to commit never go on a payment order, salary expenses
    // to pay never on a commitment sheet, whatever the filter chose.
    TListingRows rows = m_picker.ListRows(SelectMode ? std::optional(DocumentMode()) : std::nullopt, TypeDep,
                                          condition);
    const QList<db::Value> current = m_model->currentKey();
    m_model->setRows(rows.names, std::move(rows.rows));
    if (!current.isEmpty())
        m_model->locate(current);
}

bool TfrmAddDep::ShownInPickMode(const QueryRow& r) const
{
    const picker::Expense e = TPickerStore::ExpenseOf(r);
    if (m_selected.contains(e.id))
        return false;
    if (!m_lines.isEmpty() && e.kind != m_firstKind)
        return false;
    return !(chkHide->isChecked() && m_snapshot.contains(e.id));
}

// ---------------------------------------------------------------------------
// The document's lines

QList<qint64> TfrmAddDep::SelectedExpenseIds() const
{
    QList<qint64> ids;
    for (const TDocumentLine& l : m_lines)
        ids << l.idDepense;
    return ids;
}

void TfrmAddDep::RefreshSelectedLines()
{
    m_lines = Document->Lines(IdDoc);
    const TExpenseDocument::State state = Document->ReadState(IdDoc);
    m_sheetCancelled = state.cancelled;
    m_sheetVisa = state.visa;
    m_selected.clear();
    for (const TDocumentLine& l : m_lines)
        m_selected.insert(l.idDepense);
    m_firstKind = m_lines.isEmpty() ? std::nullopt : m_lines.first().kind;
    lNbDep->setText(QString::number(m_lines.size()));
    FillSelectionGrid();
    lTotDetToDo->setText(LinesTotal(m_lines).formatMoney());
    m_model->refilter();
    stBar->SetPanel(5, SelectionKindText(m_firstKind, stBar->Panel(5)));
}

void TfrmAddDep::FillSelectionGrid()
{
    const int current = grdDepToDo->currentRow();
    grdDepToDo->clearContents();
    grdDepToDo->setRowCount(std::max<int>(1, m_lines.size()));
    QFont bold = grdDepToDo->font();
    bold.setBold(true);
    for (int r = 0; r < m_lines.size(); ++r) {
        const TDocumentLine& l = m_lines[r];
        const QString texts[scCount] = {QString::number(r + 1),
                                        l.dateDepense.toString(QStringLiteral("dd/MM/yyyy")),
                                        l.Imput(),
                                        l.amount.formatMoney(),
                                        l.benName,
                                        l.noDepense,
                                        QString::number(l.idDepense),
                                        QString::number(l.idFnm)};
        const Qt::Alignment align[scCount] = {Qt::AlignRight, Qt::AlignCenter, Qt::AlignCenter, Qt::AlignRight,
                                              Qt::AlignLeft,  Qt::AlignLeft,   Qt::AlignLeft,   Qt::AlignLeft};
        for (int c = 0; c < scCount; ++c) {
            auto* it = new QTableWidgetItem(texts[c]);
            it->setTextAlignment(align[c] | Qt::AlignVCenter);
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
            if (c == scMontant || c == scImput)
                it->setFont(bold);
            if (c == scNo)
                it->setBackground(kNumberCell);
            grdDepToDo->setItem(r, c, it);
        }
        FitAmountColumn(grdDepToDo, scMontant, l.amount, l.amount);
        FitTextColumn(grdDepToDo, scNo, texts[scNo]);
        FitTextColumn(grdDepToDo, scImput, texts[scImput], true);
        FitTextColumn(grdDepToDo, scNoDep, texts[scNoDep]);
    }
    if (!m_lines.isEmpty())
        grdDepToDo->setCurrentCell(std::clamp(current, 0, int(m_lines.size()) - 1), scNo);
}

void TfrmAddDep::SelectLine(qint64 idDepense)
{
    for (int r = 0; r < m_lines.size(); ++r)
        if (m_lines[r].idDepense == idDepense)
            grdDepToDo->setCurrentCell(r, scNo);
}

picker::Document TfrmAddDep::CurrentDocument() const
{
    picker::Document d;
    d.mode = DocumentMode();
    d.lineCount = int(m_lines.size());
    d.firstKind = m_firstKind;
    d.expenses = m_selected;
    for (const TDocumentLine& l : m_lines)
        d.budgetLines.insert(l.idFnm);
    d.cancelled = m_sheetCancelled;
    d.visa = m_sheetVisa;
    return d;
}

void TfrmAddDep::ShowPickerRefusal(const TRefusal& refusal)
{
    QWidget* focus = nullptr;
    switch (picker::Focus(refusal.field)) {
    case picker::Focus::ExpenseList: focus = grdDep; break;
    case picker::Focus::SelectionList:
        if (refusal.row >= 0)
            SelectLine(refusal.row);
        focus = grdDepToDo;
        break;
    case picker::Focus::None: break;
    }
    ShowRefusal(refusal, focus);
}

qint64 TfrmAddDep::CurrentExpenseId() const
{
    return m_model->isEmpty() ? -1 : TPickerStore::ExpenseOf(m_model->current()).id;
}

void TfrmAddDep::AddCurrentExpense()
{
    const qint64 id = CurrentExpenseId();
    if (id >= 0)
        AddExpense(id);
}

bool TfrmAddDep::AddExpense(qint64 idDepense)
{
    if (!SelectMode)
        return false;
    // The expense as it stands now, read through its key; one that is gone,
    // or that the filter or the list's own rules hide, is not added.
    if (!ReadExpenseAgain(idDepense))
        return false;
    const int shown = m_model->findRow({db::Value(idDepense)});
    if (shown < 0)
        return false;
    const picker::Expense e = TPickerStore::ExpenseOf(m_model->row(shown));

    picker::Policies policies;
    policies.commit = DecisionCommit;
    policies.mandate = DecisionMandate;
    policies.ceilings = SupplierThresholds;
    policies.maxDocLines = MaxDocLines;
    // The questions the user answered Yes, so that the checks made again
    // under the locks do not ask them twice.
    QSet<QString> accepted;
    const auto ask = [&accepted](const QString& question) {
        if (accepted.contains(question))
            return true;
        const bool yes = ShowMessageBox(question, mtConfirmation, MsgButton::Yes | MsgButton::No) == mrYes;
        if (yes)
            accepted.insert(question);
        return yes;
    };

    // The list and the checks read the expense, the credits and the
    // supplier's total before this write. Inside the adding transaction the
    // expense, the budget lines it is charged to and its supplier are locked,
    // and the checks run again on what is stored then: whether another user
    // deleted the expense, changed it or put it on a document of the mode
    // since, and whether a line another user added meanwhile used up the
    // credit or the ceiling. So no expense is committed or mandated twice, no
    // two adds both pass a credit only one of them fits in, and the line
    // takes the amount the checks passed. When the figures have changed so
    // that a question the user was not asked comes up, the add starts again
    // with the question asked on the figures as they stand (once; a second
    // change refuses).
    TPickerStore::Result added;
    for (int round = 0;; ++round) {
        if (const TVerdict refusal = picker::CheckAddExpense(CurrentDocument(), e, m_snapshot, policies, m_facts, ask)) {
            ShowPickerRefusal(*refusal);
            return false;
        }
        bool askedAnew = false;
        const auto askedBefore = [&](const QString& question) {
            askedAnew = askedAnew || !accepted.contains(question);
            return accepted.contains(question);
        };
        TVerdict again;
        {
            TWaitCursor wait;
            TWriteGuard write;
            QList<qint64> lines;
            for (const auto& line : picker::ChargedLines(CurrentDocument().mode, e, m_facts))
                lines.append(line.first);
            const bool ceiling = IsOrder() && picker::CeilingApplies(m_facts.beneficiary(e.idBen));
            TPickerStore::LockCheckedRows(lines, ceiling ? e.idBen : -1);
            again = picker::CheckAddExpense(CurrentDocument(), e, m_snapshot, policies, m_facts, askedBefore);
            if (!again) {
                added = m_picker.AddExpense(*Document, CurrentDocument().mode, IdDoc, e);
                if (added.outcome == TPickerStore::Outcome::Added)
                    write.Commit();
            }
        }
        if (!again)
            break;
        if (!askedAnew || round > 0) {
            ShowPickerRefusal(again->message.isEmpty() ? TRefusal{CreditChangedMeanwhile, int(picker::Focus::ExpenseList)}
                                                       : *again);
            return false;
        }
    }
    switch (added.outcome) {
    case TPickerStore::Outcome::Added: break;
    case TPickerStore::Outcome::Taken:
        m_snapshot.insert(e.id);
        grdDep->viewport()->update();
        ShowPickerRefusal(TRefusal{IsOrder() ? picker::AlreadyMandated : picker::AlreadyCommitted,
                                   int(picker::Focus::ExpenseList)});
        return false;
    case TPickerStore::Outcome::Gone:
        OpenExpenses(m_filterActive ? BuildExpenseCondition(m_filter, QStringLiteral("D.")) : TSqlCondition());
        ShowPickerRefusal(TRefusal{ExpenseDeletedMeanwhile, int(picker::Focus::ExpenseList)});
        return false;
    case TPickerStore::Outcome::Changed:
        // The row shows the expense as it stands; adding it again checks that.
        ReadExpenseAgain(e.id);
        ShowPickerRefusal(TRefusal{ExpenseChangedMeanwhile, int(picker::Focus::ExpenseList)});
        return false;
    }
    if (IsOrder())
        DM->Queries().RefreshMandatedSnapshot();
    RefreshSelectedLines();
    if (added.sync.Renumbered())
        ShowInfo(QStringLiteral("Le N° de Fiche ") + added.sync.previousNumber
                 + QStringLiteral(" existe déjà pour cette imputation !\rLa fiche prend le N° ") + added.sync.number
                 + QStringLiteral("."));
    return true;
}

bool TfrmAddDep::ReadExpenseAgain(qint64 idDepense)
{
    TListingRows one = m_picker.ListedExpense(DocumentMode(), idDepense);
    const int source = m_model->findSourceRow(QStringLiteral("ID_DEPENSE"), db::Value(idDepense));
    const bool found = !one.rows.empty() && source >= 0;
    if (found && m_model->fieldNames() == one.names && one.rows.front() != m_model->sourceValues(source))
        m_model->replaceRow(source, std::move(one.rows.front()));
    return found;
}

void TfrmAddDep::RetireCurrentLine()
{
    if (!SelectMode)
        return;
    const int row = grdDepToDo->currentRow();
    if (row < 0 || row >= m_lines.size())
        return;
    const qint64 id = m_lines[row].idDepense;
    if (!IsOrder()) {
        picker::Document d = CurrentDocument();
        if (const TVerdict closed = picker::CheckDocumentOpen(d)) {
            ShowPickerRefusal(*closed);
            return;
        }
    }
    if (ShowMessageBox(QStringLiteral("Retirer cette dépense ?"), mtConfirmation, MsgButton::Yes | MsgButton::No)
        != mrYes)
        return;
    try {
        TWaitCursor wait;
        TWriteGuard write;
        Document->RemoveExpenseLine(IdDoc, id);
        write.Commit();
    } catch (...) {
        // The lines are shown as they stand, whatever failed.
        RunGuarded([this] { RefreshSelectedLines(); });
        throw;
    }
    if (IsOrder())
        DM->Queries().RefreshMandatedSnapshot();
    RefreshSelectedLines();
    grdDep->viewport()->update();
}

void TfrmAddDep::MoveSelectedLine(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_lines.size() || to >= m_lines.size() || from == to)
        return;
    m_lines.move(from, to);
    RenumberSelectedLines();
    grdDepToDo->setCurrentCell(to, scNo);
}

void TfrmAddDep::RenumberSelectedLines()
{
    if (!SelectMode || m_lines.isEmpty())
        return;
    const QList<qint64> order = SelectedExpenseIds();
    {
        TWriteGuard write;
        Document->RenumberLines(IdDoc, order);
        write.Commit();
    }
    RefreshSelectedLines();
}

// ---------------------------------------------------------------------------
// The expenses themselves

void TfrmAddDep::btnModifClick()
{
    if (m_model->isEmpty())
        return;
    const qint64 id = CurrentExpenseId();
    OpenExpenseEditor(this, TPickerStore::ExpenseOf(m_model->current()).kind, id);
    TWaitCursor wait;
    grdDep->setEnabled(false);
    OpenExpenses(m_filterActive ? BuildExpenseCondition(m_filter, QStringLiteral("D.")) : TSqlCondition());
    m_model->locate({db::Value(id)});
    grdDep->setEnabled(true);
}

void TfrmAddDep::btnDeleteClick()
{
    if (m_model->isEmpty())
        return;
    const qint64 id = CurrentExpenseId();
    if (!DeleteExpenseFromList(id, TPickerStore::ExpenseOf(m_model->current()).kind))
        return;
    OpenExpenses(m_filterActive ? BuildExpenseCondition(m_filter, QStringLiteral("D.")) : TSqlCondition());
    m_model->setCurrentRow(0);
}

void TfrmAddDep::btnFindClick()
{
    const std::optional<QString> typed =
        InputBox(this, QStringLiteral("Rechercher une DEPENSE"), QStringLiteral("Tapez le No de la DEPENSE : "));
    if (!typed)
        return;
    const QString text = *typed;
    if (text.isEmpty())
        return;
    if (!m_model->locate({QStringLiteral("NO_DEPENSE")}, {db::Value(text)}))
        ShowInfo(text + QStringLiteral(" : Cette DEPENSE est introuvable ! "));
}

void TfrmAddDep::btnFilterClick()
{
    TFilterCriteria chosen;
    {
        TfrmFilterDep dialog(this);
        dialog.TypeDep = SelectMode ? m_firstKind : TypeDep;
        dialog.SetCriteria(m_filter);
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.Criteria();
    }
    ApplyFilter(chosen);
}

void TfrmAddDep::btnPrintClick()
{
    QueryTableModel rows;
    {
        TWaitCursor wait;
        TListingRows read = PrintedRows();
        rows.setRows(read.names, std::move(read.rows));
    }
    TfrmRptListDep form;
    form.UseListing(rows);
    form.Preview(this);
}

TListingRows TfrmAddDep::PrintedRows() const
{
    QList<qint64> ids;
    ids.reserve(m_model->rowCount());
    for (int r = 0; r < m_model->rowCount(); ++r)
        ids.append(TPickerStore::ExpenseOf(m_model->row(r)).id);
    return TExpenseListing().ReadExpenses(ids);
}

void TfrmAddDep::ApplyFilter(const TFilterCriteria& filter)
{
    m_filter = filter;
    const TSqlCondition condition = BuildExpenseCondition(m_filter, QStringLiteral("D."));
    if (condition.IsEmpty()) {
        CancelFilter();
        return;
    }
    OpenExpenses(condition);
    m_filterActive = true;
}

void TfrmAddDep::CancelFilter()
{
    OpenExpenses(TSqlCondition());
    m_filterActive = false;
}

// ---------------------------------------------------------------------------
// Keys and closing

void TfrmAddDep::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_filterActive)
            RunGuarded([this] { CancelFilter(); });
        else
            close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmAddDep::done(int result)
{
    // The order the user gave the rows becomes the lines' numbers.
    if (SelectMode && Shown())
        RunGuarded([this] { RenumberSelectedLines(); });
    QDialog::done(result);
}
