#include "expenditure/UDep_Sal_Mdt.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "documents/DocumentLines.h"
#include "expenditure/ExpenseRules.h"
#include "refdata/UListTable.h"
#include "core/Routines.h"
#include "ui/LinesModel.h"
#include "ui/QueryTableModel.h"
#include "ui/RecordNavigator.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------
// The lines of one grid, with the line being entered or changed in its place.

class TSalaryLinesModel : public TLinesModel<TSalaryLine> {
public:
    TSalaryLinesModel(SalaryLineType type, QObject* parent)
        : TLinesModel(type == SalaryLineType::Imputation ? BudgetLineTitles()
                                                         : QStringList{QStringLiteral("N°"), QStringLiteral("Retenue"),
                                                                       QStringLiteral("Montant")},
                      parent),
          m_type(type)
    {
    }

    int PickColumn() const { return m_type == SalaryLineType::Imputation ? int(blIntitule) : 1; }
    int AmountColumn() const { return m_type == SalaryLineType::Imputation ? int(blMontant) : 2; }

    // The line being entered (`row` -1: after the others) or changed (its row).
    void SetPending(const std::optional<TSalaryLine>& line, int row)
    {
        beginResetModel();
        m_pending = line;
        m_pendingRow = line ? (row < 0 ? int(m_lines.size()) : row) : -1;
        endResetModel();
    }
    int PendingRow() const { return m_pendingRow; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        if (parent.isValid())
            return 0;
        const bool extra = m_pending && m_pendingRow == int(m_lines.size());
        return int(m_lines.size()) + (extra ? 1 : 0);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const bool pendingRow = index.row() == m_pendingRow;
        const TSalaryLine& l = pendingRow ? *m_pending : m_lines[index.row()];
        const int column = index.column();
        if (role == Qt::TextAlignmentRole)
            return column == AmountColumn() ? int(Qt::AlignRight | Qt::AlignVCenter)
                                            : int(Qt::AlignLeft | Qt::AlignVCenter);
        if (role == Qt::ForegroundRole)
            return m_pending ? QVariant() : QVariant(QColor(Qt::gray));
        if (role != Qt::DisplayRole)
            return {};
        // The cells of the line being entered show their own fields.
        if (pendingRow && (column == PickColumn() || column == AmountColumn()))
            return {};
        if (column == 0)
            return l.noOrd > 0 ? QVariant(QString::number(l.noOrd)) : QVariant();
        if (column == AmountColumn())
            return l.amount ? QVariant(l.amount->formatMask()) : QVariant();
        if (m_type == SalaryLineType::Deduction)
            return l.libelle;
        return BudgetLineText(l, column);
    }

protected:
    void LinesReset() override
    {
        m_pending.reset();
        m_pendingRow = -1;
    }

private:
    SalaryLineType m_type;
    std::optional<TSalaryLine> m_pending;
    int m_pendingRow = -1;
};

// ---------------------------------------------------------------------------

namespace {

const QString LockedModif = QStringLiteral("Cette dépense est engagée ou/et mandatée !\rModification impossible.");
const QString LockedDelete = QStringLiteral("Cette dépense est engagée ou/et mandatée !\rSuppression impossible.");
const QString LockedAdd = QStringLiteral("Cette dépense est engagée ou/et mandatée !\rAjout impossible.");

const std::array<QString, 3> DeleteRefusals = {
    QStringLiteral("Cette dépense est déjà Engagée !\rSuppression Impossible."),
    QStringLiteral("Cette dépense est déjà mandatée !\rSuppression Impossible."),
    QStringLiteral("Cette dépense est déjà Engagée et mandatée!\rSuppression Impossible.")};

} // namespace

TfrmDep_Sal_Mdt::TfrmDep_Sal_Mdt(QWidget* parent)
    : TExpenseEditor(parent, MenuItem::mnDepSalaire, {60, 50, 150, 100}, 3, false)
{
    m_sections[0].type = SalaryLineType::Imputation;
    m_sections[1].type = SalaryLineType::Deduction;
    BuildWindow();
}

