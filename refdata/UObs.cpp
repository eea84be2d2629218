#include "refdata/UObs.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "refdata/RefDataStore.h"
#include "ui/FormKit.h"
#include "ui/QueryTableModel.h"

#include <QAction>
#include <QBoxLayout>
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

TfrmObs::TfrmObs(QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = QStringLiteral("mnObs"),
                            .statusWidths = {120},
                            .modePanel = 0,
                            // Closing saves a pending entry without a question (done()).
                            .closeRule = CloseRule::Discard,
                            .recolourEntryPanel = false},
                    parent)
{
    setObjectName(QStringLiteral("frmObs"));
    setWindowTitle(QStringLiteral("Observations de Services"));
    resize(860, 600);

    // Commands: no write right is asked of the user for these texts.
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier l'observation"),
                        [this] { return Mode() == emBrowse && m_row.has_value(); }, [this] { btnEditClick(); });
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer les modifications"), When::Editing,
                        [this] { btnPostClick(); });
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler les modifications"), When::Editing,
                          [this] { CancelEntry(); });
    mnForAll = AddCommand("mnForAll", QStringLiteral("Appliquer à tous"), When::Browse, [this] { btnForAllClick(); });

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(9, 9, 9, 0);
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
    btnEdit = MakeButton(this, "btnEdit", QStringLiteral("Modifier"), mnEdit->text(),
                         QStyle::SP_FileDialogDetailedView);
    btnPost = MakeButton(this, "btnPost", QStringLiteral("Enregistrer"), mnPost->text(), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"), mnCancel->text(),
                           QStyle::SP_DialogCancelButton);
    btnForAll = MakeButton(this, "btnForAll", mnForAll->text());
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QString(), QStyle::SP_DialogCloseButton);
    BindButton(btnEdit, mnEdit);
    BindButton(btnPost, mnPost);
    BindButton(btnCancel, mnCancel);
    BindButton(btnForAll, mnForAll);
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
    main->addLayout(layout, 1);
    main->addWidget(stBar);

    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { close(); }));

    m_chapters->setReader([this] { return m_nomenclature.ReadChapters(); });
    connect(m_chapters, &QueryTableModel::currentRowChanged, this, [this](int row) {
        if (!m_moving)
            RunGuarded([this, row] { ChapterChanged(row); });
    });
}

TfrmObs::~TfrmObs() = default;

void TfrmObs::FormShow()
{
    // The chapters of the nomenclature, the first one current.
    m_moving = true;
    m_chapters->reload();
    m_moving = false;
    if (!m_chapters->isEmpty())
        ChapterChanged(0);
}

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

TShownRow TfrmObs::ShownRow() const
{
    return m_row ? TShownRow::ByDbKey(QStringLiteral("OBS_SERVICE"), m_row->dbKey, m_row->version) : TShownRow{};
}

void TfrmObs::ChapterChanged(int row)
{
    if (row < 0 || row == m_chapRow)
        return;
    // A pending edit or new row is saved first; when that fails the chapter
    // grid goes back to the chapter being edited.
    if (Mode() != emBrowse && !SaveEntry()) {
        m_moving = true;
        m_chapters->setCurrentRow(m_chapRow);
        m_moving = false;
        Abort();
    }
    m_chapRow = row;
    ShowChapter(TNomenclatureStore::ChapterOf(m_chapters->row(row)));
}

void TfrmObs::ShowChapter(const QString& chapter)
{
    m_chap = chapter;
    m_row = m_store.Read(chapter);
    if (m_row) {
        SetMemoTexts(m_row->texts);
        SetMode(emBrowse);
    } else {
        // No texts yet for this chapter: a new row with the default texts, not saved yet.
        SetMemoTexts(DefaultTexts);
        SetMode(emInsert);
    }
}

void TfrmObs::ShowStoredRow()
{
    // The row edited as it stands now, or the chapter's row should it be gone.
    if (m_row)
        m_row = m_store.ReadAt(m_row->dbKey);
    if (m_row) {
        SetMemoTexts(m_row->texts);
        SetMode(emBrowse);
    } else {
        ShowChapter(m_chap);
    }
}

void TfrmObs::ModeChanged()
{
    // The memos are read only, on $F7F7F7, while browsing; white while editing.
    const bool editing = Mode() != emBrowse;
    for (QPlainTextEdit* m : m_memos) {
        m->setReadOnly(!editing);
        QPalette p = m->palette();
        p.setColor(QPalette::Base, editing ? QColor(Qt::white) : QColor(0xF7, 0xF7, 0xF7));
        m->setPalette(p);
    }
}

void TfrmObs::btnEditClick()
{
    if (Mode() != emBrowse || !m_row)
        return;
    SetMode(emEdit);
    mmObsBP->setFocus();
}

void TfrmObs::btnPostClick()
{
    if (Mode() == emBrowse)
        return;
    const std::array<QString, 5> texts = MemoTexts();
    {
        TWriteGuard write;
        if (Mode() == emInsert)
            m_store.Insert(m_chap, texts);
        else
            m_store.Update(m_row->dbKey, texts);
        write.Commit();
    }
    // Read back: the row's address and its new version, for the next save.
    if (Mode() == emEdit)
        ShowStoredRow();
    else
        ShowChapter(m_chap);
}

void TfrmObs::btnCancelClick()
{
    if (Mode() == emEdit) {
        ShowStoredRow();
        return;
    }
    // A new row dropped: the chapter keeps none, and nothing is shown or
    // editable until a chapter becomes current again (it then gets a new
    // default row).
    m_row.reset();
    for (QPlainTextEdit* m : m_memos)
        m->clear();
    m_chapRow = -1;
    SetMode(emBrowse);
}

void TfrmObs::btnForAllClick()
{
    if (Mode() != emBrowse)
        return;
    if (!AskConfirmation(QStringLiteral(
            "Etes-vous sûr de vouloir appliquer ces observations de service à tous les chapitres ?")))
        return;
    if (m_chapters->isEmpty())
        return;
    TWaitCursor wait;
    const int remembered = std::max(0, m_chapters->currentRow());
    // The texts of the remembered chapter's row, or the default row it gets
    // when it has none.
    const std::array<QString, 5> texts = m_row ? MemoTexts() : DefaultTexts;
    // One operation: every chapter of the nomenclature gets its row, then
    // every row the texts.
    {
        TWriteGuard write;
        m_store.SetForAll(texts);
        write.Commit();
    }
    // Back on the remembered chapter, its row now stored.
    m_chapRow = remembered;
    ShowChapter(TNomenclatureStore::ChapterOf(m_chapters->row(remembered)));
}

void TfrmObs::done(int result)
{
    // A pending entry is saved before the window closes; a failed save keeps it open.
    if (Mode() != emBrowse && !SaveEntry())
        return;
    TEditorWindow::done(result);
}
