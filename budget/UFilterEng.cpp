#include "budget/UFilterEng.h"

TfrmFilterEng::TfrmFilterEng(QWidget* parent)
    : TDocumentFilterDialog(parent, QStringLiteral("N° FE"), QStringLiteral("Montant Eng"))
{
    setObjectName(QStringLiteral("frmFilterEng"));
    setWindowTitle(QStringLiteral("Filtre Engagements"));
}
