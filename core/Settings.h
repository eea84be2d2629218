#pragma once
// The document settings, the credit-shortage policies and the installation
// texts kept in section [PARAM] of the settings file "VOREL.INI": read with
// the defaults in force when a key is missing, written back in one save, and
// put into the global state. The start-up and the settings dialog both go
// through here, so the dialog shows what the program uses.

#include "core/Currency.h"

#include <QList>
#include <QPair>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The city printed on documents when the settings file names none (the
// settings dialog offers the same one).
inline constexpr const char* DefaultCity = "Alger";
// The signing authority when the settings file names none.
inline constexpr const char* DefaultSignatory = "Le Doyen";
// The supplier ceilings when the settings file has none (or an unreadable one).
inline constexpr Currency DefaultServiceCeiling = Currency::fromUnits(4000000);
inline constexpr Currency DefaultGoodsCeiling = Currency::fromUnits(6000000);

// A ceiling as stored in the settings file: a plain decimal number ("." before
// the decimals, no grouping, optional sign) that an amount column holds;
// nothing for any other text.
std::optional<Currency> ParseCeiling(const QString& text);

// A ceiling as typed in the settings dialog (a space between thousands
// allowed): nothing when `typed` is not a number of 0 or more, or is beyond
// what an amount column holds; `refusal` then says which.
std::optional<Currency> EnteredCeiling(const QString& typed, QString* refusal);

// A credit-shortage policy: 0 proceed, 1 refuse, 2 ask; the checks treat any
// other stored value as 2.
inline constexpr int PolicyProceed = 0;
inline constexpr int PolicyRefuse = 1;
inline constexpr int PolicyAsk = 2;

struct TParamSettings {
    QString city;
    QString signatory;
    QString treasuryAccount;        // RIT
    QString postalAccount;          // RIP
    QString supplierPostalAccount;  // RIPFOUR
    // PRESTMAX, FOURMAX, stored as "4000000.00"; 0 switches the check off.
    std::array<Currency, 2> ceilings{DefaultServiceCeiling, DefaultGoodsCeiling};
    // DEC_ENG, DEC_MDT, DEC_TRANS, DEC_MDT_ENG, as stored (bytes).
    std::uint8_t decisionCommit = PolicyAsk;
    std::uint8_t decisionMandate = PolicyAsk;
    std::uint8_t decisionTransfer = PolicyAsk;
    std::uint8_t decisionMandateCommit = PolicyAsk;
    QString suffix;                 // SUFFIXE, read by the dispatch slip
    bool printFacultyName = true;

    // The installation texts of the documents.
    QString facultyName;
    QString universityName;
    QString payingAgentTitle;
    QString treasuryOfficeName;
    QString phonePayeeName;
    QString phonePayeeAccount;
    QString phonePayeeDebitAccount;
    QString phonePayeeObject;
};

// A value of the settings file that does not read: its key, its text, and
// the default used in its place.
struct TUnreadableSetting {
    QString key;
    QString text;
    QString used;
};

// [PARAM] of the settings file at `iniPath`, each value missing (or, for a
// ceiling, unreadable) taking the default the program uses. A ceiling whose
// text does not read (blank reads as missing) is added to `unreadable`.
TParamSettings ReadParamSettings(const QString& iniPath, QList<TUnreadableSetting>* unreadable = nullptr);
// The keys of [PARAM] and the texts a save writes for `settings`.
QList<QPair<QString, QString>> ParamSettingsTexts(const TParamSettings& settings);
// Writes, in one save, only the keys whose text differs between `shown` (the
// values the user was shown) and `entered`: a key the user left alone keeps
// whatever another program saved meanwhile. Throws std::runtime_error with the
// platform's reason when the file cannot be written (nothing is written then).
void WriteChangedParamSettings(const QString& iniPath, const TParamSettings& shown, const TParamSettings& entered);
// Puts the values into the global state.
void ApplyParamSettings(const TParamSettings& settings);
// The values of the global state (the suffix, which no global holds, empty).
TParamSettings CurrentParamSettings();

// The installation texts of the documents when the settings file has none.
inline constexpr const char* DefaultFacultyName = "Faculté des Sciences Economiques et de Gestion";
inline constexpr const char* DefaultUniversityName = "Université d'Alger";
inline constexpr const char* DefaultPayingAgentTitle = "Monsieur le Trésorier Principal";
inline constexpr const char* DefaultTreasuryOfficeName = "Trésorerie Principale d'Alger";
inline constexpr const char* DefaultPhonePayeeName = "ACTEL - Algérie Télécom";
inline constexpr const char* DefaultPhonePayeeObject = "Diverses factures";
