#include "budget/UListEng.h"

#include "budget/UEngagement.h"
#include "budget/UFilterEng.h"
#include "budget/UFindFE.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "data/AccessRights.h"
#include "data/BudgetQueries.h"
#include "data/RowCriteria.h"
#include "data/WriteGuard.h"
#include "refdata/RefDataStore.h"
#include "reports/commitments/URptListEng.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor kEconomie(239, 254, 188);
const QColor kChapters(255, 255, 202);

} // namespace

TfrmListEng::TfrmListEng(QWidget* parent)
    : TListingWindow(parent, "grdFE")
{
    setObjectName(QStringLiteral("frmListEng"));
    setWindowTitle(QStringLiteral("Listing des Engagements"));
    grdFE = grid();

    using B = Button;
    mnModif = AddCommand("mnModif", QStringLiteral("Engagement"), [this] { btnModifClick(); }, QKeySequence(),
                         B{"btnModif", QStringLiteral("Modifier"), QStringLiteral("Mise à jour des engagements"),
                           QStyle::SP_FileDialogDetailedView},
                         &btnModif);
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer l'engagement"), [this] { btnDeleteClick(); },
                          QKeySequence(Qt::CTRL | Qt::Key_Delete),
                          B{"btnDelete", QStringLiteral("Supprimer"), QStringLiteral("Supprimer l'engagement"),
                            QStyle::SP_TrashIcon},
                          &btnDelete);
    AddMenuSeparator();
    mnFilter = AddCommand("mnFilter", QStringLiteral("Filtrer"), [this] { btnFilterClick(); }, QKeySequence(),
                          B{"btnFilter", QStringLiteral("Filtrer"), QStringLiteral("Filtrer"),
                            QStyle::SP_FileDialogListView},
                          &btnFilter);
    mnCancelFilter = AddCommand("mnCancelFilter", QStringLiteral("Annuler le filtre"), [this] { CancelFilter(); });
    mnDetail = AddCommand("mnDetail", QStringLiteral("Voir le détail de l'engagement"), [this] { btnModifClick(); });
    mnFind = AddCommand("mnFind", QStringLiteral("Chercher un engagement"), [this] { btnFindClick(); },
                        QKeySequence(Qt::Key_F3),
                        B{"btnFind", QStringLiteral("Chercher"), QStringLiteral("Chercher un engagement"),
                          QStyle::SP_FileDialogContentsView},
                        &btnFind);
    mnPrint = AddCommand("mnPrint", QStringLiteral("Imprimer le listing"), [this] { btnPrintClick(); },
                         QKeySequence(Qt::CTRL | Qt::Key_P),
                         B{"btnPrint", QStringLiteral("Imprimer"), QStringLiteral("Imprimer le listing"),
                           QStyle::SP_FileIcon},
                         &btnPrint);
    AddMenuSeparator();
    mnClose = AddCommand("mnClose", QStringLiteral("Fermer"), [this] { close(); });
    EndToolBar();

    using F = QueryTableModel;
    const TColumnStyle bold{QColor(), true}, balance{QColor(), false, false};
    AddColumn("NO_ENG", "No ", F::Text, Qt::AlignCenter);
    AddColumn("DATE_ENG", "Date", F::Date, Qt::AlignCenter);
    AddColumn("CHAP", "Chap", F::Text, Qt::AlignCenter, bold);
    AddColumn("ART", "Art", F::Text, Qt::AlignCenter);
    AddColumn("PAR", "Par", F::Text, Qt::AlignCenter);
    AddColumn("OLD_SOLDE", "Anc. Solde", F::Money, Qt::AlignRight, balance);
    AddColumn("MONTANT", "Montant", F::Money, Qt::AlignRight, bold);
    AddColumn("NEW_SOLDE", "Nouv. Solde", F::Money, Qt::AlignRight, balance);
    AddColumn("NO_VISA", "Visa", F::Text);
    AddColumn("DATE_VISA", "Date visa", F::Date, Qt::AlignCenter);
    QueryTableModel* m = Rows();
    m->setKeyFields({QStringLiteral("ID_ENG")});
    m->setRowTint([](int, const QueryRow& r) {
        return TCommitmentListing::RowOf(r).objet == SheetObject::Economy ? kEconomie : QColor();
    });
    const int date = DateColumnWidth();
    const int widths[] = {50, date, 56, 36, 36, 130, 120, 130, 80, date};
    for (int c = 0; c < 10; ++c)
        grdFE->setColumnWidth(c, widths[c]);
    grdFE->horizontalHeader()->setStretchLastSection(true);

    // The chapters beside the sheets, and the toggle that narrows to one.
    auto* side = new QVBoxLayout;
    grdChap = new QTableView(this);
    grdChap->setObjectName(QStringLiteral("grdChap"));
    grdChap->verticalHeader()->hide();
    grdChap->verticalHeader()->setDefaultSectionSize(20);
    grdChap->setFixedWidth(100);
    grdChap->setStyleSheet(QStringLiteral("QTableView { background: %1; }").arg(kChapters.name()));
    m_chapters = new QueryTableModel(this);
    QueryTableModel::Column chap;
    chap.field = QStringLiteral("CHAP");
    chap.title = QStringLiteral("Chapitre");
    chap.format = QueryTableModel::Text;
    chap.alignment = Qt::AlignCenter;
    chap.bold = true;
    m_chapters->addColumn(chap);
    m_chapters->setKeyFields({QStringLiteral("CHAP")});
    m_chapters->attachView(grdChap);
    grdChap->horizontalHeader()->setStretchLastSection(true);
    btnFilterChap = MakeButton(this, "btnFilterChap", QStringLiteral("OK"), QStringLiteral("Filtrer sur le chapitre"));
    btnFilterChap->setCheckable(true);
    btnFilterChap->setFocusPolicy(Qt::NoFocus);
    side->addWidget(grdChap, 1);
    side->addWidget(btnFilterChap);
    Body()->addLayout(side);

    connect(grdFE, &QTableView::doubleClicked, this, Guarded([this] { btnModifClick(); }));
    connect(btnFilterChap, &QPushButton::clicked, this, Guarded([this] { btnFilterChapClick(); }));
    connect(m_chapters, &QueryTableModel::currentRowChanged, this, [this] {
        if (btnFilterChap->isChecked())
            RunGuarded([this] { ShowFiltered(); });
    });

    resize(1000, 560);
}

