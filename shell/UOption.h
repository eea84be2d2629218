#pragma once
// The settings dialog "Paramètres ": the document settings, the supplier
// ceilings, the credit-shortage policies and the installation texts of the
// documents, read from section [PARAM] of "VOREL.INI" and, on OK, the values
// the user changed written back and all put into the global state at once (the checks and documents follow
// them without a restart). The values shown are the values in force: a
// missing ceiling shows the default the program applies.

#include "core/Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TNumEdit;

class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* parent = nullptr);
    ~TfrmOptions() override;

    // Runs the dialog modally; the modal result.
    static int Execute(QWidget* parent);

    QTabWidget* PageControl1 = nullptr;
    QWidget* pgParams = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* pgInstall = nullptr;

    // "Paramètres"
    QLineEdit* edVille = nullptr;
    QLineEdit* edSignataire = nullptr;
    QLineEdit* edRIT = nullptr;
    QLineEdit* edRIP = nullptr;
    QLineEdit* edRipFour = nullptr;
    TNumEdit* edPrestMax = nullptr;
    TNumEdit* edFourMax = nullptr;
    QLineEdit* edSuffixe = nullptr;
    QCheckBox* chkPrintFacName = nullptr;

    // "Décisions": the item index is the policy (0 proceed, 1 refuse, 2 ask).
    QComboBox* cmbDec_Eng = nullptr;
    QComboBox* cmbDec_Mdt = nullptr;
    QComboBox* cmbDec_Trans = nullptr;
    QComboBox* cmbDec_Mdt_Eng = nullptr;

    // "Etablissement": the installation texts of the documents.
    QLineEdit* edFaculte = nullptr;
    QLineEdit* edUniversite = nullptr;
    QLineEdit* edAgentPayeur = nullptr;
    QLineEdit* edTresorerie = nullptr;
    QLineEdit* edActelNom = nullptr;
    QLineEdit* edActelCpt = nullptr;
    QLineEdit* edActelRip = nullptr;
    QLineEdit* edActelObjet = nullptr;

    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void btnOkClick();

private:
    QWidget* BuildParamsPage();
    QWidget* BuildDecisionsPage();
    QWidget* BuildInstallationPage();
    void FormCreate();
    // The settings as the controls hold them (a ceiling that is no amount
    // keeps the value read).
    TParamSettings Shown() const;
    // The settings as the dialog shows them; nothing, after telling the user
    // and putting the focus on the field, when one cannot be stored.
    std::optional<TParamSettings> Entered();

    // The settings read at creation, and as the dialog first showed them: a
    // save writes only the keys whose value the user changed, so a key another
    // program saved meanwhile keeps its value.
    TParamSettings m_read;
    TParamSettings m_shown;
};