TfrmDep_Sal_Mdt::~TfrmDep_Sal_Mdt() = default;

void TfrmDep_Sal_Mdt::BuildWindow()
{
    setObjectName(QStringLiteral("frmDep_Sal_Mdt"));
    setWindowTitle(QStringLiteral("Dépenses des salaires à mandater"));
    setModal(true);

    // Header commands: in browse mode only while no line is being entered.
    auto browsing = [this] { return Mode() == emBrowse && !AnyLineEditing(); };
    mnAdd = AddCommand("mnAdd", QStringLiteral("Nouvelle dépense"), [this, browsing] { return browsing() && WriteRight(); },
                       [this] { btnAddClick(); });
    mnModif = AddCommand("mnModif", QStringLiteral("Modifier la dépense"),
                         [this, browsing] { return browsing() && HasRows() && WriteRight(); },
                         [this] { btnModifClick(); });
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer la dépense"),
                          [this, browsing] { return browsing() && HasRows() && WriteRight(); },
                          [this] { btnDeleteClick(); });
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer"), When::Editing, [this] { btnPostClick(); });
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler les mdifications"), When::Editing,
                          [this] { CancelEntry(); });
    // The payment order and the commitment take the expense through their own windows.
    mnMandater = AddCommand("mnMandater", QStringLiteral("Mandater la dépense"), [] { return false; }, [] {});
    mnEngager = AddCommand("mnEngager", QStringLiteral("Engager la dépense"), [] { return false; }, [] {});
    mnQuitter = AddCommand("mnQuitter", QStringLiteral("Quitter"), When::Always, [this] { close(); });

    QFrame* pnlButton = BuildToolBar({mnAdd, mnModif, mnDelete, mnPost, mnCancel, mnQuitter});

    // Header entry panel.
    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 8, 6);
    QWidget* panel = pnlMain;
    edDFact = MakeEdit(panel, "edDFact", 10);
    edDFact->setFixedWidth(90);
    btnGetDate = MakePickButton(panel, "btnGetDate", QStringLiteral("Calendrier"));
    grid->addWidget(MakeCaption(panel, QStringLiteral("Date : ")), 0, 0);
    grid->addLayout(Row({edDFact, btnGetDate}, true), 0, 1);
    m_ben.AddTo(grid, 1, panel, QStringLiteral("Organisme: "));
    edBen = m_ben.edit;
    edBen->setEnabled(false);
    btnGetBen = m_ben.button;
    lBen = m_ben.name;
    connect(btnGetBen, &QToolButton::clicked, this, Guarded([this] { btnGetBenClick(); }));
    edObjet = MakeEdit(panel, "edObjet", 150);
    grid->addWidget(MakeCaption(panel, QStringLiteral("Objet : ")), 2, 0);
    grid->addWidget(edObjet, 2, 1);
    grid->setColumnStretch(1, 1);

    QHBoxLayout* infoRow = nullptr;
    QWidget* pnlInfo = BuildDocumentNumbers(&lNoMdt, QStringLiteral("MDT: "), &lNoEng, QStringLiteral("FE : "), &infoRow);

    // Popup menu (also the window's context menu): header, lines, documents.
    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    PopMenu->addActions({mnAdd, mnModif, mnDelete});
    PopMenu->addSeparator();
    PopMenu->addActions({mnPost, mnCancel});
    PopMenu->addSeparator();
    QMenu* imputMenu = PopMenu->addMenu(QStringLiteral("Imputations ..."));
    QMenu* retMenu = PopMenu->addMenu(QStringLiteral("Retenues ..."));
    PopMenu->addSeparator();
    PopMenu->addActions({mnMandater, mnEngager});
    PopMenu->addSeparator();
    PopMenu->addAction(mnQuitter);

    QWidget* imputations = BuildSection(m_sections[0], QStringLiteral("Imputations"), "grdImput",
                                        {"btnAddImput", "btnModifImput", "btnDelImput", "btnPostImput", "btnCancelImput"},
                                        {&btnAddImput, &btnModifImput, &btnDelImput, &btnPostImput, &btnCancelImput},
                                        imputMenu);
    QWidget* deductions = BuildSection(m_sections[1], QStringLiteral("Retenues"), "grdRet",
                                       {"btnAddRet", "btnModifRet", "btnDelRet", "btnPostRet", "btnCancelRet"},
                                       {&btnAddRet, &btnModifRet, &btnDelRet, &btnPostRet, &btnCancelRet}, retMenu);
    grdImput = m_sections[0].grid;
    grdRet = m_sections[1].grid;
    grdImput->setColumnWidth(0, 50);
    grdImput->setColumnWidth(1, 60);
    grdImput->setColumnWidth(2, 40);
    grdImput->setColumnWidth(3, 40);
    grdImput->setColumnWidth(4, 260);
    grdRet->setColumnWidth(0, 50);
    grdRet->setColumnWidth(1, 200);

    lTotImp = MakeValueLabel(this, "lTotImp");
    lTotRet = MakeValueLabel(this, "lTotRet");
    for (QLabel* l : {lTotImp, lTotRet}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMinimumWidth(140);
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    }
    infoRow->addWidget(new QLabel(QStringLiteral("Total Brut : "), pnlInfo));
    infoRow->addWidget(lTotImp);
    infoRow->addSpacing(12);
    infoRow->addWidget(new QLabel(QStringLiteral("Total Retenues : "), pnlInfo));
    infoRow->addWidget(lTotRet);

    auto* linesRow = new QHBoxLayout;
    linesRow->setSpacing(8);
    linesRow->addWidget(imputations, 3);
    linesRow->addWidget(deductions, 2);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(6);
    main->addWidget(pnlButton);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->setSpacing(6);
    body->addWidget(pnlMain);
    body->addLayout(linesRow, 1);
    body->addWidget(pnlInfo);
    main->addLayout(body, 1);
    main->addWidget(stBar);
    stBar->SetPanel(1, FiscalYear);

    AttachPopupMenu(PopMenu, btnMenu);
    Follow(btnGetDate, When::Editing);
    Follow(btnGetBen, When::Editing);
    AttachDateField(edDFact, btnGetDate,
                    TDateFieldRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Calendar});
    SetEntryPanel(pnlMain);
    SetNavigator(MyNavigator);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowExpense(); }));

    resize(980, 560);
    SetMode(emBrowse);
}

