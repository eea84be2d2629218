#include "refdata/UPJFile.h"

#include "core/Guard.h"
#include "data/ShownRow.h"
#include "data/WriteGuard.h"
#include "ui/FormKit.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

constexpr int StoredRole = Qt::UserRole + 1;    // the text as stored, put back by Cancel
constexpr int AddressRole = Qt::UserRole + 2;   // first cell: the engine's address of the row
constexpr int VersionRole = Qt::UserRole + 3;   // first cell: the version it was read at

// Cell editors: a small integer for the number, at most 60 characters for the label.
class PJDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        auto* e = new QLineEdit(parent);
        if (index.column() == 0)
            LimitToWholeNumbers(e, SmallIntMin, SmallIntMax);
        else
            e->setMaxLength(TfrmPJFile::MaxLabelLength);
        (void)option;
        return e;
    }
};

db::Value NumValue(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? db::Value(qint64(n)) : db::Value();
}

} // namespace

TfrmPJFile::TfrmPJFile(QWidget* parent)
    : TEditorWindow(Options{.writeRightItem = QStringLiteral("mnPJ"),
                            .statusWidths = {120},
                            .modePanel = 0,
                            .closeRule = CloseRule::Discard,
                            .recolourEntryPanel = false},
                    parent)
{
    setObjectName(QStringLiteral("frmPJFile"));
    setWindowTitle(QStringLiteral("Pièces jointes"));
    resize(640, 440);

    // Commands: no write right is asked of the user for these labels.
    const auto browseOnRow = [this] { return Mode() == emBrowse && HasRows(); };
    mnAdd = AddCommand("mnAdd", QStringLiteral("Nouvelle PPO"), When::Browse, [this] { btnAddClick(); });
    mnEdit = AddCommand("mnEdit", QStringLiteral("Modifier la PPO sélectionnée"), browseOnRow,
                        [this] { btnEditClick(); });
    mnDelete = AddCommand("mnDelete", QStringLiteral("Supprimer la PPO sélectionnée"), browseOnRow,
                          [this] { btnDeleteClick(); });
    mnPost = AddCommand("mnPost", QStringLiteral("Enregistrer les modifications"), When::Editing,
                        [this] { btnPostClick(); });
    mnCancel = AddCommand("mnCancel", QStringLiteral("Annuler les modifications"), When::Editing,
                          [this] { CancelEntry(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(9, 9, 9, 0);
    btnAdd = MakeButton(this, "btnAdd", QStringLiteral("Nouveau"), mnAdd->text(), QStyle::SP_FileIcon);
    btnEdit = MakeButton(this, "btnEdit", QStringLiteral("Modifier"), mnEdit->text(), QStyle::SP_FileDialogDetailedView);
    btnDelete = MakeButton(this, "btnDelete", QStringLiteral("Supprimer"), mnDelete->text(), QStyle::SP_TrashIcon);
    btnPost = MakeButton(this, "btnPost", QStringLiteral("Enregistrer"), mnPost->text(), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"), mnCancel->text(),
                           QStyle::SP_DialogCancelButton);
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QString(), QStyle::SP_DialogCloseButton);
    const std::pair<QPushButton*, QAction*> bound[] = {
        {btnAdd, mnAdd}, {btnEdit, mnEdit}, {btnDelete, mnDelete}, {btnPost, mnPost}, {btnCancel, mnCancel}};
    for (const auto& [button, command] : bound) {
        BindButton(button, command);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);

    grdPJ = new QTableWidget(0, 2, this);
    grdPJ->setObjectName(QStringLiteral("grdPJ"));
    grdPJ->setHorizontalHeaderLabels({QStringLiteral("N°"), QStringLiteral("Libellé")});
    grdPJ->verticalHeader()->hide();
    grdPJ->horizontalHeader()->setStretchLastSection(true);
    grdPJ->setColumnWidth(0, 70);
    grdPJ->setItemDelegate(new PJDelegate(grdPJ));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(9, 0, 9, 0);
    body->addWidget(grdPJ);
    layout->addLayout(body, 1);
    layout->addWidget(stBar);

    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { close(); }));
    connect(grdPJ, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int oldRow, int) { RowChanged(row, oldRow); });
}

