#pragma once
// What the transfer documents read of one payment order: its lines with their
// expense, beneficiary, bank and agency, read in one query that starts from the
// order's lines (DET_MDT by ID_MDT, indexed) and joins outward, grouped by
// beneficiary in name order (then by key, so homonyms keep one sequence on
// every document). Every document prints from this, so each amount it shows
// is made of the order's own lines.

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>

#include <vector>

// One line of the order.
struct TTransferLine {
    qint64 idDepense = -1;
    Currency amount;            // DET_MDT.MONTANT: what the order pays for it
    QString noDepense;
    QDate dateDepense;
    PaymentType rembours = PaymentType::Reimbursement;
    QString budgetTitle;        // INTITULE of the expense's budget line
    Currency regimeGen;
    Currency assChomage;
    Currency retraiteAnt;
};

// One beneficiary of the order and its lines, in line order.
struct TTransferBeneficiary {
    qint64 idBen = -1;
    BeneficiaryType typeBen = BeneficiaryType::Supplier;
    QString nom;                // trimmed
    QString compte;             // trimmed
    QString bank;               // the bank's RS, trimmed; empty when not found
    QString agency;             // the agency's LIBELLE, trimmed; empty when not found
    std::vector<TTransferLine> lines;

    Currency Total() const;
    bool IsEmployee() const { return typeBen == BeneficiaryType::Employee; }
    // The bank, then " - " and the agency when there is one.
    QString BankAndAgency() const;
    // Whether the bank is the postal cheque centre.
    bool Postal() const;
};

class TTransferData {
public:
    // Reads the order's lines whose expense exists, grouped by beneficiary.
    void Load(qint64 idMdt);

    std::vector<TTransferBeneficiary> beneficiaries;

    // Every line, beneficiary after beneficiary.
    std::vector<const TTransferLine*> Lines() const;
    Currency Total() const;
};

// The account to debit for a transfer to `ben`: the postal account when its
// bank is the postal cheque centre, else the treasury account.
QString DebitAccountFor(const TTransferBeneficiary& ben);

// An account as the postal forms print it: the account without its key, and
// its control key (its last two characters). An account shorter than two
// characters has no key part: it prints as the key alone.
struct TAccountAndKey {
    QString account;
    QString key;
};
TAccountAndKey SplitAccountKey(const QString& account);

// The salary detail rows (TYPE_DET 0) of the order's first line, in their
// order, with the title of each row's budget line.
struct TSalaryDetailRow {
    QString title;
    Currency amount;
};
std::vector<TSalaryDetailRow> ReadFirstLineSalaryDetail(qint64 idMdt);
