#include "core/MessageBox.h"

#include "core/UError.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageResponder g_responder;
}

void SetMessageResponder(MessageResponder responder) { g_responder = std::move(responder); }
const MessageResponder& CurrentMessageResponder() { return g_responder; }

int ShowMessageBox(const QString& text, int type, MsgButtons buttons)
{
    if (g_responder)
        return g_responder(MessageCall{text, type, buttons, false});
    return TfrmError::Execute(text, type, buttons);
}

void ShowInfo(const QString& text)
{
    ShowMessageBox(text, mtInformation, MsgButton::OK);
}

int ShowStandardDialog(const QString& text, StdDialogType type, MsgButtons buttons)
{
    if (g_responder)
        return g_responder(MessageCall{text, int(type), buttons, true});
    QMessageBox box(QApplication::activeWindow());
    switch (type) {
    case StdDialogType::Warning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(QStringLiteral("Avertissement")); break;
    case StdDialogType::Error: box.setIcon(QMessageBox::Critical); box.setWindowTitle(QStringLiteral("Erreur")); break;
    case StdDialogType::Information: box.setIcon(QMessageBox::Information); box.setWindowTitle(QStringLiteral("Information")); break;
    case StdDialogType::Confirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(QStringLiteral("Confirmation")); break;
    }
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    struct Pair { MsgButton kind; const char* caption; int result; QMessageBox::ButtonRole role; };
    const Pair pairs[] = {
        {MsgButton::Yes, "&Oui", mrYes, QMessageBox::YesRole},
        {MsgButton::No, "&Non", mrNo, QMessageBox::NoRole},
        {MsgButton::OK, "OK", mrOk, QMessageBox::AcceptRole},
        {MsgButton::Cancel, "Annuler", mrCancel, QMessageBox::RejectRole},
    };
    QList<QPair<QAbstractButton*, int>> made;
    for (const Pair& p : pairs)
        if (buttons.testFlag(p.kind))
            made.append(qMakePair(static_cast<QAbstractButton*>(box.addButton(QString::fromUtf8(p.caption), p.role)), p.result));
    if (made.isEmpty())
        made.append(qMakePair(static_cast<QAbstractButton*>(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole)), int(mrOk)));
    box.exec();
    for (const auto& m : made)
        if (box.clickedButton() == m.first)
            return m.second;
    return buttons.testFlag(MsgButton::Cancel) ? mrCancel : (buttons.testFlag(MsgButton::No) ? mrNo : mrOk);
}

std::optional<QString> InputBox(QWidget* parent, const QString& title, const QString& prompt)
{
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Annuler"));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}
