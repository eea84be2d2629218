#include "budget/UEngagement.h"

#include "budget/CommitmentListing.h"
#include "budget/SheetRules.h"
#include "budget/SheetWindowParts.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/UAddDep.h"
#include "reports/commitments/URptFEDep.h"
#include "reports/commitments/URptFEDep_PreImp.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>

namespace {

const QColor kCancelledColor(253, 245, 200);  // $C8F5FD

} // namespace

TfrmEngagement::TfrmEngagement(QWidget* parent)
    : TSheetWindow("frmEngagement", QStringLiteral("Engagements - Dépenses"), MenuItem::mnEng_Dep, parent)
{
    BuildWindow();
}

TfrmEngagement::~TfrmEngagement() = default;

void TfrmEngagement::BuildWindow()
{
    // Commands, each enabled by the button table of a sheet.
    const auto browsingSheet = [this] { return Mode() == emBrowse && HasRows() && WriteRight(); };
    AddDocumentCommands({.add = QStringLiteral("Nouvel engagement"),
                         .modif = QStringLiteral("Modifier l'engagement"),
                         .del = QStringLiteral("Supprimer l'engagement"),
                         .find = QStringLiteral("Chercher un Engagement"),
                         .modifWhen = [=, this] { return browsingSheet() && !Cancelled(); },
                         // Only the last sheet of a line goes, never one with a visa or cancelled.
                         .deleteWhen =
                             [=, this] { return browsingSheet() && !HasVisa() && m_isLast && !Cancelled(); },
                         .findWhen = [this] { return !m_keys->isEmpty(); }});
    // A sheet with a visa keeps its lines; a cancelled one too, so that its
    // cancellation gives back what its lines hold.
    mnAddDetail = AddCommand("mnAddDetail", QStringLiteral("Ajouter un détail"),
                             [=, this] { return browsingSheet() && !HasVisa() && !Cancelled(); },
                             [this] { btnModifDetClick(); });
    mnDelDet = AddCommand("mnDelDet", QStringLiteral("Retirer le détail"),
                          [=, this] { return browsingSheet() && !m_lines.isEmpty() && !HasVisa() && !Cancelled(); },
                          [this] { btnDelDetClick(); });
    // The commitment sheet on white paper or on stationery, from the menu's
    // "Imprimer ..." and from the print button's own menu.
    const auto listed = [this] { return !m_keys->isEmpty(); };
    mnPrintFE_FB = AddCommand("mnPrintFE_FB", QStringLiteral("Fiche d'engagement - Papier blanc"), listed,
                              [this] { mnPrintFE_FBClick(); });
    mnPrintFE_PreImp = AddCommand("mnPrintFE_PreImp", QStringLiteral("Fiche d'engagement - Préimprimé"), listed,
                                  [this] { mnPrintFE_PreImpClick(); });
    QAction* printWhite = AddCommand("mnPrintFE_FB2", QStringLiteral("Fiche d'engagement - Feuille blanche"), listed,
                                     [this] { mnPrintFE_FBClick(); });
    QAction* printPre = AddCommand("mnPrintFE_PreImp2", QStringLiteral("Fiche d'engagement - Préimprimé"), listed,
                                   [this] { mnPrintFE_PreImpClick(); });

    // Tool bar.
    QFrame* toolBar = BuildSheetToolBar(this, {.add = mnAdd, .modif = mnModif, .post = mnPost, .cancel = mnCancel,
                                               .del = mnDelete, .find = mnFind, .close = mnClose,
                                               .addHint = QStringLiteral("Nouvel engagement"),
                                               .printHint = QStringLiteral("Imprimer")});

    // Entry panel.
    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 8, 6);
    BuildSheetHeader(this, m_header, pnlMain, grid, QStringLiteral("DEPENSE"));
    lInt = AddBudgetLineRow(pnlMain, grid);

    pnlObs = BuildObservationPanel(this, &mmObs);

    // Lines.
    QHBoxLayout* detail = nullptr;
    pnlDetail = BuildLineButtons(this, &btnModifDet, &btnDelDet, QStringLiteral("Dépenses ..."), mnAddDetail,
                                 QStringLiteral("Retirer le détail"), mnDelDet, &detail);
    lCancelled = new QLabel(pnlDetail);
    lCancelled->setObjectName(QStringLiteral("lCancelled"));
    QFont bold = lCancelled->font();
    bold.setBold(true);
    lCancelled->setFont(bold);
    detail->addWidget(lCancelled);

    m_lineModel = MakeDocumentLineGrid(this, &grdDep, false, {40, 110, 90, 300});
    grdDep->setItemDelegateForColumn(4, new TBoldColumn(grdDep));

    // Balances.
    QWidget* footer = BuildSheetFooter(this, m_balances);

    StackSheetWindow(this, {toolBar, pnlMain, pnlObs, pnlDetail}, grdDep, {footer, stBar});

    // Menus.
    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    PopMnPrint->addActions({printWhite, printPre});
    QMenu* menu = BeginSheetMenu();
    menu->addActions({mnAddDetail, mnDelDet});
    menu->addSeparator();
    menu->addAction(mnFind);
    QMenu* printMenu = menu->addMenu(QStringLiteral("Imprimer ..."));
    printMenu->setObjectName(QStringLiteral("mnPrint"));
    printMenu->addActions({mnPrintFE_FB, mnPrintFE_PreImp});
    EndPopupMenu(menu);
    connect(btnPrint, &QToolButton::clicked, this, [this] { DropMenuUnder(PopMnPrint, btnPrint); });

    BrowseSheets([this] { ShowSheet(); });
    resize(760, 560);
}

