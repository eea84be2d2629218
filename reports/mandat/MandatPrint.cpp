#include "reports/mandat/MandatPrint.h"

#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/mandat/URptMandat_2205_FB.h"
#include "reports/mandat/URptMandat_2205_P.h"
#include "reports/mandat/URptMandat_FB.h"
#include "reports/mandat/URptMandat_P.h"
#include "reports/mandat/URptMandat_Salaire.h"

namespace {

bool SocialContributionLine(const QString& chap, const QString& art)
{
    return IsChapter05Article01(chap.trimmed(), art.trimmed()) || IsChapter02Article08(chap.trimmed(), art.trimmed());
}

} // namespace

QString MandatWhitePaperOnlyText()
{
    return QStringLiteral("Ce mandat ne peut être imprimé que sur feuille blanche !");
}

std::unique_ptr<TRptMandatForm> CreateMandatDocument(int idMdt, std::optional<ExpenseKind> kind, const QString& chap,
                                                     const QString& art, bool prePrinted)
{
    std::unique_ptr<TRptMandatForm> form;
    if (kind == ExpenseKind::SalaryToPay) {
        if (!prePrinted)
            form = std::make_unique<TfrmRptMandat_Salaire>();
    } else if (SocialContributionLine(chap, art) && OrderPaysContributions(idMdt)) {
        if (prePrinted)
            form = std::make_unique<TfrmRptMandat_2205_P>();
        else
            form = std::make_unique<TfrmRptMandat_2205_FB>();
    } else if (prePrinted) {
        form = std::make_unique<TfrmRptMandat_P>();
    } else {
        form = std::make_unique<TfrmRptMandat_FB>();
    }
    if (form)
        form->IdMdt = idMdt;
    return form;
}

void PreviewMandat(QWidget* caller, int idMdt, std::optional<ExpenseKind> kind, const QString& chap, const QString& art,
                   bool prePrinted)
{
    std::unique_ptr<TRptMandatForm> form = CreateMandatDocument(idMdt, kind, chap, art, prePrinted);
    if (!form) {
        ShowInfo(MandatWhitePaperOnlyText());
        return;
    }
    form->Preview(caller);
}
