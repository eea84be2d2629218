#pragma once
// TfrmRptBord_Mdt ("Bordereau d'envoi des Mandats"): the dispatch slip of a
// batch of payment orders, one line per order (number, then date) with its
// amount, budget line, bank, beneficiary and a short observation, under a
// numbered heading, with the place, the date and the signatures at the end.
//
// The orders are given by their keys (Orders: the ids separated by commas or
// blanks). Everything the lines need is read in a few statements over the
// chosen orders' lines, whatever their number; none runs per order.

#include "data/Codes.h"
#include "reports/ReportForm.h"

#include <QDate>

#include <functional>
#include <optional>
#include <vector>

// What one order's slip line is made of.
struct TSlipExpense {
    std::optional<ExpenseKind> kind;   // none: the line's expense is missing
    PaymentType rembours = PaymentType::Reimbursement;   // a refund when NULL
    QString noDepense;
    QDate dateDepense;
    qint64 idBen = -1;
    qint64 idFnm = -1;
};

struct TSlipBudgetLine {
    QString chap, art, par;
};

struct TSlipOrder {
    qint64 idMdt = -1;
    QString noMdt;
    QDate dateMdt;
    Currency montant;
    std::vector<TSlipExpense> lines;   // in line order
    qint64 salaryFnm = -1;             // the first budget line of its salary detail (NO_ORD order)
};

// The printed line of an order.
struct TSlipLine {
    QString chap, art, par;
    QString bank;
    QString nom;
    QString observation;
};

// Looks up what the rule needs beyond the order itself.
struct TSlipLookups {
    std::function<const TSlipBudgetLine*(qint64 idFnm)> budgetLine;
    // The beneficiary's name and its bank's name (empty when no such bank);
    // false when the beneficiary is missing.
    std::function<bool(qint64 idBen, QString& nom, QString& bank)> beneficiary;
};

// One order's slip line: one line names its expense (invoice number and date,
// mission, or salaries with the salary detail's first budget line), its
// budget line, beneficiary and bank; any other number of lines reads
// "DIVERS" unless the lines share a beneficiary, and names the budget line
// they share.
TSlipLine SlipLineOf(const TSlipOrder& order, const TSlipLookups& lookups);

class TfrmRptBord_Mdt : public TReportForm {
public:
    TfrmRptBord_Mdt();

    QString Orders;   // the orders' ids, separated by commas or blanks

    // The ids of Orders; ids that do not read as numbers are passed over.
    std::vector<qint64> OrderIds() const;

private:
    void BordBeforePrint();

    rpt::TableRows m_rows;
};
