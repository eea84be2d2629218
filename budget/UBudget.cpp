#include "budget/UBudget.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "data/MenuItems.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "core/Routines.h"
#include "ui/UCalendar.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "ui/QueryTableModel.h"
#include "ui/RecordNavigator.h"
#include "budget/BudgetWindowParts.h"
#include "budget/BudgetRules.h"
#include "budget/BudgetStore.h"
#include "budget/UFindImput.h"
#include "budget/UTotChap.h"
#include "controls/NumEdit.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QColor kGrey(0xE8, 0xE8, 0xE8);   // $E8E8E8
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

void SetFieldColor(QWidget* field, const QColor& color)
{
    QPalette p = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, color);
    field->setPalette(p);
}

// The entry panel is disabled while browsing; its fields keep their colours
// and a readable text, as they look while editing.
void KeepTextReadable(QWidget* field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
    p.setColor(QPalette::Disabled, QPalette::WindowText, p.color(QPalette::Active, QPalette::WindowText));
    field->setPalette(p);
}

} // namespace

TfrmBudget::TfrmBudget(QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = MenuItem::mnBudget,
                            .statusWidths = {90, 60, 80, 90},
                            .modePanel = 3,
                            .closeRule = CloseRule::SaveThenClose,
                            .closeQuestion =
                                QStringLiteral("Voulez-vous enregistrer les modifications apportées à l'imputation ?"),
                            .recolourEntryPanel = false},
                    parent),
      m_store(std::make_unique<TBudgetStore>())
{
    BuildWindow();
    // Status panels 0 and 1, from the window's creation.
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
}

TfrmBudget::~TfrmBudget() = default;