QWidget* TfrmDep_Sal_Mdt::BuildSection(Section& s, const QString& caption, const char* gridName,
                                       const std::array<const char*, 5>& buttonNames,
                                       const std::array<QToolButton**, 5>& buttons, QMenu* menu)
{
    const SalaryLineType type = s.type;
    const bool imputation = type == SalaryLineType::Imputation;
    auto lineIdle = [this, type] { return ExpenseShown() && !LineEditing(type); };
    s.add = AddCommand("", imputation ? QStringLiteral("Ajouter une imputation") : QStringLiteral("Ajouter une retenue"),
                       lineIdle, [this, type] { AddLine(type); });
    s.modif = AddCommand("", imputation ? QStringLiteral("Modifier l'imputation") : QStringLiteral("Modifier la retenue"),
                         [this, lineIdle, type] { return lineIdle() && !Lines(type).isEmpty(); },
                         [this, type] { ModifLine(type); });
    s.del = AddCommand("", imputation ? QStringLiteral("Supprimer l'imputation") : QStringLiteral("Supprimer la retenue"),
                       [this, lineIdle, type] { return lineIdle() && !Lines(type).isEmpty(); },
                       [this, type] { DeleteLine(type); });
    s.post = AddCommand("", QStringLiteral("Enregistrer"), [this, type] { return LineEditing(type); },
                        [this, type] { PostLine(type); });
    s.cancel = AddCommand("", QStringLiteral("Annuler"), [this, type] { return LineEditing(type); },
                          [this, type] { CancelLine(type); });
    menu->addActions({s.add, s.modif, s.del, s.post, s.cancel});

    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* title = new QLabel(caption, box);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    bar->addWidget(title);
    bar->addStretch(1);
    const std::array<QAction*, 5> commands = {s.add, s.modif, s.del, s.post, s.cancel};
    const std::array<QStyle::StandardPixmap, 5> icons = {QStyle::SP_FileIcon, QStyle::SP_FileDialogDetailedView,
                                                         QStyle::SP_TrashIcon, QStyle::SP_DialogSaveButton,
                                                         QStyle::SP_DialogCancelButton};
    for (size_t i = 0; i < commands.size(); ++i) {
        QToolButton* b = MakeIconButton(box, buttonNames[i], commands[i]->text(), icons[i]);
        BindButton(b, commands[i]);
        bar->addWidget(b);
        *buttons[i] = b;
    }
    layout->addLayout(bar);

    s.grid = new QTableView(box);
    s.grid->setObjectName(QString::fromLatin1(gridName));
    s.model = new TSalaryLinesModel(type, s.grid);
    s.grid->setModel(s.model);
    s.grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    s.grid->setSelectionMode(QAbstractItemView::SingleSelection);
    s.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    s.grid->verticalHeader()->setDefaultSectionSize(24);
    s.grid->verticalHeader()->hide();
    // The picked line's title or deduction's label takes the spare width.
    s.grid->horizontalHeader()->setSectionResizeMode(s.model->PickColumn(), QHeaderView::Stretch);
    connect(s.grid, &QTableView::doubleClicked, this, Guarded([this, type] {
        if (!LineEditing(type))
            ModifLine(type);
    }));
    layout->addWidget(s.grid, 1);
    return box;
}

