#pragma once
// TfrmRptDecVir: the decision that authorises a credit transfer (report
// "RptDecVir", "Décision de transfert de crédits", A4 portrait), printed as
// one rich text from the template "DECVIR.RTF" of the program folder with its
// placeholders filled: the university, the amount transferred (the total of
// the transfer's receiving rows) in words and figures, the fiscal year and
// today's date. The template's formatting is kept; a text longer than a page
// goes on over the next pages. A template that is missing or cannot be read
// prints nothing, and the user is told why.
//     TfrmRptDecVir form;
//     form.IdVir = idVir;
//     form.Preview(this);

#include "reports/ReportForm.h"

#include "core/Currency.h"

#include <functional>

class TfrmRptDecVir : public TReportForm {
public:
    TfrmRptDecVir();

    qint64 IdVir = -1;

    // Today's date as the decision prints it; the clock's date unless a test
    // fixes it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    // The transferred amount of a transfer: the total of its receiving rows.
    static Currency TransferredAmount(qint64 idVir);

private:
    void bdDetailBeforePrint(bool& print);

    Currency m_amount;
};
