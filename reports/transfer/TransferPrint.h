#pragma once
// The transfer documents as the payment-order window prints them: the print
// item chooses the document (the mission advice by the budget line of the
// current line), the postal orders offer their back afterwards.

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