// --- state of the sheet shown ----------------------------------------------------

TShownRow TfrmEngagement::ShownRow() const
{
    return SheetShownRow(m_sheet);
}

bool TfrmEngagement::HasRows() const
{
    return m_sheet.has_value();
}

bool TfrmEngagement::Cancelled() const
{
    return m_sheet && m_sheet->Cancelled();
}

bool TfrmEngagement::HasVisa() const
{
    return m_sheet && m_sheet->HasVisa();
}

void TfrmEngagement::ModeChanged()
{
    TSheetWindow::ModeChanged();
    btnPrint->setEnabled(!m_keys->isEmpty());
}

// --- showing ---------------------------------------------------------------------------

void TfrmEngagement::FormShow()
{
    TWaitCursor wait;
    m_keys->SetKeys(m_store.UserSheetKeys(ObjetEng));
    LocateFirstSheet(m_keys, IdEng);
    ShowSheet();
}

void TfrmEngagement::ClearEntry()
{
    m_header.Clear();
    mmObs->clear();
    lInt->clear();
}

void TfrmEngagement::ShowSheet()
{
    m_idFnm = -1;
    IdEng = -1;
    m_sheet.reset();
    m_lines.clear();
    ClearEntry();
    const qint64 id = m_keys->CurrentId();
    if (id >= 0)
        m_sheet = m_store.Read(id);
    if (m_sheet) {
        IdEng = id;
        m_header.Show(*m_sheet);
        mmObs->setPlainText(m_sheet->obs);
        m_lines = m_store.Lines(id);
    }
    ShowLines();
    ShowSheetBalances();
    SetMode(emBrowse);
}

void TfrmEngagement::ShowLines()
{
    m_idFnm = -1;
    lInt->clear();
    if (!m_lines.isEmpty()) {
        const TDocumentLine& first = m_lines.first();
        m_idFnm = first.idFnm;
        lInt->setText(first.Imput() + QStringLiteral(" : ") + first.intitule);
    }
    ShowDocumentLines(m_lineModel, m_lines);
}

void TfrmEngagement::ShowSheetBalances()
{
    m_amount = LinesTotal(m_lines);
    const QString number = m_sheet ? m_sheet->number : QString();
    m_oldBalance = m_sheet ? DM->Queries().CommitmentBalanceBefore(m_idFnm, number) : Currency();
    m_isLast = m_sheet && DM->Queries().IsLastCommitmentNumber(m_idFnm, number);
    m_balances.Show(m_oldBalance, m_amount,
                    BudgetQueries::CommitmentBalanceAfter(m_oldBalance, SheetObject::Expense, m_amount));

    const QString by = m_sheet ? m_store.CancelledBy(m_sheet->id) : QString();
    lCancelled->setText(by.isEmpty() ? QString() : QStringLiteral("Annulée par : ") + by);
    QPalette p = pnlDetail->palette();
    p.setColor(QPalette::Window, by.isEmpty() ? palette().color(QPalette::Button) : kCancelledColor);
    pnlDetail->setPalette(p);
}

