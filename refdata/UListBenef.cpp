#include "refdata/UListBenef.h"

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "refdata/UBenef.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

// Kept for the whole run of the program, shared by every opening of the list.
QString g_typeAhead;

// The type box lists the three types at their stored number, then "TOUS".
constexpr int TousIndex = 3;

// Upper case of the letters a to z only.
QString FoldAsciiLetters(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return out;
}

// The rows whose name passes the type-ahead text.
QueryTableModel::Filter TypeAheadFilter()
{
    return [](const QueryRow& r) { return TfrmListBenef::NameMatches(TBeneficiaryStore::NameOf(r), g_typeAhead); };
}

} // namespace

bool DeleteBeneficiary(qint64 idBen)
{
    // An expense may be recorded for the beneficiary while the question is on screen.
    TBeneficiaryStore beneficiaries;
    return ConfirmAndDeleteUnused(QStringLiteral("Etes-vous sûr de vouloir supprimer cet enregistrement ?"),
                                  [&] { beneficiaries.Delete(idBen); }, [&] { return beneficiaries.InUse(idBen); },
                                  QStringLiteral("Ce Bénéficiaire a déjà des dépenses !\rSuppression impossible."));
}

QString TfrmListBenef::TypeAheadText()
{
    return g_typeAhead;
}

void TfrmListBenef::ResetTypeAhead()
{
    g_typeAhead.clear();
}

bool TfrmListBenef::NameMatches(const QString& name, const QString& typeAhead)
{
    if (typeAhead.isEmpty())
        return true;
    return FoldAsciiLetters(name.left(typeAhead.size())) == FoldAsciiLetters(typeAhead);
}

TfrmListBenef::TfrmListBenef(QWidget* parent)
    : TRefListForm(Options{.statusPanels = 5, .popupIsContextMenu = true, .okInTopPanel = false}, parent)
{
    setObjectName(QStringLiteral("frmListBenef"));
    setWindowTitle(QStringLiteral("Bénéficiaires"));
    resize(760, 520);
    grdBenef = grid();
    grdBenef->setObjectName(QStringLiteral("grdBenef"));
    btnModif->setToolTip(QStringLiteral("Mise à jour des fournisseurs"));
    btnMenu->setText(QStringLiteral("Menu"));

    btnPrint = MakeButton(pnlTop, "btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"));
    m_topLayout->insertWidget(2, btnPrint);
    auto* lType = new QLabel(QStringLiteral("Type Bénéf.: "), pnlTop);
    cmbTypeBen = new QComboBox(pnlTop);
    cmbTypeBen->setObjectName(QStringLiteral("cmbTypeBen"));
    cmbTypeBen->addItems({QStringLiteral("FOURNISSEUR"), QStringLiteral("EMPLOYE"), QStringLiteral("AUTRE"),
                          QStringLiteral("<Tous>")});
    lType->setBuddy(cmbTypeBen);
    m_topLayout->insertSpacing(3, 16);
    m_topLayout->insertWidget(4, lType);
    m_topLayout->insertWidget(5, cmbTypeBen);

    pnlSelect = new QFrame(this);
    pnlSelect->setObjectName(QStringLiteral("pnlSelect"));
    pnlSelect->setFrameShape(QFrame::StyledPanel);
    auto* sel = new QHBoxLayout(pnlSelect);
    sel->setContentsMargins(4, 4, 4, 4);
    sel->addStretch(1);
    btnOk->setParent(pnlSelect);
    sel->addWidget(btnOk);
    m_layout->insertWidget(2, pnlSelect);

    mnModif->setText(QStringLiteral("Ajouter/Modifier"));
    mnCancelFilter = new QAction(QStringLiteral("Annuler le filtre"), this);
    mnCancelFilter->setObjectName(QStringLiteral("mnCancelFilter"));
    mnPrint = new QAction(QStringLiteral("Imprimer le listing"), this);
    mnPrint->setObjectName(QStringLiteral("mnPrint"));
    BindButton(btnPrint, mnPrint);
    PopMenu->insertAction(mnClose, mnCancelFilter);
    PopMenu->insertAction(mnClose, mnPrint);
    mnClose->setText(QStringLiteral("Quitter"));

    model()->addColumn(QStringLiteral("NOM"), QStringLiteral("Nom/Raison sociale"));
    model()->addColumn(QStringLiteral("ADR"), QStringLiteral("Adresse"));
    model()->setKeyFields({QStringLiteral("ID_BEN")});
    model()->setRowTint(EvenRowTint(QColor(0xF2, 0xF2, 0xF2)));

    model()->setReader([this] {
        const int type = cmbTypeBen->currentIndex();
        return m_store.ReadList(type < 0 || type == TousIndex ? std::nullopt
                                                              : std::optional(fromDb<BeneficiaryType>(type)));
    });
    FollowRowCount(model(), stBar, 2, QStringLiteral(" Bénéfs"));

    connect(cmbTypeBen, &QComboBox::activated, this, Guarded([this] { cmbTypeBenCloseUp(); }));
    connect(mnCancelFilter, &QAction::triggered, this, Guarded([this] { CancelFilter(); }));
    // Key preview: the key F, wherever it is pressed, and the type-ahead typed in the grid.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

