#include "expenditure/ExpenseEditor.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "db/Database.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/ExpenseLists.h"
#include "expenditure/ExpenseRows.h"
#include "expenditure/UDep_Sal_Eng.h"
#include "expenditure/UDep_Sal_Mdt.h"
#include "expenditure/UFact.h"
#include "expenditure/UMission.h"
#include "refdata/UListBenef.h"
#include "refdata/UListFNM.h"
#include "ui/RecordNavigator.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------
// Field groups

void TBudgetLineFields::Show(const TPickedLine& line)
{
    idFnm = line.idFnm;
    edChap->setText(line.chap);
    edArt->setText(line.art);
    edPar->setText(line.par);
    lInt->setText(line.intitule);
}

void TBudgetLineFields::AddTo(QGridLayout* grid, int row, QWidget* parent, const QString& caption)
{
    edChap = MakeEdit(parent, "edChap", 0, true);
    edChap->setFixedWidth(70);
    edArt = MakeEdit(parent, "edArt", 0, true);
    edArt->setFixedWidth(40);
    edPar = MakeEdit(parent, "edPar", 0, true);
    edPar->setFixedWidth(40);
    btnGetImp = MakePickButton(parent, "btnGetImp", QStringLiteral("Imputation (Ctrl+I)"));
    lInt = new QLabel(parent);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    grid->addWidget(MakeCaption(parent, caption), row, 0);
    grid->addLayout(TExpenseEditor::Row({edChap, edArt, edPar, btnGetImp}, true), row, 1);
    grid->addWidget(lInt, row + 1, 1);
}

qint64 TBeneficiaryField::Id() const
{
    bool ok = false;
    const qint64 id = edit->text().trimmed().toLongLong(&ok);
    return ok ? id : -1;
}

void TBeneficiaryField::Show(qint64 id, const QString& nom)
{
    edit->setText(id >= 0 ? QString::number(id) : QString());
    name->setText(nom);
}

void TBeneficiaryField::Clear()
{
    edit->clear();
    name->clear();
}

void TBeneficiaryField::AddTo(QGridLayout* grid, int row, QWidget* parent, const QString& caption)
{
    edit = MakeEdit(parent, "edBen", 0, true);
    edit->setFixedWidth(70);
    button = MakePickButton(parent, "btnGetBen", QStringLiteral("Bénéficiaire (Ctrl+F)"));
    name = new QLabel(parent);
    name->setObjectName(QStringLiteral("lBen"));
    auto* line = TExpenseEditor::Row({edit, button, name}, false);
    line->setStretchFactor(name, 1);
    grid->addWidget(MakeCaption(parent, caption), row, 0);
    grid->addLayout(line, row, 1);
}

// ---------------------------------------------------------------------------
// TExpenseEditor

TExpenseEditor::TExpenseEditor(QWidget* parent, QString writeItemName, const QList<int>& statusWidths, int modePanel,
                               bool confirmCancel)
    : TEditorWindow(Options{.writeRightItem = std::move(writeItemName),
                            .statusWidths = statusWidths,
                            .modePanel = modePanel,
                            .closeRule = CloseRule::SaveAndStay,
                            .confirmCancel = confirmCancel},
                    parent)
{
}

QHBoxLayout* TExpenseEditor::Row(std::initializer_list<QWidget*> widgets, bool stretch)
{
    auto* h = new QHBoxLayout;
    h->setSpacing(4);
    for (QWidget* w : widgets)
        h->addWidget(w);
    if (stretch)
        h->addStretch(1);
    return h;
}

// --- the browsed rows ------------------------------------------------------------

void TExpenseEditor::OpenRows(ExpenseKind kind, TRecordNavigator* navigator)
{
    m_kind = kind;
    m_rowsNavigator = navigator;
    m_lookups.Reload();
    if (!m_rows) {
        m_rows = new QueryTableModel(this);
        m_rows->setReader([this] { return m_expenses.ReadExpenses(m_kind); });
    }
    m_rows->reload();
    navigator->SetModel(m_rows);
    if (!m_rows->isEmpty()) {
        m_rows->setCurrentRow(m_rows->rowCount() - 1);
        if (IdDepense != -1)
            LocateExpense(IdDepense);
    }
}

