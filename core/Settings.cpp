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

namespace {

bool IsPlainNumber(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    return plain.match(text).hasMatch();
}

} // namespace

std::optional<Currency> ParseCeiling(const QString& text)
{
    const QString t = text.trimmed();
    if (!IsPlainNumber(t))
        return std::nullopt;
    const std::optional<Currency> value = Currency::parse(t);
    if (!value || value->abs() > MaxStoredAmount)
        return std::nullopt;
    return value;
}

std::optional<Currency> EnteredCeiling(const QString& typed, QString* refusal)
{
    QString t = typed.trimmed();
    t.remove(QLatin1Char(' '));
    const bool number = IsPlainNumber(t);
    const bool negative = t.startsWith(QLatin1Char('-'));
    const std::optional<Currency> value = number ? Currency::parse(t) : std::nullopt;
    if (number && !negative && (!value || *value > MaxStoredAmount)) {
        *refusal = QStringLiteral("Le seuil est trop grand : il ne peut dépasser ") + MaxStoredAmount.formatMoney()
                   + QStringLiteral(" DA !");
        return std::nullopt;
    }
    // 0 switches the check off; a ceiling below 0 would refuse every
    // supplier without a word.
    if (!value || *value < Currency()) {
        *refusal = QStringLiteral("Le seuil doit être un montant positif (0 : pas de seuil) !");
        return std::nullopt;
    }
    return value;
}

TParamSettings ReadParamSettings(const QString& iniPath, QList<TUnreadableSetting>* unreadable)
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
    auto ceiling = [&](const char* key, Currency byDefault) {
        const QString stored = read(key);
        if (const std::optional<Currency> value = ParseCeiling(stored))
            return *value;
        if (unreadable && !stored.trimmed().isEmpty())
            unreadable->append({QLatin1String(key), stored, byDefault.formatMoney()});
        return byDefault;
    };
    s.ceilings[0] = ceiling("PRESTMAX", DefaultServiceCeiling);
    s.ceilings[1] = ceiling("FOURMAX", DefaultGoodsCeiling);
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

QList<QPair<QString, QString>> ParamSettingsTexts(const TParamSettings& s)
{
    auto number = [](int n) { return QString::number(n); };
    return {{QStringLiteral("VILLE"), s.city},
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
            {QStringLiteral("ACTEL_OBJET"), s.phonePayeeObject}};
}

void WriteChangedParamSettings(const QString& iniPath, const TParamSettings& shown, const TParamSettings& entered)
{
    const QList<QPair<QString, QString>> before = ParamSettingsTexts(shown);
    const QList<QPair<QString, QString>> after = ParamSettingsTexts(entered);
    QList<QPair<QString, QString>> changed;
    for (qsizetype i = 0; i < after.size(); ++i)
        if (after[i].second != before[i].second)
            changed.append(after[i]);
    if (!changed.isEmpty())
        IniWriteStrings(iniPath, kParam, changed);
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
