#pragma once
// A year database for the tests that fill documents through the expense
// picker: empty commitment sheets and payment orders to fill, the picker
// opened on one in pick mode as the commitment and payment-order windows open
// it, and expenses picked through its add button.

#include "budget/SheetStore.h"
#include "common/DocumentFixture.h"
#include "expenditure/OrderStore.h"
#include "expenditure/UAddDep.h"
#include "ui/QueryTableModel.h"

#include <QPushButton>

#include <memory>

class PickerTest : public DocumentTest {
protected:
    // A user commitment sheet without lines, dated 01/04/2024.
    qint64 NewSheet()
    {
        TSheet s;
        s.date = QDate(2024, 4, 1);
        qint64 id = 0;
        rows::Write([&] { id = sheets.InsertUserSheet(s); });
        return id;
    }

    qint64 NewOrder(const QString& number, const QDate& date)
    {
        TOrder o;
        o.number = number;
        o.date = date;
        qint64 id = 0;
        rows::Write([&] { id = orders.InsertOrder(o); });
        return id;
    }

    // The picker on the document: mode "E" a sheet, "M" an order.
    std::unique_ptr<TfrmAddDep> Open(const char* mode, qint64 idDoc)
    {
        auto frm = std::make_unique<TfrmAddDep>();
        frm->SelectMode = true;
        frm->ModeDoc = fromDb<PickerMode>(QString::fromLatin1(mode));
        frm->TableDet = frm->IsOrder() ? QStringLiteral("DET_MDT") : QStringLiteral("DET_ENG");
        frm->IdDoc = idDoc;
        if (frm->IsOrder())
            frm->Document = std::make_unique<TOrderExpenseLines>();
        else
            frm->Document = std::make_unique<TSheetExpenseLines>();
        frm->show();
        return frm;
    }

    // Makes the expense the list's current row and presses the add button.
    static void Pick(TfrmAddDep& frm, qint64 idDepense)
    {
        ASSERT_TRUE(frm.Expenses()->locate({db::Value(idDepense)})) << idDepense << " is not listed";
        frm.btnAdd->click();
    }

    static bool Listed(TfrmAddDep& frm, qint64 idDepense) { return frm.Expenses()->findRow({db::Value(idDepense)}) >= 0; }

    TSheetStore sheets;
    TOrderStore orders;
};
