#include "data/YearSwitch.h"

#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/MessageBox.h"
#include "data/UDM.h"
#include "data/YearCreation.h"

#include <QFileInfo>

QString YearDatabasePath(const QString& year)
{
    const QString path = DbWorkDir + YearFileName(year);
    return ServerAddress.isEmpty() ? path : ServerAddress + QLatin1Char(':') + path;
}

bool YearNeedsCreation(const QString& year)
{
    return ServerAddress.isEmpty() && !QFileInfo::exists(YearDatabasePath(year));
}

bool SwitchFiscalYear(const QString& year, bool mayCreate)
{
    const QString path = YearDatabasePath(year);
    const TDM::TOpening opening = DM->ConnectTo(path, year, mayCreate && ServerAddress.isEmpty());
    if (opening.ok()) {
        DbFileName = YearFileName(year);
        DbPath = path;
        FiscalYear = year;
        return true;
    }
    if (opening.result == TDM::TOpening::CreationFailed)
        ShowStandardError(opening.reason);

    // Back on the year the program was on.
    const TDM::TOpening back = DM->ConnectTo(DbPath, FiscalYear, false);
    if (!back.ok()) {
        ShowInfo(TDM::OpeningFailureText(back, DbPath));
        DM->HandleConnectionFailure();
        return false;
    }
    ShowInfo(QStringLiteral("Impossible de changer l'exercice ! Il n'est, peut être, pas initialisé.\r"
                            "Vous remis à l'exercice ")
             + FiscalYear);
    return false;
}

bool MoveConnection(const QString& path)
{
    const bool wasOpen = DM->LURDO.isOpen();
    if (DM->ConnectTo(path, FiscalYear, false).ok()) {
        DbPath = path;
        return true;
    }
    if (wasOpen)
        DM->ConnectTo(DbPath, FiscalYear, false);
    return false;
}