TfrmPJFile::~TfrmPJFile() = default;

void TfrmPJFile::FormShow()
{
    ReadRows();
}

bool TfrmPJFile::HasRows() const
{
    return grdPJ->rowCount() > 0;
}

TShownRow TfrmPJFile::ShownRow() const
{
    const int r = Mode() == emBrowse ? grdPJ->currentRow() : m_editRow;
    const QTableWidgetItem* item = r >= 0 ? grdPJ->item(r, 0) : nullptr;
    if (!item || item->data(AddressRole).toByteArray().isEmpty())
        return {};
    return TShownRow::ByDbKey(QStringLiteral("PJ"), item->data(AddressRole).toByteArray(),
                              item->data(VersionRole).toLongLong());
}

void TfrmPJFile::SetStoredRow(int r, const TAttachmentStore::Row& row)
{
    const QString texts[] = {db::toText(row.num), row.label};
    for (int c = 0; c < 2; ++c) {
        QTableWidgetItem* item = grdPJ->item(r, c);
        if (!item) {
            item = new QTableWidgetItem;
            grdPJ->setItem(r, c, item);
        }
        item->setText(texts[c]);
        item->setData(StoredRole, texts[c]);
    }
    grdPJ->item(r, 0)->setData(AddressRole, row.dbKey);
    grdPJ->item(r, 0)->setData(VersionRole, row.version);
}

void TfrmPJFile::ReadRows(const QByteArray& current)
{
    const QList<TAttachmentStore::Row> rows = m_store.ReadAll();
    m_moving = true;
    grdPJ->setRowCount(0);
    grdPJ->setRowCount(int(rows.size()));
    int currentRow = 0;
    for (int r = 0; r < rows.size(); ++r) {
        SetStoredRow(r, rows[r]);
        if (!current.isEmpty() && rows[r].dbKey == current)
            currentRow = r;
    }
    if (grdPJ->rowCount() > 0)
        grdPJ->setCurrentCell(currentRow, 1);
    m_moving = false;
    m_editRow = -1;
    SetMode(emBrowse);
}

void TfrmPJFile::ShowStoredRow()
{
    const QTableWidgetItem* item = m_editRow >= 0 ? grdPJ->item(m_editRow, 0)
                                 : grdPJ->currentRow() >= 0 ? grdPJ->item(grdPJ->currentRow(), 0) : nullptr;
    ReadRows(item ? item->data(AddressRole).toByteArray() : QByteArray());
}

void TfrmPJFile::ModeChanged()
{
    const bool editing = Mode() != emBrowse;
    grdPJ->setSelectionBehavior(editing ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    grdPJ->setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                         | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                   : QAbstractItemView::NoEditTriggers);
    // Only the row being edited takes input.
    for (int r = 0; r < grdPJ->rowCount(); ++r)
        for (int c = 0; c < 2; ++c)
            if (QTableWidgetItem* item = grdPJ->item(r, c)) {
                Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
                if (editing && r == m_editRow)
                    f |= Qt::ItemIsEditable;
                item->setFlags(f);
            }
    // Browsing shows the current row selected whole.
    if (!editing && grdPJ->currentRow() >= 0)
        grdPJ->selectRow(grdPJ->currentRow());
}

void TfrmPJFile::btnAddClick()
{
    if (Mode() != emBrowse)
        return;
    const int at = std::max(0, grdPJ->currentRow());
    m_moving = true;
    grdPJ->insertRow(at);
    for (int c = 0; c < 2; ++c)
        grdPJ->setItem(at, c, new QTableWidgetItem);
    m_editRow = at;
    SetMode(emInsert);
    grdPJ->setCurrentCell(at, 0);
    m_moving = false;
    grdPJ->setFocus();
    grdPJ->editItem(grdPJ->item(at, 0));
}

