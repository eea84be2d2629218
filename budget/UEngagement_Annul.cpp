#include "budget/UEngagement_Annul.h"

#include "budget/SheetRules.h"
#include "budget/SheetWindowParts.h"
#include "budget/UGet_Eng.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "documents/DocumentBrowsing.h"
#include "reports/commitments/URptFEDep.h"
#include "ui/FormKit.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>

TfrmEngagement_Annul::TfrmEngagement_Annul(QWidget* parent)
    : TSheetWindow("frmEngagement_Annul", QStringLiteral("Engagements - Economie"), MenuItem::mnEng_Eco, parent)
{
    // From now on a document holds at most 20 lines.
    MaxDocLines = 20;
    BuildWindow();
}

TfrmEngagement_Annul::~TfrmEngagement_Annul() = default;

void TfrmEngagement_Annul::BuildWindow()
{
    const auto listed = [this] { return !m_keys->isEmpty(); };
    AddDocumentCommands({.add = QStringLiteral("Nouvel engagement"),
                         .modif = QStringLiteral("Modifier l'engagement"),
                         .del = QStringLiteral("Supprimer l'engagement"),
                         .find = QStringLiteral("Chercher un Engagement"),
                         .findWhen = listed});
    // The sheet to cancel is chosen once, while the entry is open.
    mnAddDetail = AddCommand("mnAddDetail", QStringLiteral("Ajouter un détail"),
                             [this] { return Mode() != emBrowse && m_cancelledId < 0; },
                             [this] { btnModifDetClick(); });
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer la fiche d'engagement"), listed,
                         [this] { mnPrintClick(); });

    QFrame* toolBar = BuildSheetToolBar(this, {.add = mnAdd, .modif = mnModif, .post = mnPost, .cancel = mnCancel,
                                               .del = mnDelete, .find = mnFind, .print = mnPrint, .close = mnClose,
                                               .addHint = QStringLiteral("Nouvel engagement"),
                                               .printHint = QStringLiteral("Imprimer la fiche d'engagement")});

    // Entry panel: the cancellation's header, then the sheet it cancels.
    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 8, 6);
    QWidget* panel = pnlMain;
    BuildSheetHeader(this, m_header, panel, grid, QStringLiteral("ECONOMIE"));

    grpCancelled = new QGroupBox(QStringLiteral(" Engagement annulé"), panel);
    grpCancelled->setObjectName(QStringLiteral("grpCancelled"));
    auto* box = new QGridLayout(grpCancelled);
    box->setHorizontalSpacing(6);
    lNum = MakeValueLabel(grpCancelled, "lNum");
    lDate = MakeValueLabel(grpCancelled, "lDate");
    lImput = MakeValueLabel(grpCancelled, "lImput");
    lInt = new QLabel(grpCancelled);
    lInt->setObjectName(QStringLiteral("lInt"));
    lInt->setWordWrap(true);
    QFont bold = lInt->font();
    bold.setBold(true);
    lInt->setFont(bold);
    btnModifDet = MakeToolButton(grpCancelled, "btnModifDet", QStringLiteral("Choisir ..."),
                                 QStringLiteral("Choisir la fiche d'engagement à annuler"),
                                 QStyle::SP_FileDialogNewFolder);
    btnModifDet->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BindButton(btnModifDet, mnAddDetail);
    box->addWidget(MakeCaption(grpCancelled, QStringLiteral("N° : ")), 0, 0);
    box->addWidget(lNum, 0, 1);
    box->addWidget(MakeCaption(grpCancelled, QStringLiteral("Date : ")), 0, 2);
    box->addWidget(lDate, 0, 3);
    box->addWidget(btnModifDet, 0, 5, Qt::AlignRight);
    box->addWidget(MakeCaption(grpCancelled, QStringLiteral("Imput.:")), 1, 0);
    box->addWidget(lImput, 1, 1);
    box->addWidget(MakeCaption(grpCancelled, QStringLiteral("Intitule : ")), 1, 2);
    box->addWidget(lInt, 1, 3, 1, 3);
    box->setColumnStretch(4, 1);
    grid->addWidget(grpCancelled, 2, 0, 1, 5);

    pnlObs = BuildObservationPanel(this, &mmObs);
    QWidget* footer = BuildSheetFooter(this, m_balances);

    StackSheetWindow(this, {toolBar, pnlMain, footer, pnlObs}, nullptr, {stBar});

    QMenu* menu = BeginSheetMenu();
    menu->addAction(mnAddDetail);
    menu->addSeparator();
    menu->addActions({mnFind, mnPrint});
    EndPopupMenu(menu);

    BrowseSheets([this] { ShowCancellation(); });
    resize(760, 430);
}

// --- state ----------------------------------------------------------------------------

TShownRow TfrmEngagement_Annul::ShownRow() const
{
    return SheetShownRow(m_sheet);
}

