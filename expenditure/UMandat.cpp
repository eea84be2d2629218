#include "expenditure/UMandat.h"

#include "controls/FxLabel.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Routines.h"
#include "data/MenuItems.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "documents/DocumentBrowsing.h"
#include "expenditure/OrderListWindow.h"
#include "expenditure/OrderRules.h"
#include "expenditure/UAddDep.h"
#include "expenditure/UBord_Mdt.h"
#include "expenditure/UFindMdt.h"
#include "reports/etats/StatementPrint.h"
#include "reports/mandat/MandatPrint.h"
#include "reports/transfer/TransferPrint.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A print menus' entry gives its place, in every menu showing it, to the
// command that prints its document.
void ReplaceMenuEntry(QAction* placeholder, QAction* command)
{
    for (QObject* owner : placeholder->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner))
            menu->insertAction(placeholder, command);
    delete placeholder;
}

} // namespace

TfrmMandat::TfrmMandat(QWidget* parent)
    : TDocumentWindow(Shape{.name = "frmMandat",
                            .title = QStringLiteral("Mandats"),
                            .writeRightItem = MenuItem::mnMandat,
                            .closeRule = CloseRule::SaveAndStay,
                            .navigatorWhileEditing = false},
                      parent)
{
    BuildWindow();
}

TfrmMandat::~TfrmMandat() = default;

