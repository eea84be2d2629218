#include "expenditure/UDep_Sal_Eng.h"

#include <QToolButton>

TfrmDep_Sal_Eng::TfrmDep_Sal_Eng(QWidget* parent)
    : TLineExpenseEditor(parent, Setup{.kind = ExpenseKind::SalaryToCommit,
                                       .objectName = "frmDep_Sal_Eng",
                                       .caption = QStringLiteral("Dépenses des salaires à engager"),
                                       .menuName = "PopMnDep",
                                       .benCaption = QStringLiteral("Organisme : "),
                                       .benType = std::nullopt,
                                       .otherYear = expense::OtherYear::Refuse,
                                       .otherYearText = QStringLiteral(
                                           "La date Facture ne correspond pas à l'exercice en cours !"),
                                       .menuKeys = false,
                                       .amountAfterDate = true})
{
    SetMode(emBrowse);
}

void TfrmDep_Sal_Eng::BeneficiaryPicked()
{
    if (btnGetImp->isEnabled())
        btnGetImpClick();
}