// --- state --------------------------------------------------------------------------

bool TfrmDep_Sal_Mdt::ExpenseShown() const
{
    return Mode() == emBrowse && HasRows() && IdDepense > 0;
}

bool TfrmDep_Sal_Mdt::LineEditing(SalaryLineType type) const
{
    return SectionOf(type).pending.has_value();
}

bool TfrmDep_Sal_Mdt::AnyLineEditing() const
{
    return LineEditing(SalaryLineType::Imputation) || LineEditing(SalaryLineType::Deduction);
}

TNumEdit* TfrmDep_Sal_Mdt::LineAmountEdit(SalaryLineType type) const
{
    return SectionOf(type).amountEdit;
}

QToolButton* TfrmDep_Sal_Mdt::LinePickButton(SalaryLineType type) const
{
    return SectionOf(type).pickButton;
}

const TSalaryLines& TfrmDep_Sal_Mdt::Lines(SalaryLineType type) const
{
    return SectionOf(type).model->Lines();
}

void TfrmDep_Sal_Mdt::SelectLine(SalaryLineType type, int row)
{
    const Section& s = SectionOf(type);
    s.grid->setCurrentIndex(s.model->index(row, 0));
}

void TfrmDep_Sal_Mdt::ModeChanged()
{
    UpdateLineButtons();
}