// --- header ----------------------------------------------------------------------------

void TfrmEngagement::btnAddClick()
{
    RequireWriteRight();
    m_sheet.reset();
    m_lines.clear();
    ShowDocumentLines(m_lineModel, m_lines);
    m_idFnm = -1;
    SetMode(emInsert);
    ClearEntry();
    lCancelled->clear();
    m_balances.ShowZero();
    edDateE->setFocus();
}

void TfrmEngagement::btnModifClick()
{
    if (!HasRows() || Cancelled())
        return;
    if (!edNoVisa->text().trimmed().isEmpty())
        ConfirmOrRefuse(QStringLiteral("Cette fiche est visée ! \rVoulez-vous, tout de même, la modifier ?"), nullptr);
    RequireWriteRight();
    SetMode(emEdit);
    edDateE->setFocus();
}

void TfrmEngagement::btnCancelClick()
{
    ShowSheet();
}

void TfrmEngagement::btnPostClick()
{
    RequireWriteRight();
    const bool inserting = Mode() == emInsert;
    TSheet entry;
    if (!inserting) {
        if (!m_sheet)
            Abort();
        entry = *m_sheet;
        // The number typed is stored as four digits, checked once padded.
        if (const TVerdict v = TakeTypedNumber(edNoFiche, [this](const QString& padded) {
                return m_store.NumberTaken(m_idFnm, padded, m_sheet->id);
            }))
            Refuse(*v, edNoFiche);
        entry.number = edNoFiche->text();
    }
    QDate date, visaDate;
    if (const TVerdict v = sheet::CheckDates(edDateE->text(), edDateVisa->text(), FiscalYear.trimmed().toInt(),
                                                   [](const QString& q) { return AskConfirmation(q); }, &date,
                                                   &visaDate))
        Refuse(*v, v->field == sheet::Date ? edDateE : edDateVisa);
    entry.date = date;
    entry.visaDate = visaDate;
    entry.visaNumber = edNoVisa->text().trimmed();
    entry.obs = mmObs->toPlainText();
    entry.objet = ObjetEng;

    qint64 id = entry.id;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // A number changed is checked again with the line locked: another
        // sheet of the line may have taken it since the check above, and none
        // can take it until this one is stored.
        if (!inserting && entry.number != m_sheet->number && !m_store.NumberFree(m_idFnm, entry.number, entry.id))
            Refuse(sheet::NumberTakenRefusal, edNoFiche);
        // A key is drawn for a new sheet only.
        if (inserting)
            id = m_store.InsertUserSheet(entry);
        else
            m_store.UpdateUserSheet(entry);
        write.Commit();
    }
    // Only the saved sheet is read again.
    m_keys->Put(id, inserting ? QString() : entry.number);
    ShowSheet();
}

// --- lines -----------------------------------------------------------------------------

void TfrmEngagement::btnModifDetClick()
{
    RequireWriteRight();
    if (!HasRows() || HasVisa() || Cancelled())
        return;
    // Disabled while the picker runs (the button follows its command).
    mnAddDetail->setEnabled(false);
    const auto restore = qScopeGuard([this] { UpdateCommands(); });
    {
        TfrmAddDep picker(this);
        picker.TableDet = QStringLiteral("DET_ENG");
        picker.IdDoc = IdEng;
        picker.TypeDep = m_lines.isEmpty() ? std::nullopt : m_lines.first().kind;
        picker.SelectMode = true;
        picker.ModeDoc = PickerMode::Commitment;
        picker.Document = std::make_unique<TSheetExpenseLines>();
        picker.exec();
    }
    RecomputeCommitment();
    RenumberLinesByName();
}

