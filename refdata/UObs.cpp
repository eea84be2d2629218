#include "refdata/UObs.h"

#include "refdata/RefDataStore.h"

#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "core/MessageBox.h"
#include "ui/QueryTableModel.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>


const std::array<QString, 5> TfrmObs::DefaultTexts = {
    QStringLiteral("PRISE EN CHARGE DE CREDITS SUIVANT L'EXTRAIT D'ORDONNANCE DE DELEGATIONS DE CREDITS 2006 - VISA N°   DU"),
    QStringLiteral("PRISE EN CHARGE DE CREDITS AU SEIN DU BUDGET MODIFICATIF, EXERCICE, SUIVANT DECISION N° :       DU"),
    QStringLiteral("RETRAIT DE CREDITS AU SEIN DU BUDGET MODIFICATIF, EXERCICE, SUIVANT DECISION N° :       DU"),
    QStringLiteral("PRISE EN CHARGE DE CREDITS SUIVANT ETATS ET DECISIONS CI-JOINTS"),
    QStringLiteral("TRANSFERT DE CREDITS SUIVANT ETATS ET DECISIONS CI-JOINTS"),
};

TfrmObs::TfrmObs(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmObs"));
    setWindowTitle(QStringLiteral("Observations de Services"));
    resize(860, 600);

    auto* layout = new QHBoxLayout(this);
    grdChapters = new QTableView(this);
    grdChapters->setObjectName(QStringLiteral("s"));
    grdChapters->verticalHeader()->hide();
    grdChapters->horizontalHeader()->setStretchLastSection(true);
    grdChapters->setFixedWidth(130);
    m_chapters = new QueryTableModel(this);
    m_chapters->addColumn(QStringLiteral("CHAP"), QStringLiteral("Chapitre"));
    m_chapters->attachView(grdChapters);
    layout->addWidget(grdChapters);

    auto* right = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    btnEdit = MakeButton(this, "btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier l'observation"),
                         QStyle::SP_FileDialogDetailedView);
    btnPost = MakeButton(this, "btnPost", QStringLiteral("Enregistrer"),
                         QStringLiteral("Enregistrer les modifications"), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"),
                           QStyle::SP_DialogCancelButton);
    btnForAll = MakeButton(this, "btnForAll", QStringLiteral("Appliquer à tous"));
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QString(), QStyle::SP_DialogCloseButton);
    for (QPushButton* b : {btnEdit, btnPost, btnCancel, btnForAll})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    right->addLayout(buttons);

    const char* names[] = {"mmObsBP", "mmObsBS", "mmObsBSN", "mmObsVAE", "mmObsVAD"};
    const QString captions[] = {
        QStringLiteral("Observation - Budget Primitif"), QStringLiteral("Observation - Budget Modificatif"),
        QStringLiteral("Observation - Budget Modificatif - Négatif"), QStringLiteral("Observation - Virements - Economie"),
        QStringLiteral("Observation - Virements - Dépense")};
    for (int i = 0; i < 5; ++i) {
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(QString::fromLatin1(names[i]));
        memo->setTabChangesFocus(true);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        LimitPlainText(memo, MaxTextLength);
        auto* l = new QLabel(captions[i], this);
        l->setBuddy(memo);
        right->addWidget(l);
        right->addWidget(memo, 1);
        m_memos[size_t(i)] = memo;
    }
    mmObsBP = m_memos[0];
    mmObsBS = m_memos[1];
    mmObsBSN = m_memos[2];
    mmObsVAE = m_memos[3];
    mmObsVAD = m_memos[4];
    layout->addLayout(right, 1);

    connect(btnEdit, &QPushButton::clicked, this, Guarded([this] { btnEditClick(); }));
    connect(btnPost, &QPushButton::clicked, this, Guarded([this] { btnPostClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(btnForAll, &QPushButton::clicked, this, Guarded([this] { btnForAllClick(); }));
    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { close(); }));

    // Creation: the chapters of the nomenclature, the first one current.
    qFNM = std::make_unique<db::Query>(DM->LURDO, TNomenclatureStore::SelectChapters());
    m_chapters->setQuery(qFNM.get());
    UpdateLook();
    RunGuarded([this] {
        qFNM->open();
        m_chapters->reload();
        if (!m_chapters->isEmpty())
            ChapterChanged(0);
    });
    connect(m_chapters, &QueryTableModel::currentRowChanged, this, [this](int row) {
        if (!m_moving)
            RunGuarded([this, row] { ChapterChanged(row); });
    });
}

TfrmObs::~TfrmObs() = default;