void TfrmBudget::BuildWindow()
{
    setObjectName(QStringLiteral("frmBudget"));
    setWindowTitle(QStringLiteral("Budget"));

    // Commands: an allocation is edited on a line with an article only.
    auto rows = [this] { return HasRows(); };
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier"), [this] { return Mode() == emBrowse && HasRows() && HasArticle(); },
                        [this] { btnEditClick(); }, QKeySequence(Qt::Key_F2));
    mnPost = AddCommand("mnPost", QStringLiteral("&Enregistrer"), [this] { return Mode() != emBrowse && HasArticle(); },
                        [this] { btnPostClick(); }, QKeySequence(Qt::CTRL | Qt::Key_S));
    mnCancel = AddCommand("mnCancel", QStringLiteral("&Annuler"), [this] { return Mode() != emBrowse && HasArticle(); },
                          [this] { CancelEntry(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher"), When::BrowseOnRow, [this] { btnFindClick(); },
                        QKeySequence(Qt::Key_F3));
    mnTotChap = AddCommand("mnTotChap", QStringLiteral("Total Chapitre"), rows, [this] { mnTotChapClick(); },
                           QKeySequence(Qt::Key_F5));
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), When::Always, [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Tool bar.
    pnlBtns = new QWidget(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    auto* bar = new QHBoxLayout(pnlBtns);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(2);

    MyNavigator = new TRecordNavigator(pnlBtns);
    btnFirst = MyNavigator->btnFirst;
    btnPrior = MyNavigator->btnPrior;
    btnNext = MyNavigator->btnNext;
    btnLast = MyNavigator->btnLast;
    bar->addWidget(MyNavigator);
    bar->addSpacing(8);
    SetNavigator(MyNavigator);
    connect(MyNavigator, &TRecordNavigator::moved, this, Guarded([this] { ShowBudgetLine(); }));
    m_lines = new QueryTableModel(this);
    m_lines->setReader([this] { return m_store->ReadLines(); });
    MyNavigator->SetModel(m_lines);

    auto toolButton = [&](const char* name, const QString& text, const QString& hint, QStyle::StandardPixmap icon) {
        return AddToolButton(pnlBtns, bar, name, text, hint, icon);
    };
    btnEdit = toolButton("btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier les dotations"),
                         QStyle::SP_FileDialogDetailedView);
    btnPost = toolButton("btnPost", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer les modifications"),
                         QStyle::SP_DialogSaveButton);
    btnCancel = toolButton("btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"),
                           QStyle::SP_DialogCancelButton);
    const TBudgetTrailingButtons trailing = AddBudgetTrailingButtons(pnlBtns, bar);
    btnFind = trailing.find;
    btnPrint = trailing.print;
    btnMenu = trailing.menu;
    btnClose = trailing.close;
    BindButton(btnEdit, mnEdit);
    BindButton(btnPost, mnPost);
    BindButton(btnCancel, mnCancel);
    BindButton(btnFind, mnFind);
    BindButton(btnClose, mnClose);
    layout->addWidget(pnlBtns);

    // Entry panel.
    pnlMain = new QWidget(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    SetEntryPanel(pnlMain);
    auto* grid = new QGridLayout(pnlMain);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);

    auto label = [&](const QString& text) {
        QLabel* l = MakeCaption(pnlMain, text);
        KeepTextReadable(l);
        return l;
    };
    auto keyEdit = [&](const char* name, int width) {
        QLineEdit* e = MakeEdit(pnlMain, name, 0, true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignCenter);
        e->setFixedWidth(width);
        SetFieldColor(e, kGrey);
        KeepTextReadable(e);
        return e;
    };
    edChap = keyEdit("edChap", 64);
    edArt = keyEdit("edArt", 40);
    edPar = keyEdit("edPar", 40);
    auto* keys = new QGridLayout;
    keys->setHorizontalSpacing(4);
    keys->setVerticalSpacing(0);
    const char* keyCaptions[] = {"Chap.", "Art.", "Par."};
    QLineEdit* keyEdits[] = {edChap, edArt, edPar};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(QString::fromLatin1(keyCaptions[i]), pnlMain);
        l->setAlignment(Qt::AlignCenter);
        KeepTextReadable(l);
        keys->addWidget(l, 0, i);
        keys->addWidget(keyEdits[i], 1, i);
    }
    keys->setColumnStretch(3, 1);
    grid->addWidget(label(QStringLiteral("Imputation : ")), 1, 0);
    grid->addLayout(keys, 0, 1, 2, 4);

    lInt = new QLabel(pnlMain);
    lInt->setObjectName(QStringLiteral("lInt"));
    QFont bold = lInt->font();
    bold.setBold(true);
    lInt->setFont(bold);
    lInt->setWordWrap(true);
    lInt->setFixedHeight(QFontMetrics(bold).lineSpacing() * 2 + 4);
    lInt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    KeepTextReadable(lInt);
    grid->addWidget(lInt, 2, 0, 1, 5);

    auto amount = [&](const char* name) {
        TNumEdit* e = MakeAmountEdit(pnlMain, name, 150);
        KeepTextReadable(e);
        return e;
    };
    edMt_BP = amount("edMt_BP");
    edMt_Regie = amount("edMt_Regie");
    edMt_BS = amount("edMt_BS");

    // Date fields: the button's date and the double click's (today's) replace
    // another date after the question.
    auto dateField = [&](const char* name, const char* buttonName, QPushButton*& button) {
        QLineEdit* e = MakeEdit(pnlMain, name, 10);
        e->setFixedWidth(90);
        e->setAlignment(Qt::AlignCenter);
        KeepTextReadable(e);
        button = MakeButton(pnlMain, buttonName, QStringLiteral("..."), QStringLiteral("Calendrier"));
        button->setFixedWidth(26);
        button->setFocusPolicy(Qt::NoFocus);
        AttachDateField(e, button, TDateFieldRules{});
        return e;
    };
    edDateBP = dateField("edDateBP", "btnGetDateBP", btnGetDateBP);
    edDateEng_BP = dateField("edDateEng_BP", "btnGetDateEng_BP", btnGetDateEng_BP);
    edDateBS = dateField("edDateBS", "btnGetDateBS", btnGetDateBS);
    edDateEng_BS = dateField("edDateEng_BS", "btnGetDateEng_BS", btnGetDateEng_BS);

    auto dateRow = [&](int row, const QString& caption, QLineEdit* e, QPushButton* b) {
        grid->addWidget(label(caption), row, 2);
        auto* h = new QHBoxLayout;
        h->setSpacing(2);
        h->addWidget(e);
        h->addWidget(b);
        h->addStretch();
        grid->addLayout(h, row, 3);
    };
    grid->addWidget(label(QStringLiteral("Primitif : ")), 3, 0);
    grid->addWidget(edMt_BP, 3, 1);
    dateRow(3, QStringLiteral("Date visa : "), edDateBP, btnGetDateBP);
    grid->addWidget(label(QStringLiteral("Mt Régie : ")), 4, 0);
    grid->addWidget(edMt_Regie, 4, 1);
    dateRow(4, QStringLiteral("Date F. Eng. : "), edDateEng_BP, btnGetDateEng_BP);
    auto* line = new QFrame(pnlMain);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 5, 0, 1, 5);
    grid->addWidget(label(QStringLiteral("Modificatif : ")), 6, 0);
    grid->addWidget(edMt_BS, 6, 1);
    dateRow(6, QStringLiteral("Date visa : "), edDateBS, btnGetDateBS);
    dateRow(7, QStringLiteral("Date F. Eng. : "), edDateEng_BS, btnGetDateEng_BS);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(8, 1);
    layout->addWidget(pnlMain, 1);

    // Tab order through the entry fields.
    QWidget::setTabOrder(edMt_BP, edMt_Regie);
    QWidget::setTabOrder(edMt_Regie, edDateBP);
    QWidget::setTabOrder(edDateBP, edDateEng_BP);
    QWidget::setTabOrder(edDateEng_BP, edMt_BS);
    QWidget::setTabOrder(edMt_BS, edDateBS);
    QWidget::setTabOrder(edDateBS, edDateEng_BS);

    layout->addWidget(stBar);

    // Menus: PopMnBud is also the window's context menu.
    const TBudgetPrintItems print = MakeBudgetPrintItems(this);
    mnFicheBP = print.bp;
    mnFicheBP_Pre = print.bpPre;
    mnFicheBS = print.bs;
    mnFicheBS_Pre = print.bsPre;
    const QList<QAction*> printItems = print.all();
    // The line as stored: an entry being edited does not print.
    ConnectBudgetPrintItems(this, print, [this] {
        if (!HasRows())
            return TBudgetPrintLine{};
        return PrintLineOf(CurrentLine());
    });

    PopMnBud = new QMenu(this);
    PopMnBud->setObjectName(QStringLiteral("PopMnBud"));
    PopMnBud->addActions({mnEdit, mnPost, mnCancel, mnFind, mnTotChap});
    QMenu* mnPrint = PopMnBud->addMenu(QStringLiteral("Imprimer ..."));
    mnPrint->setObjectName(QStringLiteral("mnImprimer"));
    mnPrint->addActions(printItems);
    PopMnBud->addAction(mnClose);

    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    PopMnPrint->addActions(printItems);

    AttachPopupMenu(PopMnBud, btnMenu);
    connect(btnPrint, &QPushButton::clicked, this, Guarded([this] { DropMenuUnder(PopMnPrint, btnPrint); }));

    resize(640, 330);
}

