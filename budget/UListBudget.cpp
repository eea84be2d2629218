#include "budget/UListBudget.h"

#include "budget/BudgetStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "ui/QueryTableModel.h"
#include "refdata/RefDataStore.h"
#include "refdata/UListFNM.h"
#include "budget/BudgetWindowParts.h"
#include "budget/UBudget.h"
#include "budget/UFindImput.h"
#include "budget/UTotChap.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Column { colChap, colArt, colPar, colBP, colRegie, colBS, colIntitule };

const QColor kGridColor(0xFA, 0xF8, 0xF9);      // $F9F8FA
const QColor kKeyColumnColor(0xF2, 0xF2, 0xF2); // $F2F2F2
const QColor kHeadingColor(239, 254, 188);

// The key columns and the title on light grey (unless the row has its own
// colour); the primitive budget in bold.
class BudgetGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int c = index.column();
        if (option->backgroundBrush.style() == Qt::NoBrush
            && (c == colChap || c == colArt || c == colPar || c == colIntitule))
            option->backgroundBrush = kKeyColumnColor;
        if (c == colBP)
            option->font.setBold(true);
    }
};

} // namespace

TfrmListBudget::TfrmListBudget(QWidget* parent)
    : TListWindow(parent, "PopMnBud")
{
    setObjectName(QStringLiteral("frmListBudget"));
    setWindowTitle(QStringLiteral("Budget"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlBtns = new QWidget(this);
    pnlBtns->setObjectName(QStringLiteral("pnlBtns"));
    auto* bar = new QHBoxLayout(pnlBtns);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->setSpacing(2);
    auto toolButton = [&](const char* name, const QString& text, const QString& hint, QStyle::StandardPixmap icon) {
        return AddToolButton(pnlBtns, bar, name, text, hint, icon);
    };
    btnModif = toolButton("btnModif", QStringLiteral("Saisir/Modifier"), QStringLiteral("Saisir ou modifier une imputation"),
                          QStyle::SP_FileDialogDetailedView);
    const TBudgetTrailingButtons trailing = AddBudgetTrailingButtons(pnlBtns, bar);
    btnFind = trailing.find;
    btnPrint = trailing.print;
    btnMenu = trailing.menu;
    btnClose = trailing.close;
    layout->addWidget(pnlBtns);

    // The grid.
    m_store = std::make_unique<TBudgetStore>();
    m_model = new QueryTableModel(this);
    m_model->addColumn(QStringLiteral("CHAP"), QStringLiteral("Chap."), QueryTableModel::Text, Qt::AlignHCenter);
    m_model->addColumn(QStringLiteral("ART"), QStringLiteral("Art."), QueryTableModel::Text, Qt::AlignHCenter);
    m_model->addColumn(QStringLiteral("PAR"), QStringLiteral("Par."), QueryTableModel::Text, Qt::AlignHCenter);
    m_model->addColumn(QStringLiteral("MT_BP"), QStringLiteral("Primitif"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("MT_REGIE"), QStringLiteral("Mt Régie"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("MT_BS"), QStringLiteral("Modificatif"), QueryTableModel::Money);
    m_model->addColumn(QStringLiteral("INTITULE"), QStringLiteral("Intitulé"), QueryTableModel::Text);
    m_model->setKeyFields({QStringLiteral("ID_FNM")});
    m_model->setReader([this] { return m_store->ReadLines(); });
    // Chapter headings: bold on green-yellow.
    m_model->setRowTint([](int, const QueryRow& r) {
        return TNomenclatureStore::IsChapterHeading(r) ? kHeadingColor : QColor();
    });
    m_model->setRowFont([](int, const QueryRow& r, const QFont& base) {
        QFont f = base;
        if (TNomenclatureStore::IsChapterHeading(r))
            f.setBold(true);
        return f;
    });

    grdBudget = new QTableView(this);
    grdBudget->setObjectName(QStringLiteral("grdBudget"));
    m_model->attachView(grdBudget);
    grdBudget->setItemDelegate(new BudgetGridDelegate(grdBudget));
    grdBudget->verticalHeader()->setVisible(false);
    grdBudget->verticalHeader()->setDefaultSectionSize(grdBudget->fontMetrics().height() + 6);
    grdBudget->setWordWrap(false);
    QPalette p = grdBudget->palette();
    p.setColor(QPalette::Base, kGridColor);
    grdBudget->setPalette(p);
    const int widths[] = {50, 30, 30, 110, 90, 90};
    for (int i = 0; i < 6; ++i)
        grdBudget->setColumnWidth(i, widths[i]);
    // The title takes what the other columns leave, so that the amounts, as
    // wide as the largest needs, never push the chapter out of sight.
    grdBudget->horizontalHeader()->setSectionResizeMode(colIntitule, QHeaderView::Stretch);
    layout->addWidget(grdBudget, 1);

    stBar = new TStatusBar({90, 60, 160}, this);
    layout->addWidget(stBar);

    // Menus.
    const TBudgetPrintItems print = MakeBudgetPrintItems(this);
    mnFicheBP = print.bp;
    mnFicheBP_Pre = print.bpPre;
    mnFicheBS = print.bs;
    mnFicheBS_Pre = print.bsPre;
    const QList<QAction*> printItems = print.all();
    ConnectBudgetPrintItems(this, print, [this] {
        if (m_model->rowCount() == 0)
            return TBudgetPrintLine{};
        return PrintLineOf(TBudgetStore::LineOf(m_model->current()));
    });

    PopMnBud = PopupMenu();
    mnModif = AddCommand("mnModif", QStringLiteral("Ajouter/Modifier"), [this] { btnModifClick(); }, QKeySequence(),
                         btnModif);
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher une imputation"), [this] { btnFindClick(); },
                        QKeySequence(Qt::Key_F3), btnFind);
    mnDotChap = AddCommand("mnDotChap", QStringLiteral("Total chapitre"), [this] { mnDotChapClick(); },
                           QKeySequence(Qt::Key_F5));
    QMenu* mnPrint = PopMnBud->addMenu(QStringLiteral("Imprimer ..."));
    mnPrint->setObjectName(QStringLiteral("mnImprimer"));
    mnPrint->addActions(printItems);
    mnNomenc = AddCommand("mnNomenc", QStringLiteral("Nomenclature"), [this] { mnNomencClick(); });
    mnClose = AddCommand("mnClose", QStringLiteral("&Fermer"), [this] { close(); }, QKeySequence(), btnClose);

    PopMnPrint = new QMenu(this);
    PopMnPrint->setObjectName(QStringLiteral("PopMnPrint"));
    PopMnPrint->addActions(printItems);

    PopUpMenuOn(this);
    PopUpMenuOn(grdBudget);
    DropMenuFrom(btnMenu);
    connect(grdBudget, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));
    connect(btnPrint, &QPushButton::clicked, this, Guarded([this] { DropMenuUnder(PopMnPrint, btnPrint); }));
    FollowRowCount(m_model, stBar, 2, QStringLiteral(" Imputations"));
    SetFirstFocus(grdBudget);

    resize(860, 520);
}

TfrmListBudget::~TfrmListBudget() = default;

void TfrmListBudget::FormShow()
{
    m_model->refresh();
    m_model->setCurrentRow(0);
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
}


void TfrmListBudget::btnModifClick()
{
    const qint64 id = TBudgetStore::LineOf(m_model->current()).id;
    {
        TfrmBudget frm(this);
        frm.IdFnm = id;
        frm.exec();
    }
    // The amounts may have changed: re-read, back on the line that was opened.
    m_model->refresh();
    if (!m_model->locate({db::Value(id)}))
        m_model->setCurrentRow(0);
}

void TfrmListBudget::btnFindClick()
{
    const std::optional<TImputation> typed = AskImputation(this);
    if (!typed)
        return;
    const int row = FindImputationRow(*typed, m_model->rowCount(), [this](int r) {
        const TBudgetLineRow line = TBudgetStore::LineOf(m_model->row(r));
        return TImputation{line.chap, line.art, line.par};
    });
    if (row < 0) {
        ShowInfo(QStringLiteral("Imputation introuvable !"));
        return;
    }
    m_model->setCurrentRow(row);
}

void TfrmListBudget::mnDotChapClick()
{
    TfrmTotChap dlg(this);
    dlg.Chap = TBudgetStore::LineOf(m_model->current()).chap;
    dlg.exec();
}

void TfrmListBudget::mnNomencClick()
{
    // Owned by the application, not by this window; shown as a list, not a picker.
    TfrmListFNM frm(nullptr);
    frm.SelectMode = false;
    frm.exec();
}

void TfrmListBudget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