void TExpenseEditor::CloseRows()
{
    if (m_rowsNavigator)
        m_rowsNavigator->SetModel(nullptr);
    if (m_rows)
        m_rows->clearRows();
    m_lookups.Clear();
}

bool TExpenseEditor::HasRows() const
{
    return m_rows && !m_rows->isEmpty();
}

TShownRow TExpenseEditor::ShownRow() const
{
    if (!HasRows())
        return {};
    return TExpenseStore::ShownRowOf(m_rows->current());
}

void TExpenseEditor::ShowStoredRow()
{
    RefreshRows(IdDepense);
    btnCancelClick();
}

std::optional<TExpense> TExpenseEditor::CurrentExpense() const
{
    if (!HasRows())
        return std::nullopt;
    return ExpenseOfRow(m_rows->current());
}

bool TExpenseEditor::LocateExpense(qint64 id)
{
    const int row = HasRows() ? FindExpense(*m_rows, id) : -1;
    if (row >= 0)
        m_rows->setCurrentRow(row);
    return row >= 0;
}

bool TExpenseEditor::LocateNumber(const QString& number)
{
    const int row = HasRows() ? FindExpenseNumber(*m_rows, number) : -1;
    if (row >= 0)
        m_rows->setCurrentRow(row);
    return row >= 0;
}

void TExpenseEditor::RefreshRows(qint64 id)
{
    if (!m_rows)
        return;
    const int row = m_rows->currentRow();
    m_lookups.Reload();
    m_rows->reload();
    if (!(id > 0 && LocateExpense(id)))
        m_rows->setCurrentRow(qMax(0, row));
    if (m_rowsNavigator)
        m_rowsNavigator->UpdateButtons();
}

void TExpenseEditor::TakeExpenseRow(qint64 id)
{
    if (!m_rows)
        return;
    TakeExpense(m_expenses, *m_rows, id);
    if (m_rowsNavigator)
        m_rowsNavigator->UpdateButtons();
}

void TExpenseEditor::ReadShownExpenseAgain()
{
    if (!m_rows || IdDepense <= 0)
        return;
    TakeExpense(m_expenses, *m_rows, IdDepense);
    ShownRowRewritten();
}

// --- saving ---------------------------------------------------------------------------

void TExpenseEditor::WriteExpense(TExpense& e)
{
    TWaitCursor wait;
    StoreExpense(e);
    // Only what the save changed is read again: the expense's row and the
    // labels of its line and beneficiary, not the year's expenses.
    m_lookups.Refresh(e.idFnm, e.idBen);
    TakeExpenseRow(e.id);
}

void TExpenseEditor::StoreExpense(TExpense& e)
{
    std::optional<TExpense> held;
    {
        TWriteGuard write;
        if (Mode() == emInsert)
            e.id = m_expenses.InsertExpense(e);
        else if (!(held = m_expenses.HeldChange(e)))
            m_expenses.UpdateExpense(e);
        if (!held)
            write.Commit();
    }
    if (held) {
        KeepHeldFields(*held);
        Abort();
    }
    IdDepense = int(e.id);
}

// --- deleting ------------------------------------------------------------------------

bool TExpenseEditor::DeleteExpenseAsked(qint64 id, const std::array<QString, 3>& refusals, const QString& question)
{
    return DeleteUnheldExpense(id, refusals, [&] { return Confirm(question); });
}

// --- building ---------------------------------------------------------------------------