void TfrmMandat::BuildWindow()
{
    const auto browsingOrder = [this] { return Mode() == emBrowse && HasRows() && WriteRight(); };
    AddDocumentCommands({.add = QStringLiteral("Nouveau mandat"),
                         .modif = QStringLiteral("Modifier le mandat"),
                         .del = QStringLiteral("Supprimer le mandat"),
                         .find = QStringLiteral("Chercher un mandat")});
    mnModifDet = AddCommand("mnModifDet", QStringLiteral("Modifier les détails du mandat"), When::BrowseOnRowWithRight,
                            [this] { btnModifDetClick(); });
    mnDelDet = AddCommand("mnDelDet", QStringLiteral("Retirer la dépense"),
                          [=, this] { return browsingOrder() && !m_lines.isEmpty(); }, [this] { btnDelDetClick(); });

    // Tool bar.
    TDocumentToolBar bar(this, "pnlTool");
    btnAdd = bar.Button("btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouveau mandat"), QStyle::SP_FileIcon,
                        mnAdd);
    btnModifMdt = bar.Button("btnModifMdt", QStringLiteral("Modifier"), QStringLiteral("Modifier le mandat"),
                             QStyle::SP_FileDialogDetailedView, mnModif);
    btnPost = bar.Button("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer"),
                         QStyle::SP_DialogSaveButton, mnPost);
    btnCancel = bar.Button("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler"),
                           QStyle::SP_DialogCancelButton, mnCancel);
    btnDelete = bar.Button("btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer le mandat"),
                           QStyle::SP_TrashIcon, mnDelete);
    MyNavigator = bar.Navigator();
    btnFind = bar.Button("btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher un mandat"),
                         QStyle::SP_FileDialogContentsView, mnFind);
    btnPrint = bar.Button("btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer"),
                          QStyle::SP_FileDialogListView);
    Follow(btnPrint, When::Browse);
    btnMenu = bar.Button("btnMenu", QStringLiteral("Menu"), QStringLiteral("Menu"), QStyle::SP_TitleBarUnshadeButton);
    bar.Stretch();
    btnClose = bar.Button("btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                          QStyle::SP_DialogCloseButton, mnClose);

    // Entry panel.
    QGridLayout* grid = MakeEntryPanel(this, &pnlMain, 8, 5);
    lIdMdt = MakeValueLabel(pnlMain, "lIdMdt");
    lIdMdt->setMinimumWidth(60);
    edNoMdt = MakeEdit(pnlMain, "edNoMdt", 4);
    edNoMdt->setFixedWidth(70);
    edNoMdt->setAlignment(Qt::AlignCenter);
    edNoMdt->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), edNoMdt));
    edDateM = MakeEdit(pnlMain, "edDateM", 10);
    edDateM->setFixedWidth(90);
    btnGetDate = MakePickButton(pnlMain, "btnGetDate", QStringLiteral("Calendrier"));
    cmbStatut = MakeCombo(pnlMain, "cmbStatut");
    // The statuses in the order of their codes.
    cmbStatut->addItems({QStringLiteral("P A Y E"), QStringLiteral("EN INSTANCE")});
    edNature = MakeEdit(pnlMain, "edNature", 60);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("N° d'ordre : ")), 0, 0);
    grid->addLayout(MakeFieldRow({lIdMdt}), 0, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("N° Mandat : ")), 0, 2);
    grid->addLayout(MakeFieldRow({edNoMdt}), 0, 3);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Date : ")), 0, 4);
    grid->addLayout(MakeFieldRow({edDateM, btnGetDate}), 0, 5);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Statut : ")), 1, 0);
    grid->addLayout(MakeFieldRow({cmbStatut}), 1, 1);
    grid->addWidget(MakeCaption(pnlMain, QStringLiteral("Objet : ")), 1, 2);
    grid->addWidget(edNature, 1, 3, 1, 3);
    for (int i = 0; i < 6; ++i) {
        edPJ[size_t(i)] = MakeEdit(pnlMain, QStringLiteral("edPJ%1").arg(i + 1).toLatin1().constData(), 60);
        const int r = 2 + i / 2;
        const int c = (i % 2) * 3;
        grid->addWidget(MakeCaption(pnlMain, QStringLiteral("P.J : ")), r, c == 0 ? 0 : 2);
        grid->addWidget(edPJ[size_t(i)], r, c == 0 ? 1 : 3, 1, c == 0 ? 1 : 3);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // Lines.
    m_lineModel = MakeDocumentLineGrid(this, &grdDep, true, {40, 110, 90, 90, 260});

    auto* under = new QWidget(this);
    auto* foot = new QHBoxLayout(under);
    foot->setContentsMargins(4, 2, 8, 2);
    btnModifDet = MakeToolButton(under, "btnModifDet", QStringLiteral("Dépenses ..."),
                                 QStringLiteral("Modifier les détails du mandat"), QStyle::SP_FileDialogNewFolder);
    btnModifDet->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BindButton(btnModifDet, mnModifDet);
    btnDelDet = MakeToolButton(under, "btnDelDet", QStringLiteral("Retirer"), QStringLiteral("Retirer la dépense"),
                               QStyle::SP_DialogDiscardButton);
    btnDelDet->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BindButton(btnDelDet, mnDelDet);
    TFxLabel* amount = MakeEffectLabel(under, "lMontant", QString(), tsRecessed);
    amount->SetRotation(roFlat);
    amount->SetBorderOuter(fsLowered);
    amount->SetTextMargin(2);
    lMontant = amount;
    lMontant->setMinimumWidth(150);
    lMontant->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    foot->addWidget(btnModifDet);
    foot->addWidget(btnDelDet);
    foot->addStretch(1);
    foot->addWidget(MakeCaption(under, QStringLiteral("Montant : ")));
    foot->addWidget(lMontant);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(4);
    main->addWidget(bar.Panel());
    main->addWidget(pnlMain);
    main->addWidget(grdDep, 1);
    main->addWidget(under);
    main->addWidget(stBar);

    BuildPrintMenus();
    BrowseDocuments([this] { ShowOrder(); });
    AttachDateField(edDateM, btnGetDate,
                    TDateFieldRules{.buttonAsks = false, .doubleClick = TDateFieldRules::DoubleClick::Today});
    AddEnterToNext(edNoMdt);
    AddEnterToNext(edDateM);
    AddEnterToNext(cmbStatut);
    AddEnterToNext(edNature);
    for (QLineEdit* e : edPJ)
        AddEnterToNext(e);
    resize(820, 560);
}

