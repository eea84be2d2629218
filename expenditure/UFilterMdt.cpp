#include "expenditure/UFilterMdt.h"

#include "refdata/Pickers.h"

TfrmFilterMdt::TfrmFilterMdt(QWidget* parent)
    : TDocumentFilterDialog(parent, QStringLiteral("N° MDT"), QStringLiteral("Montant MDT"), FilterPickers())
{
    setObjectName(QStringLiteral("frmFilterMdt"));
    setWindowTitle(QStringLiteral("Filtre mandats"));
}