TfrmListEng::~TfrmListEng() = default;

void TfrmListEng::FormShow()
{
    m_canWrite = CanWrite(MenuItem::mnEng_List, CurrentUserId);
    m_filter = TCommitmentCriteria::Reset();
    CancelFilter();
    ReadSheets();
    TListingRows chapters = TNomenclatureStore().ReadChapters();
    m_chapters->setRows(chapters.names, std::move(chapters.rows));
}

void TfrmListEng::ReadSheets()
{
    TListingRows rows = m_listing.Read();
    // The last number of each line, as the database orders numbers.
    m_lastNumber = TCommitmentListing::LastNumbers(rows);
    ShowRows(std::move(rows));
    ShowFiltered();
}

QString TfrmListEng::ChapterShown() const
{
    if (!btnFilterChap->isChecked() || m_chapters->isEmpty())
        return QString();
    return TNomenclatureStore::ChapterOf(m_chapters->current());
}

void TfrmListEng::ShowFiltered()
{
    // The chapter narrows the rows the criteria keep.
    const QList<db::Value> key = Rows()->currentKey();
    const TCommitmentCriteria none = TCommitmentCriteria::Reset();
    Rows()->setFilter(m_listing.RowFilter(FilterActive() ? m_filter : none, ChapterShown()));
    if (!key.isEmpty())
        Rows()->locate(key);
}

