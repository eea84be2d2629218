#include "refdata/UListFNM.h"

#include "data/MenuItems.h"
#include "refdata/RefDataStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "refdata/UFNMSQL.h"

#include <QAction>
#include <QBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

const QString ExpenseRefusal =
    QStringLiteral("Des dépenses ont été saisies pour cette Imputation !\rSuppression impossible.");
const QString BudgetRefusal =
    QStringLiteral("Un budget a été mis en place pour cette imputation !\rSuppression impossible.");

} // namespace

TDropDownBox::TDropDownBox(QWidget* parent) : QComboBox(parent)
{
    // A list of maxVisibleItems rows under the box, whatever the style's habit.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

void TDropDownBox::showPopup()
{
    emit DropDown();
    m_open = true;
    QComboBox::showPopup();
}

void TDropDownBox::hidePopup()
{
    QComboBox::hidePopup();
    if (!m_open)
        return;
    m_open = false;
    // After the event that closed the list, which sets the chosen row.
    QMetaObject::invokeMethod(this, &TDropDownBox::CloseUp, Qt::QueuedConnection);
}

bool BudgetLineDeletable(qint64 idFnm)
{
    TNomenclatureStore::Usage usage;
    {
        TWaitCursor wait;
        usage = TNomenclatureStore().UsageOf(idFnm);
    }
    if (usage.expenses) {
        ShowMessageBox(ExpenseRefusal, mtWarning, MsgButton::OK);
        return false;
    }
    if (usage.budget) {
        ShowMessageBox(BudgetRefusal, mtWarning, MsgButton::OK);
        return false;
    }
    return true;
}

bool DeleteBudgetLine(qint64 idFnm)
{
    // Before the question, and again inside the deleting transaction: the
    // line may have been given an expense, a sheet or a budget while it was asked.
    return BudgetLineDeletable(idFnm)
        && ConfirmAndDelete(QStringLiteral("Etes-vous sûr de vouloir supprimer cette imputation ?"),
                            [idFnm] { TNomenclatureStore().Delete(idFnm); },
                            [idFnm] { return !BudgetLineDeletable(idFnm); });
}

TfrmListFNM::TfrmListFNM(QWidget* parent) : TRefListForm(Options{}, parent)
{
    setObjectName(QStringLiteral("frmListFNM"));
    setWindowTitle(QStringLiteral("Nomenclature budgétaire"));
    resize(820, 560);
    grdBudget = grid();
    grdBudget->setObjectName(QStringLiteral("grdBudget"));
    btnModif->setToolTip(QStringLiteral("Mise à jour de la nomenclature - Dépenses"));
    btnFind = MakeButton(pnlTop, "btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher une imputation"));
    m_topLayout->insertWidget(2, btnFind);

    lChap = new QLabel(QStringLiteral("Chapitre : "), pnlTop);
    lChap->setObjectName(QStringLiteral("lChap"));
    cmbChap = new TDropDownBox(pnlTop);
    cmbChap->setObjectName(QStringLiteral("cmbChap"));
    cmbChap->setMaxVisibleItems(15);
    cmbChap->setMinimumContentsLength(6);
    lChap->setBuddy(cmbChap);
    const int okAt = m_topLayout->indexOf(btnOk);
    m_topLayout->insertWidget(okAt, cmbChap);
    m_topLayout->insertWidget(okAt, lChap);
    m_topLayout->insertSpacing(okAt, 16);
    lChap->hide();
    cmbChap->hide();

    mnModif->setShortcut(QKeySequence(Qt::Key_F2));
    mnDelete->setText(QStringLiteral("&Supprimer"));
    mnDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mnFind = MakeCommand(this, "mnFind", QStringLiteral("Chercher"), [this] { btnFindClick(); },
                         QKeySequence(Qt::Key_F3));
    BindButton(btnFind, mnFind);
    PopMenu->insertAction(mnClose, mnFind);
    mnClose->setText(QStringLiteral("&Fermer"));
    for (QAction* a : {mnModif, mnDelete, mnFind, mnClose})
        addAction(a);

    QueryTableModel::Column c;
    for (auto [field, title] : {std::pair{"CHAP", "Chap."}, std::pair{"ART", "Art."}, std::pair{"PAR", "Par."}}) {
        c.field = QString::fromLatin1(field);
        c.title = QString::fromLatin1(title);
        c.alignment = Qt::AlignCenter;
        model()->addColumn(c);
    }
    model()->addColumn(QStringLiteral("INTITULE"), QStringLiteral("Intitulé"));
    model()->setKeyFields({QStringLiteral("ID_FNM")});
    // Chapter headings (no article, no paragraph) in bold on pale green-yellow.
    model()->setRowTint([](int, const QueryRow& r) {
        return TNomenclatureStore::IsChapterHeading(r) ? QColor(239, 254, 188) : QColor();
    });
    model()->setRowFont([](int, const QueryRow& r, const QFont& base) {
        QFont f = base;
        f.setBold(TNomenclatureStore::IsChapterHeading(r));
        return f;
    });
    SetSelectionColors(grdBudget, palette().color(QPalette::Highlight), Qt::white);
    grdBudget->setColumnWidth(0, 70);
    grdBudget->setColumnWidth(1, 50);
    grdBudget->setColumnWidth(2, 50);

    model()->setReader([this] { return m_store.ReadAll(); });

    // Opening the list first clears the choice: closing it without one shows every line.
    connect(cmbChap, &TDropDownBox::DropDown, this, [this] { cmbChap->setCurrentIndex(-1); });
    connect(cmbChap, &TDropDownBox::CloseUp, this, Guarded([this] { cmbChapCloseUp(); }));
    FollowRowCount(model(), stBar, 2);
}