void TfrmEngagement::RecomputeCommitment()
{
    // The sheet's number, amount and budget line were stored with its lines:
    // the sheet is read again and keeps its place in the list by number.
    const qint64 id = IdEng;
    const std::optional<TSheet> stored = m_store.Read(id);
    if (!stored)
        return;
    m_keys->Put(id, stored->number);
    const QString memo = mmObs->toPlainText();
    ShowSheet();
    if (stored->number.isEmpty()) {
        // A sheet still without lines has no number yet.
        ShowInfo(QStringLiteral("Le N° de la Fiche est manquant !"));
        return;
    }
    const QString proposed = sheet::CommitmentObservation(m_lines);
    bool take = false;
    if (memo.trimmed().isEmpty())
        take = true;
    else if (memo != proposed)
        take = AskConfirmation(QStringLiteral("Voulez-vous mettre à jour l'observation ?"));
    if (!take)
        return;
    {
        TWriteGuard write;
        m_store.SetObservation(id, proposed);
        write.Commit();
    }
    ShowSheet();
}

void TfrmEngagement::RenumberLinesByName()
{
    if (!HasRows() || m_lines.isEmpty())
        return;
    {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.RenumberLinesByName(IdEng);
        write.Commit();
    }
    m_lines = m_store.Lines(IdEng);
    ShowLines();
}

void TfrmEngagement::btnDelDetClick()
{
    if (!HasRows() || m_lines.isEmpty())
        return;
    if (!edNoVisa->text().trimmed().isEmpty())
        Refuse(QStringLiteral("Fiche visée, modification impossible !"), nullptr);
    if (Cancelled())
        Refuse(QStringLiteral("Fiche annulée, modification impossible !"), nullptr);
    RequireWriteRight();
    const int row = m_lineModel->currentRow();
    if (row < 0)
        return;
    const int noLine = m_lines.at(m_lineModel->sourceRow(row)).noLine;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?"), mtWarning,
                       MsgButton::Yes | MsgButton::No)
        != mrYes)
        return;
    {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.RemoveLineAt(IdEng, noLine);
        write.Commit();
    }
    RecomputeCommitment();
    stBar->SetPanel(2, QString::number(m_lines.size()) + QStringLiteral("  Dépenses"));
}

// --- the sheet ---------------------------------------------------------------------------

void TfrmEngagement::btnDeleteClick()
{
    if (!HasRows())
        return;
    if (!edNoVisa->text().trimmed().isEmpty())
        Refuse(QStringLiteral("Fiche visée, suppression impossible !"), nullptr);
    RequireWriteRight();
    if (Cancelled() || !m_isLast)
        return;
    if (!AskSheetDeletion())
        return;
    const qint64 id = IdEng;
    TVerdict refusal;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // The sheet as it stands now, inside the deleting transaction: another
        // user may have given the line a later sheet, a visa or a cancellation.
        refusal = TCommitmentListing::DeleteRefusal(id);
        if (!refusal) {
            m_store.DeleteSheet(id);
            write.Commit();
        }
    }
    if (refusal) {
        ShowSheet();
        Refuse(*refusal, nullptr);
    }
    m_keys->Remove(id);
    ShowSheet();
}

void TfrmEngagement::btnFindClick()
{
    if (FindSheetThroughDialog(this, m_keys, [this](const QString& chap, const QString& art, const QString& par,
                                                    const QString& number) {
            return m_store.FindUserSheet(chap, art, par, number);
        }))
        ShowSheet();
}

// --- printing ------------------------------------------------------------------

void TfrmEngagement::mnPrintFE_FBClick()
{
    PreviewSheet<TfrmRptFEDep>(this, m_keys->CurrentId());
}

void TfrmEngagement::mnPrintFE_PreImpClick()
{
    PreviewSheet<TfrmRptFEDep_PreImp>(this, m_keys->CurrentId());
}

void OpenExpenseSheet(QWidget* parent, qint64 idEng)
{
    TfrmEngagement frm(parent);
    frm.ObjetEng = SheetObject::Expense;
    frm.IdEng = idEng;
    frm.exec();
}