// ---- showing a line -------------------------------------------------------

void TfrmBudget::FormShow()
{
    OpenBudget();
    LocateLine(IdFnm);
    ShowBudgetLine();
}

void TfrmBudget::OpenBudget()
{
    m_lines->reload();
}

bool TfrmBudget::LocateLine(qint64 idFnm)
{
    for (int r = 0; r < m_lines->rowCount(); ++r) {
        if (TBudgetStore::LineOf(m_lines->row(r)).id == idFnm) {
            m_lines->setCurrentRow(r);
            return true;
        }
    }
    return false;
}

TBudgetLineRow TfrmBudget::CurrentLine() const
{
    TBudgetLineRow line = TBudgetStore::LineOf(m_lines->current());
    for (QString* s : {&line.chap, &line.art, &line.par, &line.intitule})
        while (s->endsWith(QLatin1Char(' ')))
            s->chop(1);
    return line;
}

TShownRow TfrmBudget::ShownRow() const
{
    if (!HasRows())
        return {};
    return TBudgetStore::ShownRowOf(m_lines->current());
}

void TfrmBudget::ShowStoredRow()
{
    const qint64 id = IdFnm;
    OpenBudget();
    LocateLine(id);
    ShowBudgetLine();
}

bool TfrmBudget::HasRows() const
{
    return !m_lines->isEmpty();
}

bool TfrmBudget::HasArticle() const
{
    return HasRows() && !CurrentLine().art.trimmed().isEmpty();
}

QString TfrmBudget::GetBudgetSheetDate(SheetOrigin origin, qint64 idFnm)
{
    const std::optional<TSheet> sheet =
        origin == SheetOrigin::PrimitiveBudget ? m_store->PrimitiveSheet(idFnm) : m_store->AmendingSheet(idFnm);
    if (!sheet || !sheet->date.isValid())
        return QString();
    return sheet->date.toString(kDateFormat);
}

void TfrmBudget::ShowBudgetLine()
{
    for (QLineEdit* e : {edChap, edArt, edPar, edDateBP, edDateEng_BP, edDateBS, edDateEng_BS})
        e->clear();
    for (TNumEdit* e : {edMt_BP, edMt_Regie, edMt_BS})
        e->clear();
    lInt->clear();
    if (HasRows()) {
        const TBudgetLineRow line = CurrentLine();
        IdFnm = line.id;
        edChap->setText(line.chap);
        edArt->setText(line.art);
        edPar->setText(line.par);
        lInt->setText(line.intitule);
        edMt_BP->SetAsCurrency(line.bp);
        edMt_Regie->SetAsCurrency(line.regie);
        edMt_BS->SetAsCurrency(line.bs);
        edDateBP->setText(line.dateBP.toString(kDateFormat));
        edDateBS->setText(line.dateBS.toString(kDateFormat));
        edDateEng_BP->setText(GetBudgetSheetDate(SheetOrigin::PrimitiveBudget, IdFnm));
        edDateEng_BS->setText(GetBudgetSheetDate(SheetOrigin::AmendingBudget, IdFnm));
    }
    SetMode(emBrowse);
}

