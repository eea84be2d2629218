#include "refdata/UListTable.h"

#include "refdata/RefDataStore.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "security/Rights.h"
#include "data/WriteGuard.h"
#include "refdata/UTableSQL.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

namespace {

struct CodeTableName {
    const char* table;
    const char* key;
};
// The code tables this window keeps; their names go into the SQL text, so
// nothing else is accepted.
constexpr CodeTableName CodeTables[] = {
    {"AGENCE", "ID_AGENCE"},
    {"FWIL", "ID_WIL"},
    {"GRADE", "ID_GRADE"},
    {"FRET", "ID_RETENUE"},
};

} // namespace

bool TfrmListTable::IsCodeTable(const QString& table, const QString& keyField)
{
    for (const auto& t : CodeTables)
        if (table == QLatin1String(t.table) && keyField == QLatin1String(t.key))
            return true;
    return false;
}

TfrmListTable::TfrmListTable(QWidget* parent) : TRefListForm(Options{}, parent)
{
    setObjectName(QStringLiteral("frmListTable"));
    resize(420, 460);
    grdTable = grid();
    grdTable->setObjectName(QStringLiteral("grdTable"));
    mnPrint = new QAction(QStringLiteral("Imprimer le listing"), this);
    mnPrint->setObjectName(QStringLiteral("mnPrint"));
    PopMenu->insertAction(mnClose, mnPrint);   // an entry without action

    model()->addColumn(QStringLiteral("LIBELLE"), QStringLiteral("Libellé"));
    model()->setRowTint(EvenRowTint(QColor(0xEA, 0xEA, 0xEA)));
    FollowRowCount(model(), stBar, 2, QStringLiteral(" Elément(s)"));
}

TfrmListTable::~TfrmListTable() = default;

void TfrmListTable::FormShow()
{
    setWindowTitle(FormCaption);
    stBar->SetPanel(0, CurrentUserCode);
    if (!IsCodeTable(CodeTable, KeyField))
        throw std::runtime_error("Table de codes inconnue : " + CodeTable.toStdString());
    model()->setKeyFields({KeyField});
    m_table = std::make_unique<TCodeTableStore>(CodeTable, KeyField);
    model()->setReader([this] { return m_table->ReadAll(); });
    model()->reload();
    if (!model()->locate({db::Value(IdTable)}))
        model()->setCurrentRow(0);
}

void TfrmListTable::RunRecordWindow()
{
    TfrmTable f(this, this);
    f.ObjectName = ObjectName;
    f.IdTable = model()->isEmpty() ? 0 : m_table->KeyOf(model()->current());
    f.KeyField = KeyField;
    f.CodeTable = CodeTable;
    f.FormCaption = FormCaption;
    f.exec();
}

void TfrmListTable::DeleteCurrent()
{
    if (!CanWrite(ObjectName, CurrentUserId))
        DenyWriteAccess();
    if (!AskConfirmation(QStringLiteral("Etes-vous sûr de vouloir supprimer cet enregistrement ?")))
        return;
    const qint64 key = m_table->KeyOf(model()->current());
    {
        TWriteGuard write;
        m_table->Delete(key);
        write.Commit();
    }
    model()->refresh();
    model()->setCurrentRow(0);
}

void TfrmListTable::SetResults(bool ok)
{
    if (ok && !model()->isEmpty()) {
        IdTable = m_table->KeyOf(model()->current());
        Libelle = TCodeTableStore::LabelOf(model()->current());
    } else {
        IdTable = -1;
        Libelle.clear();
    }
}
