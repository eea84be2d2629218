#pragma once
// The statements of a payment order as its window prints them.

class QWidget;

enum class TStatement { Invoices, Missions, Allowances, VisaRefunds, FeesAndLeave, Transfer };

// Prints `statement` of order `idMdt` through its preview, modally to `caller`.
void PreviewStatement(QWidget* caller, TStatement statement, int idMdt);
