#pragma once
// Chooses a row in a picker of the list-and-record pattern (budget lines,
// beneficiaries...) and presses its OK button.

#include "ui/ListRecordPattern.h"

#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

// Makes the row whose `field` is `id` current in `list` and presses OK; a row
// that is not there fails the test and closes the picker.
inline void ChooseRow(TRefListForm* list, const QString& field, qint64 id)
{
    QueryTableModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (db::toInt(m->value(r, field)) == id) {
            list->grid()->setCurrentIndex(m->index(r, 0));
            list->btnOk->click();
            return;
        }
    ADD_FAILURE() << "row " << id << " not in the picker";
    list->reject();
}