TfrmListBenef::~TfrmListBenef() = default;

void TfrmListBenef::FormShow()
{
    pnlSelect->setVisible(SelectMode);
    const int type = TypeBen ? toDb(*TypeBen) : -1;
    cmbTypeBen->setCurrentIndex(type < 0 || type >= TousIndex ? TousIndex : type);
    model()->setFilter(TypeAheadFilter());
    ReadRows();
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    stBar->SetPanel(3, QStringLiteral("Filtre ..."));
}

void TfrmListBenef::ReadRows()
{
    model()->reload();
    UpdateButtons();
}

void TfrmListBenef::cmbTypeBenCloseUp()
{
    ReadRows();
}

void TfrmListBenef::TypeAheadChanged()
{
    model()->setFilter(TypeAheadFilter());
    stBar->SetPanel(3, g_typeAhead.isEmpty() ? QString() : QStringLiteral("Filtre ..."));
    stBar->SetPanel(4, g_typeAhead);
    UpdateButtons();
}

void TfrmListBenef::AddTypeAhead(const QString& character)
{
    g_typeAhead += character;
    TypeAheadChanged();
}

void TfrmListBenef::RemoveTypeAheadChar()
{
    if (g_typeAhead.isEmpty())
        return;
    g_typeAhead.chop(1);
    TypeAheadChanged();
}

void TfrmListBenef::CancelFilter()
{
    g_typeAhead.clear();
    TypeAheadChanged();
    stBar->SetPanel(3, QString());
    stBar->SetPanel(4, QString());
}

void TfrmListBenef::UpdateButtons()
{
    const bool rows = !model()->isEmpty();
    mnDelete->setEnabled(rows);
    mnPrint->setEnabled(rows);
}

void TfrmListBenef::RunRecordWindow()
{
    TfrmBenef f(this);
    f.IdBen = model()->isEmpty() ? -1 : TBeneficiaryStore::KeyOf(model()->current());
    f.exec();
}

void TfrmListBenef::DeleteCurrent()
{
    if (!CanWrite(MenuItem::mnBenef, CurrentUserId))
        DenyWriteAccess();
    if (DeleteBeneficiary(TBeneficiaryStore::KeyOf(model()->current()))) {
        model()->refresh();
        model()->setCurrentRow(0);
        }
}

void TfrmListBenef::SetResults(bool ok)
{
    if (ok && !model()->isEmpty()) {
        IdBen = TBeneficiaryStore::KeyOf(model()->current());
        NomBen = TBeneficiaryStore::NameOf(model()->current());
    } else {
        IdBen = 0;
        NomBen.clear();
    }
}

void TfrmListBenef::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!g_typeAhead.isEmpty())
            RunGuarded([this] { CancelFilter(); });
        else
            reject();
        return;
    }
    TRefListForm::keyPressEvent(event);
}

bool TfrmListBenef::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_F) {
            RunGuarded([this] { AddTypeAhead(QStringLiteral("F")); });
            return true;
        }
        if (watched == grdBenef) {
            if (ke->key() == Qt::Key_Backspace) {
                RunGuarded([this] { RemoveTypeAheadChar(); });
                return true;
            }
            const QString text = ke->text();
            if (text.size() == 1 && text.at(0).isPrint() && !(ke->modifiers() & Qt::ControlModifier)) {
                // Characters above "0" go to the type-ahead; the others (blank,
                // "0", "-", ".", "/") do nothing.
                if (text.at(0).unicode() > u'0')
                    RunGuarded([this, text] { AddTypeAhead(text); });
                return true;
            }
        }
    }
    return TRefListForm::eventFilter(watched, event);
}

void TfrmListBenef::resizeEvent(QResizeEvent* event)
{
    TRefListForm::resizeEvent(event);
    grdBenef->setColumnWidth(0, std::max(60, width() - 295));
}
