#include "core/Settings.h"

#include "core/GlobalState.h"
#include "core/IniFile.h"

#include <QRegularExpression>

namespace {

const QString kParam = QStringLiteral("PARAM");

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

std::optional<Currency> ParseCeiling(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    const QString t = text.trimmed();
    if (!plain.match(t).hasMatch())
        return std::nullopt;
    return Currency::parse(t);
}

TParamSettings ReadParamSettings(const QString& iniPath)
{
    auto read = [&iniPath](const char* key, const QString& byDefault = QString()) {
        return IniReadString(iniPath, kParam, QLatin1String(key), byDefault);
    };
    // Policies are bytes: a stored -1 reads back as 255 (treated as "ask").
    auto policy = [&iniPath](const char* key) {
        return std::uint8_t(IniReadInteger(iniPath, kParam, QLatin1String(key), PolicyAsk));
    };
    TParamSettings s;
    s.city = read("VILLE", text(DefaultCity));
    s.signatory = read("SIGNATAIRE", text(DefaultSignatory));
    s.treasuryAccount = read("RIT");
    s.postalAccount = read("RIP");
    s.supplierPostalAccount = read("RIPFOUR");
    s.ceilings[0] = ParseCeiling(read("PRESTMAX")).value_or(DefaultServiceCeiling);
    s.ceilings[1] = ParseCeiling(read("FOURMAX")).value_or(DefaultGoodsCeiling);
    s.decisionCommit = policy("DEC_ENG");
    s.decisionMandate = policy("DEC_MDT");
    s.decisionTransfer = policy("DEC_TRANS");
    s.decisionMandateCommit = policy("DEC_MDT_ENG");
    s.suffix = read("SUFFIXE");
    s.printFacultyName = IniReadBool(iniPath, kParam, QStringLiteral("PRINT_FAC_NAME"), true);
    s.facultyName = read("FACULTE", text(DefaultFacultyName));
    s.universityName = read("UNIVERSITE", text(DefaultUniversityName));
    s.payingAgentTitle = read("AGENT_PAYEUR", text(DefaultPayingAgentTitle));
    s.treasuryOfficeName = read("TRESORERIE", text(DefaultTreasuryOfficeName));
    s.phonePayeeName = read("ACTEL_NOM", text(DefaultPhonePayeeName));
    s.phonePayeeAccount = read("ACTEL_CPT");
    s.phonePayeeDebitAccount = read("ACTEL_RIP");
    s.phonePayeeObject = read("ACTEL_OBJET", text(DefaultPhonePayeeObject));
    return s;
}

void WriteParamSettings(const QString& iniPath, const TParamSettings& s)
{
    auto number = [](int n) { return QString::number(n); };
    IniWriteStrings(iniPath, kParam,
                    {{QStringLiteral("VILLE"), s.city},
                     {QStringLiteral("SIGNATAIRE"), s.signatory},
                     {QStringLiteral("RIT"), s.treasuryAccount},
                     {QStringLiteral("RIP"), s.postalAccount},
                     {QStringLiteral("RIPFOUR"), s.supplierPostalAccount},
                     {QStringLiteral("PRESTMAX"), s.ceilings[0].toFixed2()},
                     {QStringLiteral("FOURMAX"), s.ceilings[1].toFixed2()},
                     {QStringLiteral("DEC_ENG"), number(s.decisionCommit)},
                     {QStringLiteral("DEC_MDT"), number(s.decisionMandate)},
                     {QStringLiteral("DEC_TRANS"), number(s.decisionTransfer)},
                     {QStringLiteral("DEC_MDT_ENG"), number(s.decisionMandateCommit)},
                     {QStringLiteral("SUFFIXE"), s.suffix},
                     {QStringLiteral("PRINT_FAC_NAME"), number(s.printFacultyName ? 1 : 0)},
                     {QStringLiteral("FACULTE"), s.facultyName},
                     {QStringLiteral("UNIVERSITE"), s.universityName},
                     {QStringLiteral("AGENT_PAYEUR"), s.payingAgentTitle},
                     {QStringLiteral("TRESORERIE"), s.treasuryOfficeName},
                     {QStringLiteral("ACTEL_NOM"), s.phonePayeeName},
                     {QStringLiteral("ACTEL_CPT"), s.phonePayeeAccount},
                     {QStringLiteral("ACTEL_RIP"), s.phonePayeeDebitAccount},
                     {QStringLiteral("ACTEL_OBJET"), s.phonePayeeObject}});
}

void ApplyParamSettings(const TParamSettings& s)
{
    City = s.city;
    Signatory = s.signatory;
    TreasuryAccount = s.treasuryAccount;
    PostalAccount = s.postalAccount;
    SupplierPostalAccount = s.supplierPostalAccount;
    SupplierThresholds = s.ceilings;
    DecisionCommit = s.decisionCommit;
    DecisionMandate = s.decisionMandate;
    DecisionTransfer = s.decisionTransfer;
    DecisionMandateCommit = s.decisionMandateCommit;
    PrintFacultyName = s.printFacultyName;
    FacultyName = s.facultyName;
    UniversityName = s.universityName;
    PayingAgentTitle = s.payingAgentTitle;
    TreasuryOfficeName = s.treasuryOfficeName;
    PhonePayeeName = s.phonePayeeName;
    PhonePayeeAccount = s.phonePayeeAccount;
    PhonePayeeDebitAccount = s.phonePayeeDebitAccount;
    PhonePayeeObject = s.phonePayeeObject;
}

TParamSettings CurrentParamSettings()
{
    TParamSettings s;
    s.city = City;
    s.signatory = Signatory;
    s.treasuryAccount = TreasuryAccount;
    s.postalAccount = PostalAccount;
    s.supplierPostalAccount = SupplierPostalAccount;
    s.ceilings = SupplierThresholds;
    s.decisionCommit = DecisionCommit;
    s.decisionMandate = DecisionMandate;
    s.decisionTransfer = DecisionTransfer;
    s.decisionMandateCommit = DecisionMandateCommit;
    s.printFacultyName = PrintFacultyName;
    s.facultyName = FacultyName;
    s.universityName = UniversityName;
    s.payingAgentTitle = PayingAgentTitle;
    s.treasuryOfficeName = TreasuryOfficeName;
    s.phonePayeeName = PhonePayeeName;
    s.phonePayeeAccount = PhonePayeeAccount;
    s.phonePayeeDebitAccount = PhonePayeeDebitAccount;
    s.phonePayeeObject = PhonePayeeObject;
    return s;
}