void TfrmMandat::BuildPrintMenus()
{
    // The documents of an order connect these items as they come.
    auto items = [this](QMenu* menu, std::initializer_list<std::pair<const char*, const char*>> list) {
        for (const auto& [name, caption] : list) {
            QAction* a = menu->addAction(QString::fromUtf8(caption));
            a->setObjectName(QString::fromLatin1(name));
            a->setEnabled(false);
        }
    };
    PopMenuPrint = new QMenu(this);
    PopMenuPrint->setObjectName(QStringLiteral("PopMenuPrint"));
    mnMdtFB = AddCommand("mnMdtFB", QStringLiteral("Mandat de Paiement - Feuille blanche"), When::Browse,
                         [this] { PrintPaymentOrder(false); });
    mnMdtPre = AddCommand("mnMdtPre", QStringLiteral("Mandat de Paiement - Préimprimé"), When::Browse,
                          [this] { PrintPaymentOrder(true); });
    PopMenuPrint->addActions({mnMdtFB, mnMdtPre});
    items(PopMenuPrint, {{"mnBordMdt", "Bordereau d'envoi des mandats"},
                         {"mnOrdVirBanque", "Ordre de virement Banque"},
                         {"mnOrdVirCCP", "Ordre de virement  CCP"},
                         {"mnOrdVirActel", "Ordre de virement  CCP - ACTEL"},
                         {"mnOrdVirMission", "Ordre de virement Mission"},
                         {"mnOrdVirMission210208", "Ordre de virement Mission 210208"},
                         {"mnOrdVirMisReduit", "Ordre de virement Mission - Réduit"},
                         {"mnEtatVir", "Etat de virement"},
                         {"mnEtatPFact", "Etat de Paiement - Facture"},
                         {"mnEtatPMission", "Etat de Paiement - Missions"},
                         {"mnEtatPAllocEt", "Etat de paiement - Alloc. Etude"},
                         {"mnEtatPVisa", "Etat de remboursement des frais de visa et d'assurance"},
                         {"mnEtatPCongeSc", "Etat de paiement des frais d'inscrip. et Congés Sc."}});
    connect(btnPrint, &QToolButton::clicked, this, [this] { DropMenuUnder(PopMenuPrint, btnPrint); });

    PopMnMandat = BeginPopupMenu("PopMnMandat");
    PopMnMandat->addActions({mnModifDet, mnDelDet});
    QAction* pj = PopMnMandat->addAction(QStringLiteral("Pièces jointes"));
    pj->setObjectName(QStringLiteral("mnPJ"));
    pj->setEnabled(false);
    PopMnMandat->addSeparator();
    PopMnMandat->addAction(mnFind);
    QMenu* print = PopMnMandat->addMenu(QStringLiteral("Imprimer ..."));
    print->setObjectName(QStringLiteral("mnImprimer"));
    mnMandatFB = AddCommand("mnMandatFB", QStringLiteral("Mandat de paiement"), When::Browse,
                            [this] { PrintPaymentOrder(false); });
    print->addAction(mnMandatFB);
    items(print, {{"mnOrdVirBanque2", "Ordre de virement - Banque"},
                  {"mnOrdVirCCP2", "Ordre de virement - CCP"},
                  {"mnOrdVirActel2", "Ordre de virement  CCP - ACTEL"},
                  {"mnOrdVirMission2", "Ordre de virement - Mission"},
                  {"mnOrdVirMisReduit2", "Ordre de virement - Mission - Réduit"},
                  {"mnEtatPFact2", "Etat de Paiement - Facture"},
                  {"mnEtatPMission2", "Etat de Paiement - Mission"},
                  {"mnEtatPAllocEt2", "Etat de paiement - Alloc. Etude"},
                  {"mnEtatPVisa2", "Etat de remboursement des frais de visa et d'assurance"},
                  {"mnTotPaiements", "Total des paiements"}});
    QMenu* benef = PopMnMandat->addMenu(QStringLiteral("Bénéficiaires ..."));
    benef->setObjectName(QStringLiteral("mnBenef"));
    items(benef, {{"mnDetBenef", "Détails des Bénéficiaires"}});
    EndPopupMenu(PopMnMandat);
    ConnectTransferItems();
    ConnectStatementPrints();
}

