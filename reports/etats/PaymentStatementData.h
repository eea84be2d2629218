#pragma once
// What the payment statements and the transfer statement read of one payment
// order: the order's header, its lines in line order with their expense, and
// the beneficiaries of those lines with their bank and grade.
//
// Every query starts from the order's own lines (DET_MDT by ID_MDT) and joins
// outward; the banks and grades, small code tables, are read once each. No
// query runs per line.

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>

#include <map>
#include <vector>

// One line of the order with its expense.
struct TStatementLine {
    Currency amount;                 // DET_MDT.MONTANT
    QString noDepense;
    QDate dateDepense;
    qint64 idBen = -1;               // -1: the expense or its beneficiary is missing
    PaymentType rembours = PaymentType::Reimbursement;   // a refund when NULL
    QString chap;                    // the expense's budget line
    QString art;
};

// One beneficiary of the order's lines.
struct TStatementBeneficiary {
    qint64 idBen = -1;
    bool found = false;              // the BENEF row exists
    QString nom;
    QString adr;
    QString ville;
    QString rc;
    QString mf;
    QString ai;
    QString compte;
    bool bankFound = false;          // its BANQUE row exists
    QString bank;                    // RS of its bank
    QString grade;                   // LIBELLE of its SERVICE_GRADE; empty when none
};

class TPaymentStatementData {
public:
    // Reads order `idMdt`; an order that does not exist leaves everything empty.
    void Load(qint64 idMdt);

    bool orderFound = false;
    QString noMdt;
    QDate dateMdt;
    std::vector<TStatementLine> lines;
    // The distinct beneficiaries of the lines, by name then ID_BEN (one order
    // for equal names). Lines without an expense name none.
    std::vector<TStatementBeneficiary> beneficiaries;

    const TStatementBeneficiary* Beneficiary(qint64 idBen) const;
    // REMBOURS of the first line says "payment" (not a refund).
    bool FirstLinePays() const;

private:
    std::map<qint64, size_t> m_index;   // beneficiaries by ID_BEN
};
