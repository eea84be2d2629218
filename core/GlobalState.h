#pragma once
// The process-wide values of the program, filled at start-up, by the login, the
// settings dialog, the connection dialog and the fiscal-year switch, and read
// everywhere. Folders keep their trailing separator.

#include "core/Currency.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>

extern QString AppDir;
extern QString IniPath;
extern QString TempDir;
extern QString FiscalYear;

extern QString CurrentUserCode;
extern int CurrentUserId;
extern std::int16_t CurrentUserAccess;
extern QString CurrentUserLastName;
extern QString CurrentUserFirstName;
extern bool IsBuiltInManager;
extern bool IsBuiltInAdmin;

extern QString DbUser;
extern QString DbPassword;
extern QString DbWorkDir;
extern QString DbFileName;
extern QString DbPath;
extern QString ServerAddress;
extern QString LocalAddress;

extern QString City;
extern QString Signatory;
extern QString TreasuryAccount;
extern QString PostalAccount;
extern QString SupplierPostalAccount;
extern std::array<Currency, 2> SupplierThresholds;
extern std::uint8_t DecisionCommit;
extern std::uint8_t DecisionMandate;
extern std::uint8_t DecisionTransfer;
extern std::uint8_t DecisionMandateCommit;
extern bool PrintFacultyName;
extern std::int16_t MaxDocLines;

extern QColor PanelColorActive;
extern QColor PanelColorInactive;
extern QColor EditColorActive;
extern QColor EditColorInactive;

extern QString FacultyName;
extern QString UniversityName;
extern QString VersionLabel;
// The installation texts of the transfer orders: the institution's principal
// paying agent the bank transfer order is addressed to, the treasury office
// that holds its account, and the regular payee of the postal order of the
// telephone operator (its name, the account credited, the account debited
// with its two-character key last, the object).
extern QString PayingAgentTitle;
extern QString TreasuryOfficeName;
extern QString PhonePayeeName;
extern QString PhonePayeeAccount;
extern QString PhonePayeeDebitAccount;
extern QString PhonePayeeObject;

extern QPoint PopupPoint;

// The administrator password of the fiscal-year databases.
QString DefaultDbPassword();
// The application title.
inline const char* const ApplicationTitle = "Vorel - Gestion des Finances";