void TfrmMandat::ConnectTransferItems()
{
    // The transfer documents' items of both print menus become commands.
    const std::pair<const char*, TransferItem> items[] = {
        {"mnOrdVirBanque", TransferItem::Bank},          {"mnOrdVirBanque2", TransferItem::Bank},
        {"mnOrdVirCCP", TransferItem::Postal},           {"mnOrdVirCCP2", TransferItem::Postal},
        {"mnOrdVirActel", TransferItem::PostalPhone},    {"mnOrdVirActel2", TransferItem::PostalPhone},
        {"mnOrdVirMission", TransferItem::Mission},      {"mnOrdVirMission2", TransferItem::Mission},
        {"mnOrdVirMission210208", TransferItem::MissionSalary},
        {"mnOrdVirMisReduit", TransferItem::MissionReduced}, {"mnOrdVirMisReduit2", TransferItem::MissionReduced}};
    for (const auto& [name, item] : items) {
        QAction* placeholder = findChild<QAction*>(QString::fromLatin1(name));
        ReplaceMenuEntry(placeholder, AddCommand(name, placeholder->text(), When::BrowseOnRow,
                                                 [this, item = item] { PrintTransfer(item); }));
    }
}

TShownRow TfrmMandat::ShownRow() const
{
    // Read afresh when shown: its version is read with it.
    if (!m_order)
        return {};
    return TShownRow{QStringLiteral("ENT_MDT"), QStringLiteral("ID_MDT"), m_order->id};
}

bool TfrmMandat::HasRows() const
{
    return m_order.has_value();
}

// --- showing ---------------------------------------------------------------------------

void TfrmMandat::FormShow()
{
    TWaitCursor wait;
    m_keys->SetKeys(m_store.OrderKeys());
    if (IdMdt == -1 || !m_keys->LocateId(IdMdt))
        m_keys->setCurrentRow(m_keys->rowCount() - 1);
    ShowOrder();
}

void TfrmMandat::ClearEntry()
{
    lIdMdt->clear();
    for (QLineEdit* e : {edNoMdt, edDateM, edNature})
        e->clear();
    for (QLineEdit* e : edPJ)
        e->clear();
    cmbStatut->setCurrentIndex(-1);
}

void TfrmMandat::ShowOrder()
{
    m_order.reset();
    m_lines.clear();
    m_mission = false;
    IdMdt = -1;
    ClearEntry();
    const qint64 id = m_keys->CurrentId();
    if (id >= 0)
        m_order = m_store.Read(id);
    if (m_order) {
        IdMdt = id;
        lIdMdt->setText(QString::number(id));
        edNoMdt->setText(m_order->number);
        cmbStatut->setCurrentIndex(toDb(m_order->statut));
        edDateM->setText(DateText(m_order->date));
        edNature->setText(m_order->nature);
        for (int i = 0; i < 6; ++i)
            edPJ[size_t(i)]->setText(m_order->pj[size_t(i)]);
        m_lines = m_store.Lines(id);
    }
    ShowLines();
    SetMode(emBrowse);
}

const TDocumentLine* TfrmMandat::CurrentLine() const
{
    if (m_lines.isEmpty())
        return nullptr;
    // The grid shows the lines in their order (ShowLines).
    const int row = m_lineModel->currentRow();
    const int source = row >= 0 ? m_lineModel->sourceRow(row) : -1;
    return source >= 0 && source < m_lines.size() ? &m_lines.at(source) : &m_lines.first();
}

void TfrmMandat::ShowLines()
{
    ShowDocumentLines(m_lineModel, m_lines);
    // The count is the shown order's: none while no order is shown (the last
    // one deleted, a new one being entered).
    stBar->SetPanel(2, m_order ? QString::number(m_lines.size()) + QStringLiteral("  Dépenses") : QString());
    m_mission = !m_lines.isEmpty() && m_lines.first().kind == ExpenseKind::Mission;
    m_total = LinesTotal(m_lines);
    lMontant->setText(m_total.formatMoney());
}

// --- header ----------------------------------------------------------------------------

void TfrmMandat::btnAddClick()
{
    RequireWriteRight();
    m_order.reset();
    m_lines.clear();
    ShowLines();
    SetMode(emInsert);
    ClearEntry();
    cmbStatut->setCurrentIndex(toDb(OrderStatus::Paid));
    lMontant->setText(QStringLiteral("0.00"));
    edNoMdt->setFocus();
}

void TfrmMandat::btnModifClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    SetMode(emEdit);
    edDateM->setFocus();
}

void TfrmMandat::btnCancelClick()
{
    ShowOrder();
}