bool TfrmEngagement_Annul::HasRows() const
{
    return m_sheet.has_value();
}

bool TfrmEngagement_Annul::HasVisa() const
{
    return !edNoVisa->text().trimmed().isEmpty();
}

// --- showing ---------------------------------------------------------------------------

void TfrmEngagement_Annul::FormShow()
{
    TWaitCursor wait;
    m_keys->SetKeys(m_store.CancellationKeys());
    LocateFirstSheet(m_keys, IdEng);
    ShowCancellation();
}

void TfrmEngagement_Annul::ClearEntry()
{
    m_header.Clear();
    mmObs->clear();
    for (QLabel* l : {lNum, lDate, lImput, lInt})
        l->clear();
}

void TfrmEngagement_Annul::ShowCancellation()
{
    m_sheet.reset();
    m_cancelledId = -1;
    m_idFnm = -1;
    m_amount = Currency();
    IdEng = -1;
    ClearEntry();
    const qint64 id = m_keys->CurrentId();
    if (id >= 0)
        m_sheet = m_store.Read(id);
    if (m_sheet) {
        IdEng = id;
        m_idFnm = m_sheet->idFnm;
        m_amount = m_sheet->amount;
        m_header.Show(*m_sheet);
        mmObs->setPlainText(m_sheet->obs);
        const std::optional<TSheet> cancelled =
            m_sheet->idOrigine > 0 ? m_store.Read(m_sheet->idOrigine) : std::nullopt;
        if (cancelled)
            m_cancelledId = cancelled->id;
        ShowCancelled(cancelled);
    }
    ShowBalances(m_sheet ? m_sheet->number : QString());
    SetMode(emBrowse);
}

void TfrmEngagement_Annul::ShowCancelled(const std::optional<TSheet>& cancelled)
{
    lNum->setText(cancelled ? cancelled->number : QString());
    lDate->setText(cancelled ? DateText(cancelled->date) : QString());
    const std::optional<TBudgetLineEntry> line = m_idFnm > 0 ? m_lines.Read(m_idFnm) : std::nullopt;
    lImput->setText(line ? BudgetLineLabel(line->chap, line->art, line->par) : QString());
    lInt->setText(line ? line->intitule : QString());
}

void TfrmEngagement_Annul::ShowBalances(const QString& number)
{
    m_oldBalance = m_idFnm > 0 ? DM->Queries().CommitmentBalanceBefore(m_idFnm, number) : Currency();
    // A cancellation gives its amount back to the line.
    m_balances.Show(m_oldBalance, m_amount,
                    BudgetQueries::CommitmentBalanceAfter(m_oldBalance, SheetObject::Economy, m_amount));
}

// --- the entry ---------------------------------------------------------------------------

void TfrmEngagement_Annul::btnAddClick()
{
    RequireWriteRight();
    m_sheet.reset();
    m_cancelledId = -1;
    m_idFnm = -1;
    m_amount = Currency();
    SetMode(emInsert);
    ClearEntry();
    ShowBalances(QString());
    edDateE->setFocus();
}

void TfrmEngagement_Annul::btnModifClick()
{
    if (!HasRows())
        return;
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, modification impossible !"), nullptr);
    RequireWriteRight();
    SetMode(emEdit);
    edDateE->setFocus();
}

void TfrmEngagement_Annul::btnCancelClick()
{
    ShowCancellation();
}

void TfrmEngagement_Annul::btnModifDetClick()
{
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, modification impossible !"), nullptr);
    RequireWriteRight();
    if (Mode() == emBrowse || m_cancelledId >= 0)
        return;
    qint64 chosen = -1;
    {
        TfrmGet_Eng dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.SelectedIdEng;
    }
    const std::optional<TSheet> sheet = chosen > 0 ? m_store.Read(chosen) : std::nullopt;
    if (!sheet)
        return;
    m_cancelledId = sheet->id;
    m_amount = sheet->amount;
    m_idFnm = sheet->idFnm;
    edNoFiche->setText(TSheetStore::PadNumber(QString::number(DM->Queries().NextCommitmentNumber(m_idFnm))));
    mmObs->setPlainText(QStringLiteral("DESENGAGEMENT DE LA FICHE D'ENGAGEMENT No ") + sheet->number
                        + QStringLiteral(" DU  ") + DateText(sheet->date));
    ShowCancelled(sheet);
    ShowBalances(edNoFiche->text());
    UpdateCommands();
    edDateE->setFocus();
}