void TfrmListEng::UpdateCommands()
{
    const bool rows = !Rows()->isEmpty();
    const TCommitmentListing::Row r = TCommitmentListing::RowOf(Rows()->current());
    const bool user = rows && r.origine == SheetOrigin::User;
    bool deletable = false;
    if (user && r.visa.trimmed().isEmpty() && r.statut == SheetInForce) {
        deletable = r.number.trimmed().isEmpty()
                 || criteria::CompareStoredText(m_lastNumber.value(r.idFnm), r.number) == 0;
    }
    mnModif->setEnabled(user);
    mnDetail->setEnabled(user);
    mnDelete->setEnabled(deletable);
    mnPrint->setEnabled(true);
    mnFind->setEnabled(true);
    mnCancelFilter->setEnabled(FilterActive());
}

void TfrmListEng::btnModifClick()
{
    if (Rows()->isEmpty())
        return;
    const TCommitmentListing::Row r = TCommitmentListing::RowOf(Rows()->current());
    // Only expense commitments open; the other sheets have their own windows.
    if (r.origine != SheetOrigin::User)
        return;
    {
        TfrmEngagement frm(this);
        frm.ObjetEng = r.objet;
        frm.IdEng = r.idEng;
        frm.exec();
    }
    // The sheet may have changed there (lines, visa, a new sheet after it).
    TWaitCursor wait;
    ReadSheets();
}

void TfrmListEng::btnDeleteClick()
{
    if (Rows()->isEmpty())
        return;
    const TCommitmentListing::Row r = TCommitmentListing::RowOf(Rows()->current());
    if (!r.visa.trimmed().isEmpty()) {
        ShowInfo(QStringLiteral("Fiche visée, suppression impossible !"));
        return;
    }
    if (!m_canWrite)
        DenyWriteAccess();
    if (!AskDeletionTwice(QStringLiteral("Etes-vous sûr de vouloir supprimer cette fiche ?"),
                          QStringLiteral("Confirmez la suppression définitive de cette fiche ?")))
        return;
    const qint64 id = r.idEng;
    TVerdict refusal;
    {
        TWaitCursor wait;
        TWriteGuard write;
        // The sheet as it stands now, inside the deleting transaction.
        refusal = TCommitmentListing::DeleteRefusal(id);
        if (!refusal) {
            m_store.DeleteSheet(id);
            write.Commit();
        }
    }
    if (refusal)
        ShowRefusal(*refusal, nullptr);
    TWaitCursor wait;
    ReadSheets();
}

void TfrmListEng::btnFilterClick()
{
    if (!AskCriteria<TfrmFilterEng>(m_filter))
        return;
    TWaitCursor wait;
    ApplyFilter(m_filter);
}

void TfrmListEng::ApplyFilter(const TCommitmentCriteria& filter)
{
    // The criteria chosen are the whole filter: none lists every sheet again.
    m_filter = filter;
    FilterChosen(!filter.IsEmpty());
}

void TfrmListEng::btnFilterChapClick()
{
    ShowFiltered();
    Rows()->setCurrentRow(0);
}

void TfrmListEng::btnFindClick()
{
    TfrmFindFE dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const qint64 idFnm = TCommitmentListing::FindBudgetLine(dialog.FoundChap, dialog.FoundArt, dialog.FoundPar);
    if (!Rows()->locate({QStringLiteral("ID_FNM"), QStringLiteral("NO_ENG")},
                        {db::Value(idFnm), db::Value(dialog.FoundNoFE)}))
        ShowInfo(QStringLiteral("Fiche d'engagement introuvable ! "));
}

void ReadCommitmentListing(QueryTableModel& rows, const QString& chap)
{
    TCommitmentListing listing;
    TListingRows read = listing.Read();
    rows.setRows(read.names, std::move(read.rows));
    rows.setFilter(listing.RowFilter(TCommitmentCriteria::Reset(), chap));
}

void TfrmListEng::btnPrintClick()
{
    TfrmRptListEng form;
    form.UseListing(*Rows());
    form.Preview(this);
}