void TfrmMandat::btnPostClick()
{
    RequireWriteRight();
    const bool inserting = Mode() == emInsert;
    if (!inserting && !m_order)
        Abort();
    for (QLineEdit* e : edPJ)
        e->setText(e->text().trimmed());
    // The number is four digits, unique, its own number not a duplicate of itself.
    edNoMdt->setText(TOrderStore::PadNumber(edNoMdt->text()));
    const QString numberTaken = QStringLiteral("Ce N° de mandat existe déjà !");
    if (!edNoMdt->text().isEmpty() && m_store.NumberTaken(edNoMdt->text(), inserting ? -1 : m_order->id))
        Refuse(numberTaken, edNoMdt);
    QDate date;
    if (const TVerdict refusal = order::CheckDate(edDateM->text(), FiscalYear.trimmed().toInt(), &date))
        Refuse(*refusal, edDateM);

    TOrder entry = inserting ? TOrder() : *m_order;
    entry.number = edNoMdt->text();
    entry.date = date;
    entry.statut = cmbStatut->currentIndex() < 0 ? OrderStatus::Paid : fromDb<OrderStatus>(cmbStatut->currentIndex());
    entry.nature = edNature->text().trimmed();
    for (int i = 0; i < 6; ++i)
        entry.pj[size_t(i)] = edPJ[size_t(i)]->text();
    qint64 id = entry.id;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // A number given is checked again with the order numbers locked:
        // another user may have given it since the check above, and nobody
        // can give it until this order is stored.
        if (!entry.number.isEmpty() && (inserting || entry.number != m_order->number)
            && !m_store.NumberFree(entry.number, inserting ? -1 : m_order->id))
            Refuse(numberTaken, edNoMdt);
        // A key is drawn for a new order only; the stored total is always the
        // sum of the lines.
        if (inserting)
            id = m_store.InsertOrder(entry);
        else
            m_store.UpdateOrder(entry);
        write.Commit();
    }
    m_keys->Put(id, entry.number);
    ShowOrder();
}

void TfrmMandat::btnDeleteClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    const qint64 id = IdMdt;
    // Refused while a regularisation sheet records the order.
    if (!DeleteOrderAsked(id))
        return;
    m_keys->Remove(id);
    ShowOrder();
}

// --- lines -----------------------------------------------------------------------------

void TfrmMandat::ProposeAttachments()
{
    const auto texts = order::Attachments(m_lines, std::max(0, m_lineModel->currentRow()),
                                          [](qint64 id) { return DM->Queries().CommitmentReference(id); });
    if (texts)
        for (int i = 0; i < 3; ++i)
            edPJ[size_t(i)]->setText((*texts)[size_t(i)]);
}

void TfrmMandat::btnModifDetClick()
{
    RequireWriteRight();
    if (!HasRows())
        return;
    // Disabled while the picker runs (the button follows its command).
    mnModifDet->setEnabled(false);
    const auto restore = qScopeGuard([this] { UpdateCommands(); });
    {
        TfrmAddDep picker(this);
        picker.TableDet = QStringLiteral("DET_MDT");
        picker.IdDoc = IdMdt;
        picker.TypeDep = m_lines.isEmpty() ? std::nullopt : m_lines[std::max(0, m_lineModel->currentRow())].kind;
        picker.SelectMode = true;
        picker.ModeDoc = PickerMode::PaymentOrder;
        picker.Document = std::make_unique<TOrderExpenseLines>();
        picker.exec();
    }
    DM->Queries().RefreshMandatedSnapshot();
    {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.RenumberLinesByName(IdMdt);
        write.Commit();
    }
    ShowOrder();
    if (!m_lines.isEmpty()) {
        // The total is stored already; the attachment texts wait for the save.
        ProposeAttachments();
        SetMode(emEdit);
    }
}

void TfrmMandat::btnDelDetClick()
{
    RequireWriteRight();
    if (!HasRows() || m_lines.isEmpty() || m_lineModel->currentRow() < 0)
        return;
    const int noLine = m_lines.at(m_lineModel->sourceRow(m_lineModel->currentRow())).noLine;
    if (ShowMessageBox(QStringLiteral("Etes-vous sûr de vouloir supprimer cette dépense ?"), mtWarning,
                       MsgButton::Yes | MsgButton::No)
        != mrYes)
        return;
    {
        TWaitCursor wait;
        TWriteGuard write;
        m_store.RemoveLineAt(IdMdt, noLine);
        write.Commit();
    }
    DM->Queries().RefreshMandatedSnapshot();
    ShowOrder();
    if (!m_lines.isEmpty())
        SetMode(emEdit);
}

