#pragma once
// What the payment-order documents read of one order, and the rules that turn
// it into the texts they print: the creditor block and the object, the budget
// lines and their amounts, the sub-section.
//
// Every query starts from the order's own lines (DET_MDT by ID_MDT, indexed)
// and joins outward to the expenses, budget lines, beneficiaries and salary
// details, so a document never runs through the year's expenses.
//
// Totals always cover every line of the order, what it pays; a form that
// cannot show every row that makes them prints nothing and says why.

#include "core/Currency.h"
#include "data/Codes.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// One line of the order with its expense.
struct TMandatLine {
    Currency amount;            // DET_MDT.MONTANT
    std::optional<ExpenseKind> kind;   // TYPE_DEPENSE; none when the expense is missing
    PaymentType rembours = PaymentType::Reimbursement;   // REMBOURS, a refund when NULL
    qint64 idBen = -1;
    qint64 idFnm = -1;          // -1: no budget line
    QString noDepense;
    QDate dateDepense;
    Currency regimeGen;         // employer contributions of the expense
    Currency assChomage;
    Currency retraiteAnt;
};

// One budget line of the order with what the order's lines put on it.
struct TMandatBudgetLine {
    qint64 idFnm = -1;
    QString chap;
    QString art;
    QString par;
    QString intitule;
    QString section;
    Currency amount;            // the lines' amounts
    Currency regimeGen;         // the lines' contributions
    Currency assChomage;
    Currency retraiteAnt;
};

// One beneficiary of the order's expenses.
struct TMandatBeneficiary {
    qint64 idBen = -1;
    bool found = false;         // the BENEF row exists
    QString nom;
    qint64 idBanque = -1;
    qint64 idAgence = -1;
    QString compte;
};

// One row of a salary order's detail: an imputation or a deduction.
struct TMandatSalaryRow {
    QString chap;
    QString art;
    QString par;
    QString title;              // INTITULE of the budget line, or LIBELLE of the deduction
    Currency amount;
};

// The creditor block and the object of payment as printed.
struct TMandatCreditor {
    QString nom;
    QString bnq;
    QString compte;
    QString objet;
};

class TMandatData {
public:
    // Reads the order's lines (in line order), its distinct budget lines (in
    // chapter, article, paragraph order) with their amounts, and its distinct
    // beneficiaries.
    void Load(qint64 idMdt);
    // Reads a salary order's imputations (TYPE_DET 0, in chapter, article,
    // paragraph order) and deductions (TYPE_DET 1, in their order).
    void LoadSalary(qint64 idMdt);

    std::vector<TMandatLine> lines;
    std::vector<TMandatBudgetLine> budgetLines;
    std::vector<TMandatBeneficiary> beneficiaries;
    std::vector<TMandatSalaryRow> imputations;
    std::vector<TMandatSalaryRow> deductions;

    // The sum of every line: what the order pays (its stored total).
    Currency LinesTotal() const;
    // The three contributions of every line.
    Currency ContributionsTotal() const;
    // Whether the lines' contributions make what the order pays: only then
    // does the order print on a social-contribution form, whose rows are the
    // contributions.
    bool ContributionsMakeTotal() const;
    Currency ImputationsTotal() const;
    Currency DeductionsTotal() const;

    const TMandatBudgetLine* BudgetLine(qint64 idFnm) const;
    const TMandatBeneficiary* Beneficiary(qint64 idBen) const;

    // The bank's name followed by " - " and the agency's name, each part only
    // when its row exists.
    static QString BankText(qint64 idBanque, qint64 idAgence);
};

// Whether the lines of order `idMdt` carry contributions that make what it
// pays (TMandatData::ContributionsMakeTotal): only such an order prints on the
// social-contribution documents, the payment order's and the transfer advices'.
bool OrderPaysContributions(qint64 idMdt);

// The creditor and the object of the four standard documents: one line names
// its beneficiary and its invoice or mission; several lines name "DIVERS"
// unless they share one beneficiary (or, for the bank, one bank and agency);
// no line leaves the placeholders.
TMandatCreditor MandatCreditor(const TMandatData& data);
// The creditor of the salary document: one line names its beneficiary
// (placeholders "?????" when its row is missing), several lines "DIVERS";
// the object is left empty (the document prints the order's own object).
TMandatCreditor MandatSalaryCreditor(const TMandatData& data);
// Whether the salary order's imputations all charge one chapter.
bool MandatSalarySingleChapter(const TMandatData& data);

// The code of a budget line in the imputation rows: article, then "." and the
// paragraph when there is one.
QString MandatImputationCode(const QString& art, const QString& par);
// The code of a salary imputation row: chapter "." article, then "." and the
// paragraph when there is one.
QString MandatSalaryImputationCode(const QString& chap, const QString& art, const QString& par);
// "S/SECTION  I" for a first budget line of section 1, else "S/SECTION  II".
QString MandatSectionText(const TMandatData& data);
