#include "shell/UOption.h"

#include "controls/NumEdit.h"
#include "core/GlobalState.h"
#include "core/Guard.h"
#include "core/Refusal.h"
#include "ui/FormKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

// A group of captioned fields, one a row.
QGroupBox* MakeGroup(QWidget* parent, const QString& title, QFormLayout** form)
{
    auto* group = new QGroupBox(title, parent);
    *form = new QFormLayout(group);
    (*form)->setLabelAlignment(Qt::AlignRight);
    return group;
}

// A text field of the dialog: where it goes, its name and its caption.
struct TextField {
    QLineEdit** edit;
    const char* name;
    const char* caption;
};

// A group of text fields, one a row.
QGroupBox* MakeTextGroup(QWidget* parent, const QString& title, std::initializer_list<TextField> fields)
{
    QFormLayout* form = nullptr;
    QGroupBox* group = MakeGroup(parent, title, &form);
    for (const TextField& field : fields) {
        *field.edit = MakeEdit(group, field.name);
        form->addRow(QString::fromUtf8(field.caption), *field.edit);
    }
    return group;
}

// An amount field with its currency after it.
QWidget* WithCurrency(QWidget* parent, TNumEdit* edit)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(QStringLiteral("DA"), row));
    layout->addStretch();
    return row;
}

QComboBox* MakePolicyCombo(QWidget* parent, const char* name, const char* proceed, const char* refuse)
{
    QComboBox* combo = MakeCombo(parent, name);
    combo->addItems({QString::fromUtf8(proceed), QString::fromUtf8(refuse), QStringLiteral("Demander mon avis")});
    return combo;
}

// The item of a stored policy; a value the checks do not know is shown (and
// then stored) as "ask", which is how the checks treat it.
int PolicyIndex(std::uint8_t policy)
{
    return policy <= PolicyAsk ? int(policy) : PolicyAsk;
}

} // namespace

