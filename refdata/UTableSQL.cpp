#include "refdata/UTableSQL.h"

#include "refdata/RefDataStore.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/WriteGuard.h"
#include "refdata/UListTable.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

TfrmTable::TfrmTable(TfrmListTable* list, QWidget* parent)
    : TRefRecordForm(Options{.hasDelete = false,
                             .hasNavigator = false,
                             .popupIsContextMenu = true,
                             .closeQuestion = cqSaveThenClose,
                             .showFiscalYear = false},
                     parent),
      m_list(list)
{
    setObjectName(QStringLiteral("frmTable"));
    resize(560, 150);
    auto* lay = new QHBoxLayout(pnlMain);
    lay->setContentsMargins(12, 16, 12, 16);
    auto* l = new QLabel(QStringLiteral("Libellé : "), pnlMain);
    edLib = MakeEdit(pnlMain, "edLib", MaxLabelLength);
    MakeUpperCaseEdit(edLib);
    l->setBuddy(edLib);
    lay->addWidget(l);
    lay->addWidget(edLib, 1);
}

QueryTableModel* TfrmTable::Rows() const
{
    return m_list->model();
}

void TfrmTable::OpenRows()
{
    setWindowTitle(QStringLiteral("Fiche ") + FormCaption);
    if (!Rows()->locate({KeyField}, {db::Value(IdTable)}))
        Rows()->setCurrentRow(0);
}

void TfrmTable::ShowCurrent()
{
    if (Rows()->isEmpty())
        edLib->clear();
    else
        edLib->setText(TCodeTableStore::LabelOf(Rows()->current()));
}

void TfrmTable::ClearForInsert()
{
    edLib->clear();
    edLib->setFocus();
}

void TfrmTable::FocusForEdit()
{
    edLib->setFocus();
}

void TfrmTable::SaveRecord()
{
    const QString lib = CutText(edLib->text().trimmed(), MaxLabelLength).toUpper();
    edLib->setText(lib);
    if (lib.isEmpty()) {
        ShowInfo(QStringLiteral("Le libellé est obligatoire !"));
        edLib->setFocus();
        Abort();
    }
    if (!TfrmListTable::IsCodeTable(CodeTable, KeyField))
        throw std::runtime_error("Table de codes inconnue : " + CodeTable.toStdString());
    TWaitCursor wait;
    const bool inserting = Mode() == emInsert;
    TCodeTableStore table(CodeTable, KeyField);
    qint64 key = 0;
    if (!inserting) {
        if (Rows()->isEmpty())
            return;
        key = table.KeyOf(Rows()->current());
    }
    {
        TWriteGuard write;
        if (inserting)
            key = table.Insert(lib);
        else
            table.Update(key, lib);
        write.Commit();
    }
    Rows()->refresh();
    if (!Rows()->locate({KeyField}, {db::Value(key)}))
        Rows()->setCurrentRow(0);
    IdTable = key;
}