std::array<QString, 5> TfrmObs::MemoTexts() const
{
    std::array<QString, 5> t;
    for (size_t i = 0; i < 5; ++i)
        t[i] = m_memos[i]->toPlainText();
    return t;
}

void TfrmObs::SetMemoTexts(const std::array<QString, 5>& texts)
{
    for (size_t i = 0; i < 5; ++i)
        m_memos[i]->setPlainText(texts[i]);
}

void TfrmObs::ChapterChanged(int row)
{
    if (row < 0 || row == m_chapRow)
        return;
    // A pending edit or new row is saved first; when that fails the chapter
    // grid goes back to the chapter being edited.
    if (m_state != osBrowse) {
        try {
            Post();
        } catch (...) {
            m_moving = true;
            m_chapters->setCurrentRow(m_chapRow);
            m_moving = false;
            throw;
        }
    }
    m_chapRow = row;
    ShowChapter(m_chapters->row(row).asString(QStringLiteral("CHAP")));
}

void TfrmObs::ShowChapter(const QString& chapter)
{
    m_chap = chapter;
    const std::optional<TObservationStore::Texts> stored = m_store.Read(chapter);
    if (!stored) {
        // No texts yet for this chapter: a new row with the default texts, not saved yet.
        m_hasRow = false;
        SetMemoTexts(DefaultTexts);
        m_state = osInsert;
    } else {
        m_hasRow = true;
        m_stored = *stored;
        SetMemoTexts(m_stored);
        m_state = osBrowse;
    }
    UpdateLook();
}

void TfrmObs::Post()
{
    if (m_state == osBrowse)
        return;
    const std::array<QString, 5> texts = MemoTexts();
    {
        TWriteGuard write;
        if (m_state == osInsert)
            m_store.Insert(m_chap, texts);
        else
            m_store.Update(m_chap, m_stored, texts);
        write.Commit();
    }
    m_stored = texts;
    m_hasRow = true;
    m_state = osBrowse;
    UpdateLook();
}

void TfrmObs::UpdateLook()
{
    const bool editing = m_state != osBrowse;
    btnEdit->setEnabled(!editing && m_hasRow);
    btnForAll->setEnabled(!editing);
    btnPost->setEnabled(editing);
    btnCancel->setEnabled(editing);
    for (QPlainTextEdit* m : m_memos) {
        m->setReadOnly(!editing);
        QPalette p = m->palette();
        p.setColor(QPalette::Base, editing ? QColor(Qt::white) : QColor(0xF7, 0xF7, 0xF7));
        m->setPalette(p);
    }
}

void TfrmObs::btnEditClick()
{
    if (m_state == osBrowse && m_hasRow) {
        m_state = osEdit;
        UpdateLook();
        mmObsBP->setFocus();
    }
}

void TfrmObs::btnPostClick()
{
    Post();
}

void TfrmObs::btnCancelClick()
{
    if (m_state == osEdit) {
        SetMemoTexts(m_stored);
    } else if (m_state == osInsert) {
        // The chapter keeps no row: nothing is shown or editable until a chapter
        // becomes current again (it then gets a new default row).
        m_hasRow = false;
        for (QPlainTextEdit* m : m_memos)
            m->clear();
        m_chapRow = -1;
    }
    m_state = osBrowse;
    UpdateLook();
}

void TfrmObs::btnForAllClick()
{
    if (!AskConfirmation(QStringLiteral(
            "Etes-vous sûr de vouloir appliquer ces observations de service à tous les chapitres ?")))
        return;
    if (m_chapters->isEmpty())
        return;
    TWaitCursor wait;
    const int remembered = m_chapters->currentRow();
    // The texts of the remembered chapter's row: the pending entry when there
    // is one, the stored row, or the default row it gets when it has none.
    std::array<QString, 5> texts = (m_state != osBrowse || m_hasRow) ? MemoTexts() : DefaultTexts;
    // One operation: every chapter of the nomenclature (the current one with a
    // pending new row included) gets its row, then every row the texts.
    {
        TWriteGuard write;
        m_store.SetForAll(texts);
        write.Commit();
    }
    // Back on the remembered chapter, its row now stored.
    m_state = osBrowse;
    m_chapRow = remembered;
    ShowChapter(m_chapters->row(remembered).asString(QStringLiteral("CHAP")));
}

void TfrmObs::done(int result)
{
    // A pending entry is saved before the window closes; a failed save keeps it open.
    if (m_state != osBrowse && !RunGuarded([this] { Post(); }))
        return;
    qFNM->close();
    QDialog::done(result);
}