void TfrmDep_Sal_Mdt::UpdateLineButtons()
{
    UpdateCommands();
    // Moving to another expense would drop the line being entered.
    MyNavigator->setEnabled(Mode() == emBrowse && !AnyLineEditing());
    // While a line is being entered its grid edits in place and shows its text
    // in the window-text colour; the selection turns white on black while an
    // imputation is entered.
    const bool imputing = LineEditing(SalaryLineType::Imputation);
    for (Section& s : m_sections) {
        QPalette p = s.grid->palette();
        p.setColor(QPalette::Highlight, imputing ? QColor(Qt::black) : palette().color(QPalette::Highlight));
        p.setColor(QPalette::HighlightedText, Qt::white);
        s.grid->setPalette(p);
        s.grid->setSelectionBehavior(s.pending ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    }
}

// --- showing --------------------------------------------------------------------------

void TfrmDep_Sal_Mdt::FormShow()
{
    OpenRows(ExpenseKind::SalaryToPay, MyNavigator);
    ShowExpense();
}

void TfrmDep_Sal_Mdt::FormClose()
{
    CloseRows();
}

void TfrmDep_Sal_Mdt::ShowExpense()
{
    IdDepense = -1;
    edDFact->clear();
    edObjet->clear();
    m_ben.Clear();
    if (const std::optional<TExpense> e = CurrentExpense()) {
        IdDepense = int(e->id);
        edDFact->setText(DateText(e->date));
        m_ben.Show(e->idBen, Lookups().BenName(e->idBen));
        edObjet->setText(e->objet);
    }
    ShowDocumentNumbers(IdDepense, lNoMdt, lNoEng);
    ShowLines();
    SetMode(emBrowse);
    MyNavigator->UpdateButtons();
}

void TfrmDep_Sal_Mdt::ShowLines()
{
    for (Section& s : m_sections) {
        s.pending.reset();
        s.model->SetLines(IdDepense > 0 ? m_expenses.SalaryLines(IdDepense, s.type) : TSalaryLines());
        for (const TSalaryLine& l : s.model->Lines())
            if (l.amount)
                FitAmountColumn(s.grid, s.model->AmountColumn(), *l.amount, *l.amount);
        if (!s.model->Lines().isEmpty())
            s.grid->setCurrentIndex(s.model->index(0, 0));
    }
    ShowSalaryTotals();
    UpdateLineButtons();
}

void TfrmDep_Sal_Mdt::ShowSalaryTotals()
{
    m_totals = IdDepense > 0 ? m_expenses.SalaryTotals(IdDepense) : TSalaryTotals();
    lTotImp->setText(m_totals.gross.formatMoney());
    lTotRet->setText(m_totals.deductions.formatMoney());
}

// --- header operations --------------------------------------------------------------------

void TfrmDep_Sal_Mdt::btnAddClick()
{
    RequireWriteRight();
    IdDepense = -1;
    for (Section& s : m_sections)
        s.model->SetLines({});
    m_totals = TSalaryTotals();
    lTotImp->setText(m_totals.gross.formatMoney());
    lTotRet->setText(m_totals.deductions.formatMoney());
    lNoEng->clear();
    lNoMdt->clear();
    edDFact->clear();
    edObjet->clear();
    m_ben.Clear();
    SetMode(emInsert);
    edDFact->setFocus();
}

void TfrmDep_Sal_Mdt::btnModifClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    // The header may be changed whatever the expense's state.
    SetMode(emEdit);
    edObjet->setFocus();
}

void TfrmDep_Sal_Mdt::btnCancelClick()
{
    ShowExpense();
}

