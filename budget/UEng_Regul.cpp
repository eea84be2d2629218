#include "budget/UEng_Regul.h"

#include "budget/SheetRules.h"
#include "budget/UAddRegul_FE.h"
#include "budget/UAddRegul_Mdt.h"
#include "budget/USelectReg.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "core/Routines.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/UMandat.h"
#include "refdata/UObs.h"
#include "reports/commitments/URptFEDep_Regul.h"
#include "reports/commitments/URptFEDep_Regul_PreImp.h"
#include "reports/commitments/URptFEEco_Art_Regul.h"
#include "reports/commitments/URptFEEco_Art_Regul_PreImp.h"
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

#include <algorithm>


namespace {

// A refusal the store found inside the operation, shown; the handler ends.
template <typename F>
void RunRefusable(F&& operation)
{
    try {
        operation();
    } catch (const TRefusalError& refused) {
        Refuse(refused.refusal(), nullptr);
    }
}

} // namespace

TfrmEng_Regul::TfrmEng_Regul(QWidget* parent)
    : TSheetWindow("frmEng_Regul", QStringLiteral("Engagements - Régularisations"), QStringLiteral("mnEng_Reg"), parent)
{
    MaxDocLines = 25;
    BuildWindow();
}

TfrmEng_Regul::~TfrmEng_Regul() = default;

void TfrmEng_Regul::BuildWindow()
{
    const auto browsingSheet = [this] { return Mode() == emBrowse && HasRows() && WriteRight(); };
    AddDocumentCommands({.add = QStringLiteral("Nouvel engagement"),
                         .modif = QStringLiteral("Modifier l'engagement"),
                         .del = QStringLiteral("Supprimer l'engagement"),
                         .find = QStringLiteral("Chercher un Engagement"),
                         .modifWhen = [=, this] { return browsingSheet() && !m_sheet->Cancelled(); },
                         .deleteWhen = [=, this] { return browsingSheet() && m_isLast && !m_sheet->Cancelled(); },
                         .findWhen = [this] { return !m_keys->isEmpty(); }});
    mnModifDet = AddCommand("mnModifDet", QStringLiteral("Modifier les détails de l'engagement"),
                            [=, this] { return browsingSheet() && CanAddLines(); }, [this] { btnModifDetClick(); });
    mnDelDet = AddCommand("mnDelDet", QStringLiteral("Retirer le détail"),
                          [=, this] { return browsingSheet() && !m_lines.isEmpty() && !HasVisa(); },
                          [this] { btnDelDetClick(); });
    mnObs = AddCommand("mnObs", QStringLiteral("Observations de services"), When::Always, [this] {
        TfrmObs f(this);
        f.exec();
    });
    const auto printable = [this] { return HasRows() && Mode() == emBrowse; };
    mnPrintFE_FB = AddCommand("mnPrintFE_FB", QStringLiteral("Fiche d'engagement - Papier blanc"), printable,
                              [this] { mnPrintFE_FBClick(); });
    mnPrintFE_PreImp = AddCommand("mnPrintFE_PreImp", QStringLiteral("Fiche d'engagement - Préimprimé"), printable,
                                  [this] { mnPrintFE_PreImpClick(); });

    QFrame* toolBar = BuildSheetToolBar(this, {.add = mnAdd, .modif = mnModif, .post = mnPost, .cancel = mnCancel,
                                               .del = mnDelete, .find = mnFind, .close = mnClose,
                                               .addHint = QStringLiteral("Nouvell fiche Régul."),
                                               .printHint = QStringLiteral("Imprimer")});

    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 8, 6);
    BuildSheetHeader(this, m_header, pnlMain, grid, QStringLiteral("R E G U L"));
    lObjet = m_header.lObjet;
    // Room for the longest title, "REGUL - ECONOMIE".
    lObjet->setMinimumWidth(lObjet->fontMetrics().horizontalAdvance(QStringLiteral("REGUL - ECONOMIE")) + 8);
    lInt = AddBudgetLineRow(pnlMain, grid);

    pnlObs = BuildObservationPanel(this, &mmObs);

    QHBoxLayout* detail = nullptr;
    QFrame* pnlDetail = BuildLineButtons(this, &btnModifDet, &btnDelDet, QStringLiteral("Détails ..."), mnModifDet,
                                         QStringLiteral("Retirer la facture"), mnDelDet, &detail);

    grdDep = new QTableView(this);
    grdDep->setObjectName(QStringLiteral("grdDep"));
    grdDep->verticalHeader()->hide();
    grdDep->verticalHeader()->setDefaultSectionSize(20);
    using Line = TRegulLine;
    m_lineModel = new TItemsModel<Line>(
        this,
        {{QStringLiteral("N°"), [](const Line& l) { return db::Value(qint64(l.noLine)); }, QueryTableModel::Integer},
         {QStringLiteral("N° Détail"), [](const Line& l) { return db::Value(l.noDet); }, QueryTableModel::Text},
         {QStringLiteral("Date "), [](const Line& l) { return db::Value(l.dateDet); }, QueryTableModel::Date,
          Qt::AlignCenter},
         {QStringLiteral("Libellé"), [](const Line& l) { return db::Value(l.libDet); }, QueryTableModel::Text},
         {QStringLiteral("Montant"), [](const Line& l) { return db::Value(l.amount); }, QueryTableModel::Money}},
        [](const Line& l) { return db::Value(qint64(l.noLine)); });
    m_lineModel->attachView(grdDep);
    int column = 0;
    for (int width : {40, 90, 90, 330})
        grdDep->setColumnWidth(column++, width);
    grdDep->horizontalHeader()->setStretchLastSection(true);
    grdDep->setItemDelegateForColumn(4, new TBoldColumn(grdDep));
    connect(grdDep, &QTableView::doubleClicked, this, Guarded([this] { OpenLine(); }));

    QWidget* footer = BuildSheetFooter(this, m_balances);

    StackSheetWindow(this, {toolBar, pnlMain, pnlObs, pnlDetail}, grdDep, {footer, stBar});

    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    PopMnPrint->addActions({mnPrintFE_FB, mnPrintFE_PreImp});
    QMenu* menu = BeginSheetMenu();
    menu->addActions({mnModifDet, mnDelDet});
    menu->addSeparator();
    menu->addActions({mnFind, mnObs});
    QMenu* printMenu = menu->addMenu(QStringLiteral("Imprimer ..."));
    printMenu->setObjectName(QStringLiteral("mnPrint"));
    printMenu->addActions({mnPrintFE_FB, mnPrintFE_PreImp});
    EndPopupMenu(menu);
    connect(btnPrint, &QToolButton::clicked, this, [this] { DropMenuUnder(PopMnPrint, btnPrint); });

    BrowseSheets([this] { ShowRegulSheet(); });
    resize(760, 560);
}

