#pragma once
// TfrmRptEtatVir ("Etat de virements"): the payments of one order grouped by
// the bank that receives them, one statement per group on pages of its own,
// printed onto the pre-printed statement form (stored layout RPTETATVIR).
//
// The form asks once whether the banks are separated (one group per bank
// name) or grouped (postal cheque accounts "0", every other bank "1"). The
// rows are the run's own, built in memory from the order's lines at each run:
// two users printing at the same time never see each other's rows, and a
// reprint from the preview prints the same rows. Each page ends with the total
// of its rows and the running total of its group, which starts again with
// each group. An account longer than the form's 30 characters is printed
// whole (smaller) and the user is told.

#include "reports/ReportForm.h"

#include <QDate>

// One row of the statement.
struct TBankTransferRow {
    QString key;        // the group: a bank's name, "0", "1", or "9999" for a missing beneficiary
    qint64 idBen = -1;
    int num = 0;        // the line's rank in the order, from 1
    QString nom;
    QString compte;
    Currency montant;
};

// The rows of order `idMdt`, in group then line order. Banks `separated`: one
// group per bank name (bank not found: "??"); grouped: "0" for the postal
// cheque centre, "1" for any other bank. A line whose beneficiary is missing
// has the name "??", the account "????" and the group "9999".
std::vector<TBankTransferRow> TransferRows(qint64 idMdt, bool separated, QDate* orderDate = nullptr);
// The heading of a group: the bank's name when separated; when grouped "CCP"
// for "0" and "BANQUE" for any other key.
QString TransferGroupHeading(const QString& key, bool separated);

class TfrmRptEtatVir : public TReportForm {
public:
    TfrmRptEtatVir();

    int IdMdt = -1;
    bool Separated = false;   // the answer to the question, asked once per form

    static constexpr int AccountLength = 30;

protected:
    void FormCreate() override;

private:
    void EtatVirBeforePrint();

    rpt::TableRows m_rows;
    std::vector<TBankTransferRow> m_list;
    QDate m_orderDate;
    Currency m_running;        // the group's total so far
    bool m_groupStarts = false;
};
