#include "budget/UModifDecVir.h"

#include "core/Guard.h"
#include "core/MessageBox.h"
#include "reports/budget/DecisionTemplate.h"
#include "rtf/Rtf.h"
#include "ui/FormKit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* StyleButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                         void (QFont::*style)(bool))
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(28, 26);
    QFont f = b->font();
    (f.*style)(true);
    b->setFont(f);
    return b;
}

// The first item equal to `text` without regard to case becomes current;
// the list stays as it was when there is none.
void SelectComboItem(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text, Qt::MatchFixedString);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else if (combo->isEditable())
        combo->setEditText(text);
}

} // namespace

TfrmModifDecVir::TfrmModifDecVir(QWidget* parent)
    : QDialog(parent), m_path(DecisionTemplatePath())
{
    setObjectName(QStringLiteral("frmModifDecVir"));
    setWindowTitle(QStringLiteral("Décision de transfert"));

    QVBoxLayout* layout = MakeWindowColumn(this);
    QHBoxLayout* bar = AddToolPanel(this, layout, &pnlTools, "pnlTools");
    cmbFont = new QFontComboBox(pnlTools);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setToolTip(QStringLiteral("Fonte"));
    cmbFont->setFocusPolicy(Qt::ClickFocus);
    bar->addWidget(cmbFont);
    cmbSize = new QComboBox(pnlTools);
    cmbSize->setObjectName(QStringLiteral("cmbSize"));
    cmbSize->setToolTip(QStringLiteral("Taille de la fonte"));
    cmbSize->setFocusPolicy(Qt::ClickFocus);
    for (int size = 8; size <= 18; ++size)
        cmbSize->addItem(QString::number(size));
    bar->addWidget(cmbSize);
    bar->addSpacing(6);
    btnGras = StyleButton(pnlTools, "btnGras", QStringLiteral("&G"), QStringLiteral("Gras"), &QFont::setBold);
    btnItalic = StyleButton(pnlTools, "btnItalic", QStringLiteral("&I"), QStringLiteral("Italique"), &QFont::setItalic);
    btnSouligne = StyleButton(pnlTools, "btnSouligne", QStringLiteral("&S"), QStringLiteral("Souligné"),
                              &QFont::setUnderline);
    bar->addWidget(btnGras);
    bar->addWidget(btnItalic);
    bar->addWidget(btnSouligne);
    bar->addSpacing(6);
    btnSave = MakeButton(pnlTools, "btnSave", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer la décision"),
                         QStyle::SP_DialogSaveButton);
    btnSave->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(btnSave);
    bar->addStretch();
    btnClose = MakeButton(pnlTools, "btnClose", QStringLiteral("Fermer"), QStringLiteral("Fermer"),
                          QStyle::SP_DialogCloseButton);
    btnClose->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(btnClose);

    RichDesc = new QTextEdit(this);
    RichDesc->setObjectName(QStringLiteral("RichDesc"));
    RichDesc->setAcceptRichText(true);
    RichDesc->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(RichDesc, 1);

    FormCreate();

    connect(RichDesc, &QTextEdit::currentCharFormatChanged, this, Guarded([this] { RichDescSelectionChange(); }));
    connect(RichDesc, &QTextEdit::cursorPositionChanged, this, Guarded([this] { RichDescSelectionChange(); }));
    // Only a change of the text or of its formats since the last save counts.
    connect(RichDesc->document(), &QTextDocument::modificationChanged, btnSave, &QWidget::setEnabled);
    connect(cmbFont, &QComboBox::activated, this, Guarded([this] { cmbFontChange(); }));
    connect(cmbSize, &QComboBox::activated, this, Guarded([this] { cmbSizeChange(); }));
    for (QToolButton* b : {btnGras, btnItalic, btnSouligne})
        connect(b, &QToolButton::clicked, this, Guarded([this, b] { ApplyStyle(b); }));
    connect(btnSave, &QPushButton::clicked, this, Guarded([this] { btnSaveClick(); }));
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    resize(720, 620);
}