void TfrmEngagement_Annul::btnPostClick()
{
    RequireWriteRight();
    if (Mode() == emBrowse)
        return;
    const bool inserting = Mode() == emInsert;
    // Without the sheet it cancels, a cancellation has no number, line or amount.
    if (m_cancelledId < 0)
        Refuse(QStringLiteral("Choisissez la fiche d'engagement à annuler !"), btnModifDet);
    TSheet entry;
    if (!inserting) {
        if (!m_sheet)
            Abort();
        entry = *m_sheet;
        if (const TVerdict v = TakeTypedNumber(edNoFiche, [this](const QString& padded) {
                return m_store.NumberTaken(m_idFnm, padded, m_sheet->id);
            }))
            Refuse(*v, edNoFiche);
    }
    // The sheet's date, then its coherence with the number, then the visa
    // date, which a cancellation does not compare with its date.
    const auto checkDates = [this](const QString& visaText, QDate* date, QDate* visaDate) {
        if (const TVerdict v = sheet::CheckDates(edDateE->text(), visaText, FiscalYear.trimmed().toInt(),
                                                       [](const QString&) { return true; }, date, visaDate))
            Refuse(*v, v->field == sheet::Date ? edDateE : edDateVisa);
    };
    QDate date, visaDate;
    checkDates(QString(), &date, &visaDate);
    const QString number = edNoFiche->text().trimmed();
    if (inserting) {
        if (const std::optional<TSheet> earlier = m_store.EarlierSheetDatedAfter(m_idFnm, number, date))
            Refuse(QStringLiteral("Incohérence entre le No de la fiche et sa Date !\r\rFiche actuelle No : ") + number
                       + QStringLiteral(", Datée du : ") + DateText(date) + QStringLiteral("\r")
                       + QStringLiteral("Fiche précédente No : ") + earlier->number + QStringLiteral(",  Datée du : ")
                       + DateText(earlier->date),
                   edNoFiche);
    }
    checkDates(edDateVisa->text(), &date, &visaDate);
    entry.number = number;
    entry.date = date;
    entry.visaNumber = edNoVisa->text().trimmed();
    entry.visaDate = visaDate;
    entry.obs = mmObs->toPlainText();
    entry.idOrigine = m_cancelledId;
    entry.idFnm = m_idFnm;
    entry.amount = m_amount;

    qint64 id = entry.id;
    bool numberTaken = false;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // The number as it stands now, the line locked: another sheet of the
        // line may have taken it since it was proposed or checked, and none
        // can take it until this one is stored.
        numberTaken = !m_store.NumberFree(m_idFnm, entry.number, inserting ? -1 : entry.id);
        if (!numberTaken) {
            // The sheet and the mark of the sheet it cancels are stored together:
            // a sheet cancelled meanwhile refuses, and nothing is written.
            const bool stored = inserting ? m_store.InsertCancellation(entry, &id)
                                          : m_store.UpdateCancellation(entry, m_sheet->idOrigine);
            if (!stored)
                Refuse(QStringLiteral("Cette fiche d'engagement est déjà annulée !"), nullptr);
            write.Commit();
        }
    }
    if (numberTaken) {
        if (!inserting)
            Refuse(sheet::NumberTakenRefusal, edNoFiche);
        // A new cancellation takes the line's next number, shown with its
        // balances before it is saved.
        edNoFiche->setText(TSheetStore::PadNumber(QString::number(DM->Queries().NextCommitmentNumber(m_idFnm))));
        ShowBalances(edNoFiche->text());
        Refuse(QStringLiteral("Le N° de Fiche ") + entry.number
                   + QStringLiteral(" existe déjà pour cette imputation !\rLa fiche prend le N° ") + edNoFiche->text()
                   + QStringLiteral("."),
               edDateE);
    }
    m_keys->Put(id, entry.number);
    ShowCancellation();
}

// --- the sheet ----------------------------------------------------------------------------

void TfrmEngagement_Annul::btnDeleteClick()
{
    if (!HasRows())
        return;
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, suppression impossible !"), nullptr);
    RequireWriteRight();
    if (!AskSheetDeletion())
        return;
    const qint64 id = IdEng;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // The visa as it stands now: another user may have given one while the
        // questions were on screen.
        const std::optional<TSheet> now = m_store.Read(id);
        if (now && !now->visaNumber.isEmpty())
            Refuse(QStringLiteral("Fiche visée, suppression impossible !"), nullptr);
        if (const std::optional<TRecommitted> again = m_store.DeleteCancellation(id, m_sheet->idOrigine))
            Refuse(QStringLiteral("La dépense N° ") + again->expenseNumber
                       + QStringLiteral(" de la fiche annulée est de nouveau engagée sur la fiche N° ")
                       + again->sheetNumber + QStringLiteral(" !\rSuppression impossible."),
                   nullptr);
        write.Commit();
    }
    m_keys->Remove(id);
    ShowCancellation();
}

void TfrmEngagement_Annul::btnFindClick()
{
    if (FindSheetThroughDialog(this, m_keys, [this](const QString& chap, const QString& art, const QString& par,
                                                    const QString& number) {
            return m_store.FindCancellation(chap, art, par, number);
        }))
        ShowCancellation();
}

void TfrmEngagement_Annul::mnPrintClick()
{
    PreviewSheet<TfrmRptFEDep>(this, m_keys->CurrentId());
}
