#pragma once
// The transfer documents as the payment-order window prints them: the print
// item chooses the document, the postal orders offer their back afterwards.
// The mission item prints the three social-contribution advices for an order
// on a line of chapter 21.05/22.05 article 01 whose lines' contributions make
// what it pays (the rule of the payment order's social-contribution form),
// and one advice per line, each for the line's amount, for any other order
// (an invoice or a mission without contributions on such a line among them).

#include <QString>

#include <memory>

class QWidget;
class TRptTransferForm;

enum class TransferItem {
    Bank,               // "Ordre de virement Banque"
    Postal,             // "Ordre de virement  CCP"
    PostalPhone,        // "Ordre de virement  CCP - ACTEL"
    Mission,            // "Ordre de virement Mission"
    MissionSalary,      // "Ordre de virement Mission 210208"
    MissionReduced,     // "Ordre de virement Mission - Réduit"
};

// The order shown and the budget line of its current line.
struct TTransferOrderRef {
    int idMdt = -1;
    QString noMdt;
    QString dateMdt;    // as printed, "dd/MM/yyyy"
    QString chap;
    QString art;
};

// The question asked after a postal order.
QString PostalBackQuestionText();

// The document of the item for the order, its parameters set.
std::unique_ptr<TRptTransferForm> CreateTransferDocument(TransferItem item, const TTransferOrderRef& order);

// Prints the item's document through its preview, modally to `caller`; after
// a postal order asks whether to print its back, and prints it on Yes.
void PreviewTransferDocument(QWidget* caller, TransferItem item, const TTransferOrderRef& order);