// --- search ----------------------------------------------------------------------------

void TfrmMandat::btnFindClick()
{
    TfrmFindMdt dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.FoundIdMdt != -1) {
        if (!m_keys->LocateId(dialog.FoundIdMdt)) {
            ShowInfo(QStringLiteral("Ce n° d'ordre est Introuvable !"));
            return;
        }
    } else if (!dialog.FoundNoMdt.isEmpty()) {
        // The number is found as stored, four digits.
        const qint64 id = m_store.FindByNumber(TOrderStore::PadNumber(dialog.FoundNoMdt));
        if (id < 0 || !m_keys->LocateId(id)) {
            ShowInfo(QStringLiteral("Ce n° de mandat est Introuvable !"));
            return;
        }
    } else {
        return;
    }
    ShowOrder();
}

// --- printing --------------------------------------------------------------------------

void TfrmMandat::PrintPaymentOrder(bool prePrinted)
{
    // The current line's kind and budget line, and the order's contributions, choose the document.
    const TDocumentLine* line = CurrentLine();
    PreviewMandat(this, int(IdMdt), line ? line->kind : std::nullopt, line ? line->chap : QString(),
                  line ? line->art : QString(), prePrinted);
}

void TfrmMandat::PrintTransfer(TransferItem item)
{
    // The mission advice is chosen by the budget line of the current line and
    // the order's contributions.
    const TDocumentLine* line = CurrentLine();
    TTransferOrderRef order;
    order.idMdt = int(IdMdt);
    if (m_order) {
        order.noMdt = m_order->number;
        order.dateMdt = m_order->date.toString(QStringLiteral("dd/MM/yyyy"));
    }
    if (line) {
        order.chap = line->chap;
        order.art = line->art;
    }
    PreviewTransferDocument(this, item, order);
}

void TfrmMandat::ConnectStatementPrints()
{
    // Each item takes the place of its entry in the print menus; the invoice
    // statement is for orders of invoices, the mission and allowance ones for
    // orders of missions.
    const auto onOrder = [this] { return Mode() == emBrowse && m_order.has_value(); };
    const auto invoices = [=, this] { return onOrder() && !m_mission; };
    const auto missions = [=, this] { return onOrder() && m_mission; };
    const auto statement = [this](TStatement which) {
        return [this, which] { PreviewStatement(this, which, int(IdMdt)); };
    };
    struct Item {
        const char* name;
        std::function<void()> handler;
        std::function<bool()> enabled;
    };
    const Item list[] = {
        {"mnBordMdt",
         [this] {
             TfrmBord_Mdt frm(this);
             frm.exec();
         },
         [this] { return Mode() == emBrowse; }},
        {"mnEtatVir", statement(TStatement::Transfer), onOrder},
        {"mnEtatPFact", statement(TStatement::Invoices), invoices},
        {"mnEtatPFact2", statement(TStatement::Invoices), invoices},
        {"mnEtatPMission", statement(TStatement::Missions), missions},
        {"mnEtatPMission2", statement(TStatement::Missions), missions},
        {"mnEtatPAllocEt", statement(TStatement::Allowances), missions},
        {"mnEtatPAllocEt2", statement(TStatement::Allowances), missions},
        {"mnEtatPVisa", statement(TStatement::VisaRefunds), onOrder},
        {"mnEtatPVisa2", statement(TStatement::VisaRefunds), onOrder},
        {"mnEtatPCongeSc", statement(TStatement::FeesAndLeave), onOrder},
    };
    for (const Item& item : list) {
        QAction* placeholder = findChild<QAction*>(QString::fromLatin1(item.name));
        if (!placeholder)
            continue;
        ReplaceMenuEntry(placeholder, AddCommand(item.name, placeholder->text(), item.enabled, item.handler));
    }
    UpdateCommands();
}
