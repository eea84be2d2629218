#include "core/Refusal.h"

#include "core/Guard.h"

#include <QWidget>

void ShowRefusal(const TRefusal& refusal, QWidget* focus, int type)
{
    if (!refusal.message.isEmpty())
        ShowMessageBox(refusal.message, type, MsgButton::OK);
    if (focus && focus->isEnabled())
        focus->setFocus();
}

void Refuse(const TRefusal& refusal, QWidget* focus, int type)
{
    ShowRefusal(refusal, focus, type);
    Abort();
}

void Refuse(const QString& text, QWidget* focus, int type)
{
    Refuse(TRefusal{text}, focus, type);
}
