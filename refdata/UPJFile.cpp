#include "refdata/UPJFile.h"

#include "refdata/RefDataStore.h"

#include "core/Guard.h"
#include "ui/ListRecordPattern.h"
#include "data/UDM.h"
#include "data/WriteGuard.h"

#include <QAbstractItemDelegate>
#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

constexpr int StoredRole = Qt::UserRole + 1;   // the value as stored, to find the row again
constexpr int NullRole = Qt::UserRole + 2;     // the stored value was NULL

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

db::Value StoredValue(const QTableWidgetItem* item)
{
    if (!item || item->data(NullRole).toBool())
        return db::Value();
    return db::Value(item->data(StoredRole).toString());
}

} // namespace

TfrmPJFile::TfrmPJFile(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPJFile"));
    setWindowTitle(QStringLiteral("Pièces jointes"));
    resize(640, 440);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    btnAdd = MakeButton(this, "btnAdd", QStringLiteral("Nouveau"), QStringLiteral("Nouvelle PPO"), QStyle::SP_FileIcon);
    btnEdit = MakeButton(this, "btnEdit", QStringLiteral("Modifier"), QStringLiteral("Modifier la PPO sélectionnée"),
                         QStyle::SP_FileDialogDetailedView);
    btnDelete = MakeButton(this, "btnDelete", QStringLiteral("Supprimer"),
                           QStringLiteral("Supprimer la PPO sélectionnée"), QStyle::SP_TrashIcon);
    btnPost = MakeButton(this, "btnPost", QStringLiteral("Enregistrer"),
                         QStringLiteral("Enregistrer les modifications"), QStyle::SP_DialogSaveButton);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Annuler"), QStringLiteral("Annuler les modifications"),
                           QStyle::SP_DialogCancelButton);
    btnClose = MakeButton(this, "btnClose", QStringLiteral("Fermer"), QString(), QStyle::SP_DialogCloseButton);
    for (QPushButton* b : {btnAdd, btnEdit, btnDelete, btnPost, btnCancel})
        buttons->addWidget(b);
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
    layout->addWidget(grdPJ, 1);

    connect(btnAdd, &QPushButton::clicked, this, Guarded([this] { btnAddClick(); }));
    connect(btnEdit, &QPushButton::clicked, this, Guarded([this] { btnEditClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, Guarded([this] { btnDeleteClick(); }));
    connect(btnPost, &QPushButton::clicked, this, Guarded([this] { btnPostClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
    connect(btnClose, &QPushButton::clicked, this, Guarded([this] { close(); }));
    connect(grdPJ, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int oldRow, int) { RowChanged(row, oldRow); });

    UpdateLook();
    RunGuarded([this] { ReadRows(); });
}

TfrmPJFile::~TfrmPJFile() = default;

void TfrmPJFile::ReadRows()
{
    db::Query& q = m_store.ReadAll();
    m_moving = true;
    grdPJ->setRowCount(0);
    grdPJ->setRowCount(q.rowCount());
    int r = 0;
    for (q.first(); !q.eof(); q.next(), ++r) {
        for (int c = 0; c < 2; ++c) {
            const QString field = c == 0 ? QStringLiteral("NUM") : QStringLiteral("LIBELLE");
            auto* item = new QTableWidgetItem(q.asString(field));
            item->setData(StoredRole, q.asString(field));
            item->setData(NullRole, q.isNull(field));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grdPJ->setItem(r, c, item);
        }
    }
    m_moving = false;
    if (grdPJ->rowCount() > 0)
        grdPJ->setCurrentCell(0, 1);
    UpdateLook();
}

void TfrmPJFile::UpdateLook()
{
    const bool editing = m_state != psBrowse;
    const bool rows = grdPJ->rowCount() > 0;
    btnAdd->setEnabled(!editing);
    btnEdit->setEnabled(!editing && rows);
    btnDelete->setEnabled(!editing && rows);
    btnPost->setEnabled(editing);
    btnCancel->setEnabled(editing);
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
    if (m_state != psBrowse)
        return;
    const int at = std::max(0, grdPJ->currentRow());
    m_moving = true;
    grdPJ->insertRow(at);
    for (int c = 0; c < 2; ++c) {
        auto* item = new QTableWidgetItem;
        item->setData(NullRole, true);
        grdPJ->setItem(at, c, item);
    }
    m_state = psInsert;
    m_editRow = at;
    UpdateLook();
    grdPJ->setCurrentCell(at, 0);
    m_moving = false;
    grdPJ->setFocus();
    grdPJ->editItem(grdPJ->item(at, 0));
}

void TfrmPJFile::btnEditClick()
{
    if (m_state != psBrowse || grdPJ->currentRow() < 0)
        return;
    m_state = psEdit;
    m_editRow = grdPJ->currentRow();
    UpdateLook();
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
    if (m_state == psBrowse)
        return;
    CommitEditor();
    QTableWidgetItem* num = grdPJ->item(m_editRow, 0);
    QTableWidgetItem* lib = grdPJ->item(m_editRow, 1);
    const db::Value newNum = NumValue(num->text());
    const QString newLib = CutText(lib->text(), MaxLabelLength);
    {
        TWriteGuard write;
        if (m_state == psInsert) {
            m_store.Insert(newNum, newLib);
        } else {
            const db::Value oldNum = StoredValue(num);
            m_store.Update(db::isNull(oldNum) ? db::Value() : NumValue(db::toText(oldNum)), StoredValue(lib), newNum,
                           newLib);
        }
        write.Commit();
    }
    num->setText(db::toText(newNum));
    num->setData(StoredRole, db::toText(newNum));
    num->setData(NullRole, db::isNull(newNum));
    lib->setText(newLib);
    lib->setData(StoredRole, newLib);
    lib->setData(NullRole, false);
    m_state = psBrowse;
    m_editRow = -1;
    UpdateLook();
}

void TfrmPJFile::btnCancelClick()
{
    if (m_state == psBrowse)
        return;
    const int row = m_editRow;
    const PJState was = m_state;
    m_state = psBrowse;
    m_editRow = -1;
    CommitEditor();
    m_moving = true;
    if (was == psInsert) {
        grdPJ->removeRow(row);
    } else {
        for (int c = 0; c < 2; ++c)
            if (QTableWidgetItem* item = grdPJ->item(row, c))
                item->setText(item->data(StoredRole).toString());
    }
    m_moving = false;
    UpdateLook();
}

void TfrmPJFile::btnDeleteClick()
{
    const int row = grdPJ->currentRow();
    if (m_state != psBrowse || row < 0)
        return;
    const db::Value num = StoredValue(grdPJ->item(row, 0));
    const db::Value lib = StoredValue(grdPJ->item(row, 1));
    // Removed at once, without a question, and committed.
    {
        TWriteGuard write;
        m_store.Delete(db::isNull(num) ? db::Value() : NumValue(db::toText(num)), lib);
        write.Commit();
    }
    m_moving = true;
    grdPJ->removeRow(row);
    m_moving = false;
    UpdateLook();
}

void TfrmPJFile::RowChanged(int newRow, int oldRow)
{
    // Leaving the row being edited saves it, as a data grid does; when the save
    // fails the grid stays on that row.
    if (m_moving || m_state == psBrowse || oldRow != m_editRow || newRow == m_editRow)
        return;
    if (!RunGuarded([this] { btnPostClick(); })) {
        m_moving = true;
        QMetaObject::invokeMethod(this, [this] {
            if (m_editRow >= 0)
                grdPJ->setCurrentCell(m_editRow, std::max(0, grdPJ->currentColumn()));
            m_moving = false;
        }, Qt::QueuedConnection);
    }
}
