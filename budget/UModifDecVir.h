#pragma once
// TfrmModifDecVir: the small rich-text editor of the decision template
// "DECVIR.RTF" of the program folder. The font, the size (8 to 18 points)
// and the bold, italic and underline buttons follow the text at the caret and
// apply to the text selected. The template is written back whole, keeping
// whatever formatting it holds, only after a real edit: when the user saves,
// or at closing when the text changed since the last save. A template another
// user saved since this editor read it is replaced only when the user says
// so. A template that cannot be read is reported and the editor opens empty;
// it writes nothing unless the user types and saves.
//
// Modal; the transfer window opens it ("Modifier la Décision de Transfert").

#include "reports/budget/DecisionTemplate.h"

#include <QDialog>

class QComboBox;
class QFontComboBox;
class QTextEdit;
class QToolButton;
class QPushButton;

class TfrmModifDecVir : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModifDecVir(QWidget* parent = nullptr);
    ~TfrmModifDecVir() override;

    QWidget* pnlTools = nullptr;
    QFontComboBox* cmbFont = nullptr;
    QComboBox* cmbSize = nullptr;
    QToolButton* btnGras = nullptr;
    QToolButton* btnItalic = nullptr;
    QToolButton* btnSouligne = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;
    QTextEdit* RichDesc = nullptr;

    // The template the editor reads and writes (AppDir + "DECVIR.RTF").
    const QString& FileName() const { return m_path; }

    void btnSaveClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void RichDescSelectionChange();
    void cmbFontChange();
    void cmbSizeChange();
    void ApplyStyle(QToolButton* button);
    enum class SaveResult { Saved, Declined, Failed };
    // Writes the template, after asking when another user saved it since it
    // was read: Declined when the user keeps the other version (at closing,
    // `closing` also offers to stay), Failed when it could not be written (the
    // user told why) or the user chose to stay.
    SaveResult Save(bool closing);

    QString m_path;
    TTemplateVersion m_version;   // the template as this editor read or last wrote it
};

// Opens the template editor modally over `parent`.
void OpenDecisionTemplate(QWidget* parent);