QFrame* TExpenseEditor::BuildToolBar(const TToolBarCommands& c, QToolButton** findButton)
{
    TDocumentToolBar bar(this, "pnlButton");
    btnAdd = bar.Button("btnAdd", QStringLiteral("Nouveau"), c.add->text(), QStyle::SP_FileIcon, c.add);
    btnModif = bar.Button("btnModif", QStringLiteral("Modifier"), c.modif->text(), QStyle::SP_FileDialogDetailedView,
                          c.modif);
    btnDelete = bar.Button("btnDelete", QStringLiteral("Supprimer"), c.del->text(), QStyle::SP_TrashIcon, c.del);
    btnPost = bar.Button("btnPost", QStringLiteral("Enregistrer"), c.post->text(), QStyle::SP_DialogSaveButton,
                         c.post);
    btnCancel = bar.Button("btnCancel", QStringLiteral("Annuler"), c.cancel->text(), QStyle::SP_DialogCancelButton,
                           c.cancel);
    if (c.find) {
        QToolButton* find = bar.Button("btnFind", QStringLiteral("Chercher"), c.find->text(),
                                       QStyle::SP_FileDialogContentsView, c.find);
        if (findButton)
            *findButton = find;
    }
    MyNavigator = bar.Navigator();
    bar.Stretch();
    btnMenu = bar.Button("btnMenu", QStringLiteral("Menu"), QStringLiteral("Menu"), QStyle::SP_TitleBarUnshadeButton);
    btnClose = bar.Button("btnClose", QStringLiteral("Fermer"), c.close->text(), QStyle::SP_DialogCloseButton,
                          c.close);
    return bar.Panel();
}

void TExpenseEditor::LayOut(QWidget* toolBar, std::initializer_list<QWidget*> widgets)
{
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(6);
    main->addWidget(toolBar);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->setSpacing(6);
    for (QWidget* w : widgets)
        body->addWidget(w);
    body->addStretch(1);
    main->addLayout(body, 1);
    main->addWidget(stBar);
}

QWidget* TExpenseEditor::BuildDocumentNumbers(QLabel** lNoMdt, const QString& mdtCaption, QLabel** lNoEng,
                                              const QString& engCaption, QHBoxLayout** layout)
{
    auto* pnlInfo = new QWidget(this);
    auto* info = new QHBoxLayout(pnlInfo);
    info->setContentsMargins(4, 0, 4, 0);
    *lNoMdt = MakeValueLabel(pnlInfo, "lNoMdt");
    *lNoEng = MakeValueLabel(pnlInfo, "lNoEng");
    info->addWidget(new QLabel(mdtCaption, pnlInfo));
    info->addWidget(*lNoMdt);
    info->addSpacing(12);
    info->addWidget(new QLabel(engCaption, pnlInfo));
    info->addWidget(*lNoEng);
    info->addStretch(1);
    if (layout)
        *layout = info;
    return pnlInfo;
}

void TExpenseEditor::ShowDocumentNumbers(qint64 id, QLabel* lNoMdt, QLabel* lNoEng)
{
    lNoMdt->setText(id > 0 ? m_expenses.PaymentOrderNumberOf(id) : QString());
    lNoEng->setText(id > 0 ? m_expenses.CommitmentNumberOf(id) : QString());
}

// --- pickers ----------------------------------------------------------------------------

std::optional<TPickedLine> TExpenseEditor::PickBudgetLine()
{
    TfrmListFNM picker(this);
    picker.SelectMode = true;
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return TPickedLine{picker.IdFnm, picker.Chap, picker.Art, picker.Par, picker.Intitule};
}

std::optional<std::pair<qint64, QString>> TExpenseEditor::PickBeneficiary(std::optional<BeneficiaryType> typeBen)
{
    TfrmListBenef picker(this);
    picker.SelectMode = true;
    picker.TypeBen = typeBen;
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair{picker.IdBen, picker.NomBen};
}

// ---------------------------------------------------------------------------

void OpenExpenseEditor(QWidget* parent, ExpenseKind kind, qint64 idDepense)
{
    auto run = [idDepense](TExpenseEditor& editor) {
        editor.IdDepense = int(idDepense);
        editor.exec();
    };
    switch (kind) {
    case ExpenseKind::Invoice: { TfrmFact w(parent); run(w); break; }
    case ExpenseKind::Mission: { TfrmMission w(parent); run(w); break; }
    case ExpenseKind::SalaryToPay: { TfrmDep_Sal_Mdt w(parent); run(w); break; }
    case ExpenseKind::SalaryToCommit: { TfrmDep_Sal_Eng w(parent); run(w); break; }
    default: break;
    }
}