void TfrmDep_Sal_Mdt::btnDeleteClick()
{
    RequireWriteRight();
    if (!HasRows() || IdDepense <= 0)
        return;
    // Its lines go with it, in the same transaction.
    if (!DeleteExpenseAsked(IdDepense, DeleteRefusals,
                            QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?")))
        return;
    RefreshRows();
    ShowExpense();
}

void TfrmDep_Sal_Mdt::btnPostClick()
{
    RequireWriteRight();
    if (Mode() == emBrowse)
        return;
    QDate date;
    if (const TVerdict v = expense::CheckDate(
            edDFact->text(), QStringLiteral("La Date de la dépense est manquante !"),
            QStringLiteral("La Date de la dépense est incorrecte !"),
            QStringLiteral("La date de la dépense ne correspond pas à l'exercice en cours !"),
            expense::OtherYear::Refuse, FiscalYear.trimmed().toInt(), [](const QString&) { return false; }, 0, date))
        Refuse(*v, edDFact);
    if (m_ben.Id() < 0)
        Refuse(QStringLiteral("Le Bénéficiaire est manquant !"), btnGetBen);

    TExpense e;
    e.kind = ExpenseKind::SalaryToPay;
    e.id = IdDepense;
    e.date = date;
    e.idBen = m_ben.Id();
    e.objet = edObjet->text().trimmed();
    e.rembours = PaymentType::Payment;
    e.amount = Currency();   // a new expense has no line yet
    WriteExpense(e);
    ShowExpense();
}

void TfrmDep_Sal_Mdt::btnGetBenClick()
{
    if (!btnGetBen->isEnabled())
        return;
    if (const auto picked = PickBeneficiary(BeneficiaryType::Other))
        m_ben.Show(picked->first, picked->second);
    edObjet->setFocus();
}

// --- line operations ------------------------------------------------------------------------

void TfrmDep_Sal_Mdt::RefuseLockedLines(const QString& refusal)
{
    // A committed or mandated expense keeps its lines: its sheet and its order
    // hold the amount it had.
    if (!expense::EditRights(ExpenseKind::SalaryToPay, false, DM->Queries().GetExpenseState(IdDepense), false).lines) {
        ShowInfo(refusal);
        Abort();
    }
}

void TfrmDep_Sal_Mdt::LockShownExpense()
{
    // No document can take the expense, and nobody delete it, until the
    // change of its lines ends.
    if (!m_expenses.LockExpense(IdDepense)) {
        ShowInfo(QStringLiteral("Cette dépense a été supprimée par un autre utilisateur !"));
        Abort();
    }
}

void TfrmDep_Sal_Mdt::AddLine(SalaryLineType type)
{
    RequireWriteRight();
    if (!ExpenseShown() || LineEditing(type))
        return;
    RefuseLockedLines(LockedAdd);
    Section& s = SectionOf(type);
    TSalaryLine line;
    line.idDepense = IdDepense;
    line.type = type;
    s.pending = line;
    ShowPending(s, s.model->PickColumn());
    PickLineDetail(type);
}

void TfrmDep_Sal_Mdt::ModifLine(SalaryLineType type)
{
    RequireWriteRight();
    Section& s = SectionOf(type);
    const int row = s.grid->currentIndex().row();
    if (!ExpenseShown() || LineEditing(type) || row < 0 || row >= s.model->Lines().size())
        return;
    RefuseLockedLines(LockedModif);
    s.pending = s.model->Lines()[row];
    ShowPending(s, s.model->AmountColumn());
}

void TfrmDep_Sal_Mdt::ShowPending(Section& s, int focusColumn)
{
    const int row = s.pending && s.pending->id > 0 ? s.grid->currentIndex().row() : -1;
    s.model->SetPending(s.pending, row);
    const int shown = s.model->PendingRow();
    UpdateLineButtons();

    // The amount is typed in its cell; the budget line or deduction is picked
    // by the "..." of its cell.
    auto* amount = new TNumEdit(s.grid);
    const bool imputation = s.type == SalaryLineType::Imputation;
    amount->setObjectName(imputation ? QStringLiteral("edLineImput") : QStringLiteral("edLineRet"));
    amount->SetDecimals(2);
    amount->SetNumberFormat(TNumEdit::Thousands);
    amount->setAlignment(Qt::AlignRight);
    amount->setText(s.pending->amount ? amount->FormatAmount(*s.pending->amount) : QString());
    s.grid->setIndexWidget(s.model->index(shown, s.model->AmountColumn()), amount);
    s.amountEdit = amount;

    auto* pickCell = new QWidget(s.grid);
    auto* cell = new QHBoxLayout(pickCell);
    cell->setContentsMargins(2, 0, 0, 0);
    cell->setSpacing(2);
    pickCell->setAutoFillBackground(true);
    const TSalaryLine& entry = *s.pending;
    auto* label = new QLabel(imputation ? entry.intitule : entry.libelle, pickCell);
    auto* pick = MakePickButton(pickCell, imputation ? "btnPickImput" : "btnPickRet",
                                imputation ? QStringLiteral("Imputation") : QStringLiteral("Retenue"));
    cell->addWidget(label, 1);
    cell->addWidget(pick);
    const SalaryLineType type = s.type;
    connect(pick, &QToolButton::clicked, this, Guarded([this, type] { PickLineDetail(type); }));
    s.grid->setIndexWidget(s.model->index(shown, s.model->PickColumn()), pickCell);
    s.pickButton = pick;

    s.grid->setCurrentIndex(s.model->index(shown, focusColumn));
    s.grid->scrollTo(s.model->index(shown, 0));
    if (focusColumn == s.model->AmountColumn()) {
        amount->setFocus();
        amount->selectAll();
    } else {
        pick->setFocus();
    }
}

void TfrmDep_Sal_Mdt::PickLineDetail(SalaryLineType type)
{
    Section& s = SectionOf(type);
    if (!s.pending)
        return;
    TSalaryLine picked = *s.pending;
    if (type == SalaryLineType::Imputation) {
        const std::optional<TPickedLine> line = PickBudgetLine();
        if (!line)
            return;
        picked.idDetail = line->idFnm;
        picked.chap = line->chap;
        picked.art = line->art;
        picked.par = line->par;
        picked.intitule = line->intitule;
    } else {
        TfrmListTable picker(this);
        picker.CodeTable = QStringLiteral("FRET");
        picker.KeyField = QStringLiteral("ID_RETENUE");
        picker.FormCaption = QStringLiteral("Retenues");
        picker.SelectMode = true;
        if (picker.exec() != QDialog::Accepted)
            return;
        picked.idDetail = picker.IdTable;
        picked.libelle = picker.Libelle;
    }
    if (m_expenses.SalaryDetailTaken(IdDepense, type, picked.idDetail, picked.id)) {
        ShowInfo(type == SalaryLineType::Imputation ? QStringLiteral("Cette imputation est déjà saisie !")
                                                    : QStringLiteral("Cette Retenue est déjà saisie !"));
        if (s.pickButton)
            s.pickButton->setFocus();
        return;
    }
    // The amount typed so far stays.
    if (s.amountEdit)
        picked.amount = s.amountEdit->text().trimmed().isEmpty()
            ? std::nullopt
            : std::optional<Currency>(s.amountEdit->TryAsCurrency().value_or(Currency()));
    if (picked.id <= 0)
        picked.noOrd = RunOrRefuse([&] { return m_expenses.NextSalaryOrder(IdDepense, type); });
    s.pending = picked;
    ShowPending(s, s.model->AmountColumn());
}

void TfrmDep_Sal_Mdt::PostLine(SalaryLineType type)
{
    RequireWriteRight();
    Section& s = SectionOf(type);
    if (!s.pending)
        return;
    TSalaryLine line = *s.pending;
    if (line.idDetail <= 0) {
        ShowInfo(type == SalaryLineType::Imputation ? QStringLiteral("L'Imputation est manquante !")
                                                    : QStringLiteral("La Retenue est manquante !"));
        if (s.pickButton)
            s.pickButton->setFocus();
        Abort();
    }
    if (s.amountEdit) {
        const QString text = s.amountEdit->text().trimmed();
        const std::optional<Currency> typed = s.amountEdit->TryAsCurrency();
        if (!text.isEmpty() && (!typed || typed->abs() > MaxAmount)) {
            ShowInfo(QStringLiteral("Le Montant est incorrect !"));
            s.amountEdit->setFocus();
            Abort();
        }
        // A line left without an amount is stored without one; the totals leave it out.
        line.amount = text.isEmpty() ? std::nullopt : typed;
    }
    {
        TWaitCursor wait;
        TWriteGuard write;
        // Read again inside the transaction, the expense locked: a document
        // may have taken the expense, another line the same detail.
        LockShownExpense();
        RefuseLockedLines(line.id > 0 ? LockedModif : LockedAdd);
        if (m_expenses.SalaryDetailTaken(IdDepense, type, line.idDetail, line.id)) {
            ShowInfo(type == SalaryLineType::Imputation ? QStringLiteral("Cette imputation est déjà saisie !")
                                                        : QStringLiteral("Cette Retenue est déjà saisie !"));
            Abort();
        }
        if (line.id > 0)
            m_expenses.UpdateSalaryLine(line);
        else
            line.id = RunOrRefuse([&] { return m_expenses.AddSalaryLine(line); });
        write.Commit();
    }
    // The line changed the expense's amount.
    ReadShownExpenseAgain();
    EndLineEntry(s);
    for (int r = 0; r < s.model->Lines().size(); ++r)
        if (s.model->Lines()[r].id == line.id)
            SelectLine(type, r);
}

void TfrmDep_Sal_Mdt::CancelLine(SalaryLineType type)
{
    Section& s = SectionOf(type);
    if (!s.pending)
        return;
    if (type == SalaryLineType::Imputation && !Confirm(QStringLiteral("Annuler les modifications ?")))
        return;
    EndLineEntry(s);
}

void TfrmDep_Sal_Mdt::EndLineEntry(Section& s)
{
    const int row = s.grid->currentIndex().row();
    s.pending.reset();
    s.model->SetLines(m_expenses.SalaryLines(IdDepense, s.type));
    if (!s.model->Lines().isEmpty())
        s.grid->setCurrentIndex(s.model->index(qBound(0, row, int(s.model->Lines().size()) - 1), 0));
    ShowSalaryTotals();
    UpdateLineButtons();
    s.grid->setFocus();
}

void TfrmDep_Sal_Mdt::DeleteLine(SalaryLineType type)
{
    RequireWriteRight();
    Section& s = SectionOf(type);
    const int row = s.grid->currentIndex().row();
    if (!ExpenseShown() || LineEditing(type) || row < 0 || row >= s.model->Lines().size())
        return;
    RefuseLockedLines(LockedDelete);
    const QString question = type == SalaryLineType::Imputation
                                 ? QStringLiteral("Etes-vous sûr de vouloir supprimer cette imputation ?")
                                 : QStringLiteral("Etes-vous sûr de vouloir supprimer cette Retenue ?");
    if (ShowStandardDialog(question, StdDialogType::Confirmation, MsgButton::Yes | MsgButton::No) != mrYes)
        return;
    const qint64 idLine = s.model->Lines()[row].id;
    {
        TWaitCursor wait;
        TWriteGuard write;
        LockShownExpense();
        RefuseLockedLines(LockedDelete);
        m_expenses.DeleteSalaryLine(IdDepense, idLine);
        write.Commit();
    }
    ReadShownExpenseAgain();
    EndLineEntry(s);
}

// --- window events -------------------------------------------------------------------------------

void TfrmDep_Sal_Mdt::done(int result)
{
    // A line being entered is not dropped without asking.
    if (AnyLineEditing() && Mode() == emBrowse) {
        switch (ShowMessageBox(UnsavedQuestion, mtWarning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel)) {
        case mrYes:
            for (SalaryLineType type : {SalaryLineType::Imputation, SalaryLineType::Deduction})
                if (LineEditing(type))
                    RunGuarded([this, type] { PostLine(type); });
            return;
        case mrNo:
            for (Section& s : m_sections)
                s.pending.reset();
            break;
        default:
            return;
        }
    }
    TExpenseEditor::done(result);
}

void TfrmDep_Sal_Mdt::keyPressEvent(QKeyEvent* event)
{
    // Esc drops the line being entered (the imputation after its question)
    // before it closes the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && Mode() == emBrowse
        && AnyLineEditing()) {
        event->accept();
        const SalaryLineType type =
            LineEditing(SalaryLineType::Imputation) ? SalaryLineType::Imputation : SalaryLineType::Deduction;
        RunGuarded([this, type] { CancelLine(type); });
        return;
    }
    TExpenseEditor::keyPressEvent(event);
}