// --- state of the sheet shown ----------------------------------------------------

TShownRow TfrmEng_Regul::ShownRow() const
{
    if (!m_sheet)
        return {};
    return TShownRow{QStringLiteral("ENT_ENG_REG"), QStringLiteral("ID_ENG"), m_sheet->id};
}

bool TfrmEng_Regul::HasRows() const
{
    return m_sheet.has_value();
}

bool TfrmEng_Regul::HasVisa() const
{
    return m_sheet && m_sheet->HasVisa();
}

bool TfrmEng_Regul::CanAddLines() const
{
    if (!m_sheet || m_sheet->HasVisa())
        return false;
    // A copied sheet holds the one line of the sheet it copies.
    const bool copied = m_sheet->kind && *m_sheet->kind != SheetOrigin::PaymentOrders;
    return !(copied && !m_lines.isEmpty());
}

void TfrmEng_Regul::ModeChanged()
{
    TSheetWindow::ModeChanged();
    btnPrint->setEnabled(HasRows() && Mode() == emBrowse);
}

// --- showing ---------------------------------------------------------------------------

void TfrmEng_Regul::FormShow()
{
    TWaitCursor wait;
    m_keys->SetKeys(m_store.Keys());
    LocateFirstSheet(m_keys, IdEng);
    ShowRegulSheet();
}

void TfrmEng_Regul::ClearEntry()
{
    m_header.Clear();
    mmObs->clear();
    lInt->clear();
    lObjet->setText(QStringLiteral("R E G U L"));
}

void TfrmEng_Regul::ShowRegulSheet()
{
    IdEng = -1;
    m_sheet.reset();
    m_lines.clear();
    ClearEntry();
    const qint64 id = m_keys->CurrentId();
    if (id >= 0)
        m_sheet = m_store.Read(id);
    if (m_sheet) {
        IdEng = id;
        edNoFiche->setText(m_sheet->number);
        edDateE->setText(DateText(m_sheet->date));
        edNoVisa->setText(m_sheet->visaNumber);
        edDateVisa->setText(DateText(m_sheet->visaDate));
        mmObs->setPlainText(m_sheet->obs);
        lInt->setText(m_sheet->LineText());
        lObjet->setText(m_sheet->IsExpense() ? QStringLiteral("REGUL - DEPENSE") : QStringLiteral("REGUL - ECONOMIE"));
        m_lines = m_store.Lines(id);
    }
    ShowLines();
    ShowBalance();
    SetMode(emBrowse);
}

void TfrmEng_Regul::ShowLines()
{
    m_lineModel->setItems(m_lines);
}

