#include "expenditure/UFilterMdt.h"

TfrmFilterMdt::TfrmFilterMdt(QWidget* parent)
    : TDocumentFilterDialog(parent, QStringLiteral("N° MDT"), QStringLiteral("Montant MDT"))
{
    setObjectName(QStringLiteral("frmFilterMdt"));
    setWindowTitle(QStringLiteral("Filtre mandats"));
}
