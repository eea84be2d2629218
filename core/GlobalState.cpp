#include "core/GlobalState.h"

QString AppDir;
QString IniPath;
QString TempDir;
QString FiscalYear;

QString CurrentUserCode;
int CurrentUserId = 0;
std::int16_t CurrentUserAccess = 0;
QString CurrentUserLastName;
QString CurrentUserFirstName;
bool IsBuiltInManager = false;
bool IsBuiltInAdmin = false;

QString DbUser = QStringLiteral("SYSDBA");
QString DbPassword = DefaultDbPassword();
QString DbWorkDir;
QString DbFileName;
QString DbPath;
QString ServerAddress;
QString LocalAddress;

QString City;
QString Signatory;
QString TreasuryAccount;
QString PostalAccount;
QString SupplierPostalAccount;
std::array<Currency, 2> SupplierThresholds{Currency::fromUnits(4000000), Currency::fromUnits(6000000)};
std::uint8_t DecisionCommit = 2;
std::uint8_t DecisionMandate = 2;
std::uint8_t DecisionTransfer = 2;
std::uint8_t DecisionMandateCommit = 2;
bool PrintFacultyName = true;
std::int16_t MaxDocLines = 25;

QColor PanelColorActive(0xE6, 0xE6, 0xE6);
QColor PanelColorInactive;
QColor EditColorActive;
QColor EditColorInactive(0xF2, 0xF2, 0xF2);

QString FacultyName;
QString UniversityName;
QString VersionLabel;
QString PayingAgentTitle;
QString TreasuryOfficeName;
QString PhonePayeeName;
QString PhonePayeeAccount;
QString PhonePayeeDebitAccount;
QString PhonePayeeObject;

QPoint PopupPoint;

QString DefaultDbPassword()
{
    return QStringLiteral("plumtrove");
}