void TfrmEng_Regul::ShowBalance()
{
    if (!m_sheet) {
        m_oldBalance = m_newBalance = Currency();
        m_isLast = false;
        m_balances.ShowZero();
        return;
    }
    // The header's amount is the sum of its lines.
    const Currency amount = m_sheet->amount;
    m_oldBalance = DM->Queries().RegularisationBalanceBefore(m_sheet->idFnm, m_sheet->number);
    m_newBalance = m_sheet->IsExpense() ? m_oldBalance - amount.abs() : m_oldBalance + amount;
    m_isLast = m_store.IsLastNumber(m_sheet->idFnm, m_sheet->number);
    m_balances.Show(m_oldBalance, amount, m_newBalance);
}

void TfrmEng_Regul::PutCurrent()
{
    if (const std::optional<TRegulSheet> s = m_store.Read(IdEng))
        m_keys->Put(s->id, TRegulStore::BrowseKey(s->idFnm, s->number));
}

// --- header ----------------------------------------------------------------------------

void TfrmEng_Regul::btnAddClick()
{
    RequireWriteRight();
    m_sheet.reset();
    m_lines.clear();
    ShowLines();
    SetMode(emInsert);
    ClearEntry();
    m_balances.ShowZero();
    edDateE->setFocus();
}

void TfrmEng_Regul::btnModifClick()
{
    if (!HasRows())
        return;
    if (!edNoVisa->text().trimmed().isEmpty())
        ConfirmOrRefuse(QStringLiteral("Cette fiche est visée ! \rVoulez-vous, tout de même, la modifier ?"), nullptr);
    RequireWriteRight();
    SetMode(emEdit);
    edDateE->setFocus();
}

void TfrmEng_Regul::btnCancelClick()
{
    ShowRegulSheet();
}

void TfrmEng_Regul::btnPostClick()
{
    RequireWriteRight();
    const bool inserting = Mode() == emInsert;
    TRegulSheet entry;
    if (!inserting) {
        if (!m_sheet)
            Abort();
        entry = *m_sheet;
        // The number typed is stored as four digits, checked once padded and
        // compared as a number with the line's others.
        if (const TVerdict v = TakeTypedNumber(edNoFiche, [this](const QString& padded) {
                return m_store.NumberTaken(m_sheet->idFnm, padded, m_sheet->id);
            }))
            Refuse(*v, edNoFiche);
        entry.number = edNoFiche->text();
    }
    // A regularisation sheet records a visa given after the fact: a visa
    // date later than the sheet's own is taken without a question.
    QDate date, visaDate;
    if (const TVerdict v = sheet::CheckDates(edDateE->text(), edDateVisa->text(), FiscalYear.trimmed().toInt(),
                                             TAsk(), &date, &visaDate))
        Refuse(*v, v->field == sheet::Date ? edDateE : edDateVisa);
    entry.date = date;
    entry.visaDate = visaDate;
    entry.visaNumber = edNoVisa->text().trimmed();
    entry.obs = mmObs->toPlainText();

    qint64 id = entry.id;
    {
        TWaitCursor wait;
        // The visa reaches the ordinary sheets of the orders' expenses in the
        // same transaction as the header (TRegulStore::Update).
        RunRefusable([&] {
            TWriteGuard write;
            if (inserting)
                id = m_store.Insert(entry);
            else
                m_store.Update(entry);
            write.Commit();
        });
    }
    IdEng = id;
    PutCurrent();
    ShowRegulSheet();
}

// --- lines -----------------------------------------------------------------------------

void TfrmEng_Regul::btnModifDetClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, modification impossible !"), nullptr);
    if (!CanAddLines())
        return;
    mnModifDet->setEnabled(false);
    const auto restore = qScopeGuard([this] { UpdateCommands(); });
    if (m_sheet->idFnm > 0 && m_sheet->kind) {
        AddLines(*m_sheet->kind, m_sheet->idFnm, lInt->text());
        return;
    }
    TfrmSelectReg select(this);
    if (select.exec() != QDialog::Accepted)
        return;
    AddLines(select.Kind(), select.IdFnm, select.LineText());
}

void TfrmEng_Regul::AddLines(SheetOrigin kind, qint64 idFnm, const QString& lineText)
{
    const qint64 id = IdEng;
    if (kind == SheetOrigin::PaymentOrders) {
        {
            TfrmAddRegul_Mdt picker(this);
            picker.IdFnm = idFnm;
            picker.IdEngReg = id;
            picker.lImput->setText(lineText);
            picker.exec();
        }
        m_keys->LocateId(id);
        PutCurrent();
        ShowRegulSheet();
        RecomputeRegulSheet();
        return;
    }
    TfrmAddRegul_FE copy(this);
    copy.Origine = kind;
    copy.IdFnm = idFnm;
    copy.IdEngReg = id;
    copy.NoEngReg = edNoFiche->text().trimmed();
    copy.lImput->setText(lineText);
    if (copy.exec() != QDialog::Accepted)
        return;
    m_keys->LocateId(id);
    PutCurrent();
    ShowRegulSheet();
}