void TfrmPJFile::btnEditClick()
{
    if (Mode() != emBrowse || grdPJ->currentRow() < 0)
        return;
    m_editRow = grdPJ->currentRow();
    SetMode(emEdit);
    grdPJ->setFocus();
    grdPJ->editItem(grdPJ->item(m_editRow, std::max(0, grdPJ->currentColumn())));
}

void TfrmPJFile::CommitEditor()
{
    // Takes what is typed in an open cell editor into its cell.
    for (QLineEdit* editor : grdPJ->viewport()->findChildren<QLineEdit*>()) {
        if (!editor->isVisible())
            continue;
        emit grdPJ->itemDelegate()->commitData(editor);
        emit grdPJ->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TfrmPJFile::btnPostClick()
{
    if (Mode() == emBrowse)
        return;
    CommitEditor();
    TAttachmentStore::Row row;
    row.num = NumValue(grdPJ->item(m_editRow, 0)->text());
    row.label = CutText(grdPJ->item(m_editRow, 1)->text(), MaxLabelLength);
    row.dbKey = grdPJ->item(m_editRow, 0)->data(AddressRole).toByteArray();
    {
        TWriteGuard write;
        if (Mode() == emInsert)
            row.dbKey = m_store.Insert(row.num, row.label);
        else
            m_store.Update(row.dbKey, row.num, row.label);
        write.Commit();
    }
    // The row as now stored, with the version the next change is checked against.
    row.version = ReadRowVersion(TShownRow::ByDbKey(QStringLiteral("PJ"), row.dbKey, -1));
    m_moving = true;
    SetStoredRow(m_editRow, row);
    m_moving = false;
    m_editRow = -1;
    SetMode(emBrowse);
}

void TfrmPJFile::btnCancelClick()
{
    if (Mode() == emBrowse)
        return;
    const int row = m_editRow;
    const bool inserting = Mode() == emInsert;
    m_editRow = -1;
    CommitEditor();
    m_moving = true;
    if (inserting) {
        grdPJ->removeRow(row);
    } else {
        for (int c = 0; c < 2; ++c)
            if (QTableWidgetItem* item = grdPJ->item(row, c))
                item->setText(item->data(StoredRole).toString());
    }
    m_moving = false;
    SetMode(emBrowse);
}

void TfrmPJFile::btnDeleteClick()
{
    const int row = grdPJ->currentRow();
    if (Mode() != emBrowse || row < 0)
        return;
    const QByteArray dbKey = grdPJ->item(row, 0)->data(AddressRole).toByteArray();
    // Removed at once, without a question, and committed; refused when another
    // user changed or deleted the row since it was read.
    WriteShownRow([&] {
        TWriteGuard write;
        m_store.Delete(dbKey);
        write.Commit();
    });
    m_moving = true;
    grdPJ->removeRow(row);
    m_moving = false;
    SetMode(emBrowse);
}

void TfrmPJFile::RowChanged(int newRow, int oldRow)
{
    if (m_moving)
        return;
    if (Mode() == emBrowse) {
        // The row a change or a deletion will be checked against.
        RunGuarded([this] { ShownRowRewritten(); });
        return;
    }
    // Leaving the row being edited saves it, as a data grid does; when the save
    // fails the grid stays on that row.
    if (oldRow != m_editRow || newRow == m_editRow)
        return;
    if (!SaveEntry()) {
        m_moving = true;
        QMetaObject::invokeMethod(this, [this] {
            if (m_editRow >= 0)
                grdPJ->setCurrentCell(m_editRow, std::max(0, grdPJ->currentColumn()));
            m_moving = false;
        }, Qt::QueuedConnection);
    }
}