TfrmOptions::TfrmOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Paramètres "));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    pgParams = BuildParamsPage();
    TabSheet2 = BuildDecisionsPage();
    pgInstall = BuildInstallationPage();
    PageControl1->addTab(pgParams, QStringLiteral("Paramètres"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Décisions"));
    PageControl1->addTab(pgInstall, QStringLiteral("Etablissement"));

    auto* main = new QVBoxLayout(this);
    main->addWidget(PageControl1);
    main->addLayout(MakeOkCancelRow(this, &btnOk, &btnCancel));

    // Enter in a text field goes on to the next field; elsewhere it is OK.
    for (QLineEdit* edit : {edVille, edSignataire, edRIT, edRIP, edRipFour, edSuffixe, edFaculte, edUniversite,
                            edAgentPayeur, edTresorerie, edActelNom, edActelCpt, edActelRip, edActelObjet})
        connect(edit, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    RunGuarded([this] { FormCreate(); });
}

TfrmOptions::~TfrmOptions() = default;

int TfrmOptions::Execute(QWidget* parent)
{
    TfrmOptions dialog(parent);
    return dialog.exec() == QDialog::Accepted ? mrOk : mrCancel;
}

QWidget* TfrmOptions::BuildParamsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pgParams"));

    QGroupBox* location = MakeTextGroup(page, QStringLiteral("Localisation"),
                                        {{&edVille, "edVille", "Ville : "}, {&edSignataire, "edSignataire", "Signataire : "}});
    QGroupBox* accountGroup = MakeTextGroup(page, QStringLiteral("Comptes "),
                                            {{&edRIT, "edRIT", "Tresor : "},
                                             {&edRIP, "edRIP", "C.C.P : "},
                                             {&edRipFour, "edRipFour", "CCP Fournis. : "}});

    QFormLayout* ceilings = nullptr;
    QGroupBox* ceilingGroup = MakeGroup(page, QStringLiteral("Seuils"), &ceilings);
    edPrestMax = MakeAmountEdit(ceilingGroup, "edPrestMax", 140);
    edFourMax = MakeAmountEdit(ceilingGroup, "edFourMax", 140);
    ceilings->addRow(QStringLiteral("Prestation : "), WithCurrency(ceilingGroup, edPrestMax));
    ceilings->addRow(QStringLiteral("Fourniture : "), WithCurrency(ceilingGroup, edFourMax));

    auto* other = new QFormLayout;
    other->setLabelAlignment(Qt::AlignRight);
    edSuffixe = MakeEdit(page, "edSuffixe");
    other->addRow(QStringLiteral("Suffixe : "), edSuffixe);
    chkPrintFacName = new QCheckBox(QStringLiteral("Imprimer le nom de la faculté"), page);
    chkPrintFacName->setObjectName(QStringLiteral("chkPrintFacName"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(location);
    layout->addWidget(accountGroup);
    layout->addWidget(ceilingGroup);
    layout->addLayout(other);
    layout->addWidget(chkPrintFacName);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildDecisionsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));

    auto* shortage = new QGroupBox(QStringLiteral("En cas d'insuffisance de crédit :"), page);
    auto* form = new QFormLayout(shortage);
    form->setLabelAlignment(Qt::AlignRight);
    cmbDec_Eng = MakePolicyCombo(shortage, "cmbDec_Eng", "Engager", "Ne pas engager");
    cmbDec_Mdt = MakePolicyCombo(shortage, "cmbDec_Mdt", "Mandater", "Ne pas mandater");
    cmbDec_Trans = MakePolicyCombo(shortage, "cmbDec_Trans", "Transférer", "Ne pas transférer");
    form->addRow(QStringLiteral("Engagement"), cmbDec_Eng);
    form->addRow(QStringLiteral("Mandat"), cmbDec_Mdt);
    form->addRow(QStringLiteral("Transfert"), cmbDec_Trans);

    auto* above = new QGroupBox(QStringLiteral("Au cas ou le montant  du mandat dépasserait celui des engagement"), page);
    auto* aboveForm = new QFormLayout(above);
    aboveForm->setLabelAlignment(Qt::AlignRight);
    cmbDec_Mdt_Eng = MakePolicyCombo(above, "cmbDec_Mdt_Eng", "Mandater", "Ne pas mandater");
    aboveForm->addRow(QStringLiteral("Que faire ?"), cmbDec_Mdt_Eng);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(shortage);
    layout->addWidget(above);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildInstallationPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pgInstall"));

    QGroupBox* institutionGroup =
        MakeTextGroup(page, QStringLiteral("Etablissement"),
                      {{&edFaculte, "edFaculte", "Faculté : "}, {&edUniversite, "edUniversite", "Université : "}});
    QGroupBox* treasuryGroup = MakeTextGroup(page, QStringLiteral("Ordre de virement"),
                                             {{&edAgentPayeur, "edAgentPayeur", "Agent payeur : "},
                                              {&edTresorerie, "edTresorerie", "Trésorerie : "}});
    QGroupBox* phoneGroup = MakeTextGroup(page, QStringLiteral("Ordre de virement CCP - ACTEL"),
                                          {{&edActelNom, "edActelNom", "Bénéficiaire : "},
                                           {&edActelCpt, "edActelCpt", "Compte à créditer : "},
                                           {&edActelRip, "edActelRip", "Compte à débiter : "},
                                           {&edActelObjet, "edActelObjet", "Objet : "}});

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(institutionGroup);
    layout->addWidget(treasuryGroup);
    layout->addWidget(phoneGroup);
    layout->addStretch();
    return page;
}

void TfrmOptions::FormCreate()
{
    m_read = ReadParamSettings(IniPath);
    edVille->setText(m_read.city);
    edSignataire->setText(m_read.signatory);
    edRIT->setText(m_read.treasuryAccount);
    edRIP->setText(m_read.postalAccount);
    edRipFour->setText(m_read.supplierPostalAccount);
    edPrestMax->SetAsCurrency(m_read.ceilings[0]);
    edFourMax->SetAsCurrency(m_read.ceilings[1]);
    cmbDec_Eng->setCurrentIndex(PolicyIndex(m_read.decisionCommit));
    cmbDec_Mdt->setCurrentIndex(PolicyIndex(m_read.decisionMandate));
    cmbDec_Trans->setCurrentIndex(PolicyIndex(m_read.decisionTransfer));
    cmbDec_Mdt_Eng->setCurrentIndex(PolicyIndex(m_read.decisionMandateCommit));
    edSuffixe->setText(m_read.suffix);
    chkPrintFacName->setChecked(m_read.printFacultyName);
    edFaculte->setText(m_read.facultyName);
    edUniversite->setText(m_read.universityName);
    edAgentPayeur->setText(m_read.payingAgentTitle);
    edTresorerie->setText(m_read.treasuryOfficeName);
    edActelNom->setText(m_read.phonePayeeName);
    edActelCpt->setText(m_read.phonePayeeAccount);
    edActelRip->setText(m_read.phonePayeeDebitAccount);
    edActelObjet->setText(m_read.phonePayeeObject);
    m_shown = Shown();
}

TParamSettings TfrmOptions::Shown() const
{
    TParamSettings s = m_read;
    for (auto [edit, index] : {std::pair{edPrestMax, 0}, std::pair{edFourMax, 1}}) {
        QString refusal;
        if (const std::optional<Currency> ceiling = EnteredCeiling(TNumEdit::StripGrouping(edit->text()), &refusal))
            s.ceilings[size_t(index)] = *ceiling;
    }
    s.city = edVille->text().trimmed();
    s.signatory = edSignataire->text();
    s.treasuryAccount = edRIT->text();
    s.postalAccount = edRIP->text();
    s.supplierPostalAccount = edRipFour->text();
    s.decisionCommit = std::uint8_t(cmbDec_Eng->currentIndex());
    s.decisionMandate = std::uint8_t(cmbDec_Mdt->currentIndex());
    s.decisionTransfer = std::uint8_t(cmbDec_Trans->currentIndex());
    s.decisionMandateCommit = std::uint8_t(cmbDec_Mdt_Eng->currentIndex());
    s.suffix = edSuffixe->text();
    s.printFacultyName = chkPrintFacName->isChecked();
    s.facultyName = edFaculte->text().trimmed();
    s.universityName = edUniversite->text().trimmed();
    s.payingAgentTitle = edAgentPayeur->text();
    s.treasuryOfficeName = edTresorerie->text();
    s.phonePayeeName = edActelNom->text();
    s.phonePayeeAccount = edActelCpt->text();
    s.phonePayeeDebitAccount = edActelRip->text();
    s.phonePayeeObject = edActelObjet->text();
    return s;
}

std::optional<TParamSettings> TfrmOptions::Entered()
{
    // The refused field's page is shown, so the focus can reach it.
    auto refuse = [this](const QString& text, QWidget* page, QWidget* field) {
        PageControl1->setCurrentWidget(page);
        ShowRefusal(TRefusal{text}, field);
        return std::nullopt;
    };
    if (edVille->text().trimmed().isEmpty())
        return refuse(QStringLiteral("La ville est manquante !"), pgParams, edVille);
    for (TNumEdit* edit : {edPrestMax, edFourMax}) {
        QString refusal;
        if (!EnteredCeiling(TNumEdit::StripGrouping(edit->text()), &refusal))
            return refuse(refusal, pgParams, edit);
    }
    return Shown();
}

void TfrmOptions::btnOkClick()
{
    const std::optional<TParamSettings> entered = Entered();
    if (!entered)
        return;
    try {
        WriteChangedParamSettings(IniPath, m_shown, *entered);
    } catch (const std::exception& e) {
        // Nothing was written: the program goes on with the settings it had.
        ShowStandardError(QString::fromUtf8(e.what()));
        reject();
        return;
    }
    accept();
    ApplyParamSettings(*entered);
}