TfrmListFNM::~TfrmListFNM() = default;

void TfrmListFNM::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnFNM, CurrentUserId);
    stBar->SetPanel(0, CurrentUserCode);
    stBar->SetPanel(1, FiscalYear);
    const QString remembered = IniReadString(IniPath, QStringLiteral("LIST_FNM"), QStringLiteral("CHAP"));
    lChap->setVisible(SelectMode);
    cmbChap->setVisible(SelectMode);
    if (SelectMode) {
        cmbChap->clear();
        cmbChap->addItems(m_store.Chapters());
        cmbChap->setCurrentIndex(-1);
    }
    model()->reload();
    if (SelectMode && !remembered.trimmed().isEmpty()) {
        cmbChap->setCurrentIndex(cmbChap->findText(remembered.trimmed()));
        ApplyChapterFilter();
    }
}

void TfrmListFNM::ApplyChapterFilter()
{
    // The chapter filter is done on the client, on the rows already read.
    const QString chapter = cmbChap->currentIndex() < 0 ? QString() : cmbChap->currentText().trimmed();
    if (chapter.isEmpty())
        model()->setFilter(nullptr);
    else
        model()->setFilter(QueryTableModel::FieldEquals(QStringLiteral("CHAP"), chapter));
    UpdateButtons();
}

void TfrmListFNM::cmbChapCloseUp()
{
    ApplyChapterFilter();
}

void TfrmListFNM::UpdateButtons()
{
    const bool rows = !model()->isEmpty();
    mnDelete->setEnabled(rows);
    mnFind->setEnabled(rows);
}

void TfrmListFNM::btnFindClick()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Rechercher un chapitre"),
                                               QStringLiteral("Tapez le No du chapitre : "), QLineEdit::Normal,
                                               QString(), &ok);
    if (ok && !text.isEmpty())
        FindChapter(text);
}

void TfrmListFNM::FindChapter(const QString& chapter)
{
    if (!model()->locate({QStringLiteral("CHAP")}, {db::Value(chapter)}))
        ShowInfo(chapter + QStringLiteral(" : Ce chapitre est introuvable ! "));
}

void TfrmListFNM::RunRecordWindow()
{
    TfrmFNMSQL f(this);
    f.IdFnm = model()->isEmpty() ? -1 : TNomenclatureStore::LineOf(model()->current()).id;
    f.exec();
}

void TfrmListFNM::DeleteCurrent()
{
    if (!m_canWrite)
        DenyWriteAccess();
    if (DeleteBudgetLine(TNomenclatureStore::LineOf(model()->current()).id)) {
        model()->refresh();
        }
}

void TfrmListFNM::SetResults(bool ok)
{
    if (ok && !model()->isEmpty()) {
        const TBudgetLineEntry line = TNomenclatureStore::LineOf(model()->current());
        IdFnm = line.id;
        Chap = line.chap;
        Art = line.art;
        Par = line.par;
        Intitule = line.intitule;
    } else {
        IdFnm = -1;
        Chap.clear();
        Art.clear();
        Par.clear();
        Intitule.clear();
    }
}

void TfrmListFNM::FormClose()
{
    const QString chosen = (SelectMode && cmbChap->currentIndex() >= 0) ? cmbChap->currentText().trimmed() : QString();
    IniWriteString(IniPath, QStringLiteral("LIST_FNM"), QStringLiteral("CHAP"), chosen);
}
