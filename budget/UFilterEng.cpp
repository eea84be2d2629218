#include "budget/UFilterEng.h"

#include "refdata/Pickers.h"

TfrmFilterEng::TfrmFilterEng(QWidget* parent)
    : TDocumentFilterDialog(parent, QStringLiteral("N° FE"), QStringLiteral("Montant Eng"), FilterPickers())
{
    setObjectName(QStringLiteral("frmFilterEng"));
    setWindowTitle(QStringLiteral("Filtre Engagements"));
}