TfrmModifDecVir::~TfrmModifDecVir() = default;

void TfrmModifDecVir::FormCreate()
{
    QTextDocument* document = RichDesc->document();
    // Taken before reading: a change made meanwhile is then seen as one.
    m_version = DecisionTemplateVersion(m_path);
    if (std::optional<QString> error = rtf::LoadFile(m_path, *document)) {
        // Nothing read: the editor opens empty and writes nothing unless
        // the user types and saves.
        document->clear();
        ShowMessageBox(*error, mtError, MsgButton::OK);
    }
    document->setModified(false);
    document->clearUndoRedoStacks();
    btnSave->setEnabled(false);
    RichDesc->moveCursor(QTextCursor::Start);
    RichDescSelectionChange();
}

void TfrmModifDecVir::RichDescSelectionChange()
{
    const QTextCharFormat format = RichDesc->currentCharFormat();
    const QFont font = format.font();
    const QSignalBlocker blockFont(cmbFont);
    const QSignalBlocker blockSize(cmbSize);
    const QStringList families = format.fontFamilies().toStringList();
    SelectComboItem(cmbFont, families.isEmpty() ? font.family() : families.first());
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : font.pointSizeF();
    SelectComboItem(cmbSize, QString::number(qRound(points)));
    btnGras->setChecked(font.bold());
    btnItalic->setChecked(font.italic());
    btnSouligne->setChecked(font.underline());
}

void TfrmModifDecVir::cmbFontChange()
{
    QTextCharFormat format;
    format.setFontFamilies({cmbFont->currentText()});
    RichDesc->mergeCurrentCharFormat(format);
    RichDesc->setFocus();
}

void TfrmModifDecVir::cmbSizeChange()
{
    QTextCharFormat format;
    format.setFontPointSize(cmbSize->currentText().toInt());
    RichDesc->mergeCurrentCharFormat(format);
    RichDesc->setFocus();
}

void TfrmModifDecVir::ApplyStyle(QToolButton* button)
{
    const bool on = button->isChecked();
    QTextCharFormat format;
    if (button == btnGras)
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    else if (button == btnItalic)
        format.setFontItalic(on);
    else
        format.setFontUnderline(on);
    RichDesc->mergeCurrentCharFormat(format);
    RichDesc->setFocus();
}

TfrmModifDecVir::SaveResult TfrmModifDecVir::Save(bool closing)
{
    // Another user's save since this editor read the template is not
    // replaced without the user's word.
    if (DecisionTemplateVersion(m_path) != m_version) {
        const QString question = QStringLiteral("Le fichier %1 a été modifié par un autre utilisateur depuis son "
                                                "ouverture.\rVoulez-vous le remplacer par votre version ?")
                                     .arg(m_path);
        const MsgButtons buttons = closing ? MsgButton::Yes | MsgButton::No | MsgButton::Cancel
                                           : MsgButton::Yes | MsgButton::No;
        const int answer = ShowMessageBox(question, mtWarning, buttons);
        if (answer == mrNo)
            return SaveResult::Declined;
        if (answer != mrYes)
            return SaveResult::Failed;
    }
    if (std::optional<QString> error = SaveDecisionTemplate(m_path, *RichDesc->document())) {
        ShowMessageBox(*error, mtError, MsgButton::OK);
        return SaveResult::Failed;
    }
    m_version = DecisionTemplateVersion(m_path);
    RichDesc->document()->setModified(false);
    return SaveResult::Saved;
}

void TfrmModifDecVir::btnSaveClick()
{
    Save(false);
}

void TfrmModifDecVir::closeEvent(QCloseEvent* event)
{
    // An edit not saved yet is written without a question, unless another
    // user saved the template meanwhile: then the user chooses to replace it,
    // to close leaving it, or to stay. A file that cannot be written keeps
    // the window open.
    if (RichDesc->document()->isModified() && Save(true) == SaveResult::Failed) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmModifDecVir::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OpenDecisionTemplate(QWidget* parent)
{
    TfrmModifDecVir frm(parent);
    frm.exec();
}