void TfrmBudget::ModeChanged()
{
    SetBudgetEntryState(Mode() != emBrowse);
}

void TfrmBudget::SetBudgetEntryState(bool editing)
{
    const bool article = HasArticle();
    for (QPushButton* b : {btnGetDateBP, btnGetDateEng_BP, btnGetDateBS, btnGetDateEng_BS})
        b->setEnabled(editing && article);
    const QColor window = QPalette().color(QPalette::Active, QPalette::Base);
    for (QWidget* w : std::initializer_list<QWidget*>{edMt_BP, edMt_Regie, edMt_BS, edDateBP, edDateEng_BP,
                                                      edDateBS, edDateEng_BS}) {
        w->setEnabled(article);
        SetFieldColor(w, article ? window : kGrey);
    }
}

// ---- modes ----------------------------------------------------------------

void TfrmBudget::btnEditClick()
{
    RequireWriteRight();
    if (edDateEng_BP->text().trimmed().isEmpty())
        edDateEng_BP->setText(DefaultDate().toString(kDateFormat));
    SetMode(emEdit);
    edMt_BP->setFocus();
}

void TfrmBudget::btnCancelClick()
{
    ShowBudgetLine();
}

void TfrmBudget::btnFindClick()
{
    const std::optional<TImputation> typed = AskImputation(this);
    if (!typed)
        return;
    const int row = FindImputationRow(*typed, m_lines->rowCount(), [this](int r) {
        const TBudgetLineRow line = TBudgetStore::LineOf(m_lines->row(r));
        return TImputation{line.chap, line.art, line.par};
    });
    if (row < 0) {
        ShowInfo(QStringLiteral("Imputation introuvable !"));
        return;
    }
    m_lines->setCurrentRow(row);
    ShowBudgetLine();
}

void TfrmBudget::mnTotChapClick()
{
    TfrmTotChap dlg(this);
    dlg.Chap = edChap->text();
    dlg.exec();
}

// ---- the save -------------------------------------------------------------

void TfrmBudget::btnPostClick()
{
    RequireWriteRight();
    if (!HasRows())
        Abort();

    // The checks, on what is typed and on the line's amending sheet.
    budget::AllocationEntry entry;
    entry.article = HasArticle();
    entry.bp = edMt_BP->TryAsCurrency();
    entry.regie = edMt_Regie->TryAsCurrency();
    entry.bs = edMt_BS->TryAsCurrency();
    entry.dateBP = edDateBP->text();
    entry.dateEngBP = edDateEng_BP->text();
    entry.dateBS = edDateBS->text();
    entry.dateEngBS = edDateEng_BS->text();
    if (entry.article) {
        if (const std::optional<TSheet> amending = m_store->AmendingSheet(IdFnm)) {
            entry.hasAmendingSheet = true;
            entry.amendingSheetIsLast = DM->Queries().IsLastCommitmentNumber(IdFnm, amending->number);
        }
        entry.hasPrimitiveSheet = m_store->PrimitiveSheet(IdFnm).has_value();
        entry.firstNumberTaken = !entry.hasPrimitiveSheet && m_store->FirstNumberTaken(IdFnm);
    }
    budget::Allocations allocations;
    const TVerdict verdict =
        budget::CheckAllocations(entry, FiscalYear.trimmed().toInt(), [](const QString& q) { return Confirm(q); },
                                 allocations);
    // The entry as the checks tidied it.
    if (!entry.article)
        for (TNumEdit* e : {edMt_BP, edMt_Regie, edMt_BS})
            e->SetAsCurrency(Currency());
    edDateBP->setText(entry.dateBP);
    edDateEng_BP->setText(entry.dateEngBP);
    edDateBS->setText(entry.dateBS);
    edDateEng_BS->setText(entry.dateEngBS);
    if (verdict) {
        QWidget* const fields[] = {edMt_BP, edMt_Regie, edMt_BS, edDateBP, edDateEng_BP, edDateBS, edDateEng_BS};
        Refuse(*verdict, fields[verdict->field]);
    }

    // The line and its sheets, in one transaction; a refused commit or a failed
    // statement keeps the entry on screen in edit mode, to be saved again.
    TWaitCursor wait;
    {
        TWriteGuard write;
        m_store->SaveAllocations(IdFnm, CurrentLine().chap, entry.article, allocations);
        write.Commit();
    }
    ReloadAfterSave();
}

void TfrmBudget::ReloadAfterSave()
{
    const qint64 id = IdFnm;
    OpenBudget();
    LocateLine(id);
    ShowBudgetLine();
}