void TfrmEng_Regul::RecomputeRegulSheet()
{
    if (!m_sheet || m_sheet->kind != SheetOrigin::PaymentOrders)
        return;
    const QString proposed = RegulObservation(m_store.OrderExpenses(IdEng), FiscalYear.trimmed());
    const QString memo = mmObs->toPlainText();
    bool take = false;
    if (memo.trimmed().isEmpty())
        take = true;
    else if (memo != proposed)
        take = AskConfirmation(QStringLiteral("Voulez-vous mettre à jour l'observation ?"));
    if (!take)
        return;
    {
        TWriteGuard write;
        m_store.SetObservation(IdEng, proposed);
        write.Commit();
    }
    ShowRegulSheet();
}

const TRegulLine* TfrmEng_Regul::CurrentLine() const
{
    // The grid may be sorted by any column: its row names its line by what
    // the line points to, which is on the sheet once.
    const TRegulLine* shown = m_lineModel->currentItem();
    if (!shown)
        return nullptr;
    const qint64 idDetail = shown->idDetail;
    const auto it = std::find_if(m_lines.cbegin(), m_lines.cend(),
                                 [idDetail](const TRegulLine& l) { return l.idDetail == idDetail; });
    return it == m_lines.cend() ? nullptr : &*it;
}

void TfrmEng_Regul::btnDelDetClick()
{
    if (!HasRows() || m_lines.isEmpty())
        return;
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, modification impossible !"), nullptr);
    RequireWriteRight();
    const TRegulLine* current = CurrentLine();
    if (!current)
        return;
    const TRegulLine line = *current;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cette ligne ?"), mtWarning,
                       MsgButton::Yes | MsgButton::No)
        != mrYes)
        return;
    RunRefusable([&] {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.RemoveLine(IdEng, line.objet, line.idDetail);
        write.Commit();
    });
    ShowRegulSheet();
    RecomputeRegulSheet();
    stBar->SetPanel(2, QString::number(m_lines.size()) + QStringLiteral("  Détails"));
}

void TfrmEng_Regul::OpenLine()
{
    // Only an order line opens its document; the other kinds point to a
    // transfer, a budget line or a cancelled sheet.
    const TRegulLine* line = CurrentLine();
    if (!line || line->objet != LineObject::PaymentOrder)
        return;
    TfrmMandat frm(this);
    frm.IdMdt = line->idDetail;
    frm.exec();
}

// --- the sheet ---------------------------------------------------------------------------

void TfrmEng_Regul::btnDeleteClick()
{
    if (!HasRows())
        return;
    if (HasVisa())
        Refuse(QStringLiteral("Fiche visée, suppression impossible !"), nullptr);
    RequireWriteRight();
    if (!m_isLast)
        return;
    if (!AskSheetDeletion())
        return;
    const qint64 id = IdEng;
    RunRefusable([&] {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.Delete(id);
        write.Commit();
    });
    m_keys->Remove(id);
    ShowRegulSheet();
}

void TfrmEng_Regul::btnFindClick()
{
    if (FindSheetThroughDialog(this, m_keys, [this](const QString& chap, const QString& art, const QString& par,
                                                    const QString& number) {
            return m_store.Find(chap, art, par, number);
        }))
        ShowRegulSheet();
}

// --- printing ------------------------------------------------------------------

void TfrmEng_Regul::PrintSheet(bool stationery)
{
    if (!m_sheet)
        return;
    // A sheet of payment orders prints its orders and their expenses of the
    // sheet's line; any other its one entry.
    const auto preview = [this](TCommitmentSheetForm&& form) {
        form.IdEng = int(m_sheet->id);
        form.IdFnm = int(m_sheet->idFnm);
        form.Preview(this);
    };
    if (m_sheet->kind == SheetOrigin::PaymentOrders) {
        if (stationery)
            preview(TfrmRptFEDep_Regul_PreImp());
        else
            preview(TfrmRptFEDep_Regul());
    } else if (stationery) {
        preview(TfrmRptFEEco_Art_Regul_PreImp());
    } else {
        preview(TfrmRptFEEco_Art_Regul());
    }
}

void TfrmEng_Regul::mnPrintFE_FBClick()
{
    PrintSheet(false);
}

void TfrmEng_Regul::mnPrintFE_PreImpClick()
{
    PrintSheet(true);
}
