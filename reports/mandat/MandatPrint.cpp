#include "reports/mandat/MandatPrint.h"

#include "core/MessageBox.h"
#include "core/Routines.h"
#include "reports/mandat/URptMandat_2205_FB.h"
#include "reports/mandat/URptMandat_2205_P.h"
#include "reports/mandat/URptMandat_FB.h"
#include "reports/mandat/URptMandat_P.h"
#include "reports/mandat/URptMandat_Salaire.h"

QString MandatWhitePaperOnlyText()
{
    return QStringLiteral("Ce mandat ne peut être imprimé que sur feuille blanche !");
}

std::unique_ptr<TRptMandatForm> CreateMandatDocument(int kind, const QString& chap, const QString& art,
                                                     bool prePrinted)
{
    if (kind == 2)
        return prePrinted ? nullptr : std::make_unique<TfrmRptMandat_Salaire>();
    const bool social = IsChapter05Article01(chap.trimmed(), art.trimmed())
                     || IsChapter02Article08(chap.trimmed(), art.trimmed());
    if (social)
        return prePrinted ? std::unique_ptr<TRptMandatForm>(std::make_unique<TfrmRptMandat_2205_P>())
                          : std::make_unique<TfrmRptMandat_2205_FB>();
    return prePrinted ? std::unique_ptr<TRptMandatForm>(std::make_unique<TfrmRptMandat_P>())
                      : std::make_unique<TfrmRptMandat_FB>();
}

void PreviewMandat(QWidget* caller, int idMdt, int kind, const QString& chap, const QString& art, bool prePrinted)
{
    std::unique_ptr<TRptMandatForm> form = CreateMandatDocument(kind, chap, art, prePrinted);
    if (!form) {
        ShowInfo(MandatWhitePaperOnlyText());
        return;
    }
    form->IdMdt = idMdt;
    form->Preview(caller);
}
