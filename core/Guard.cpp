#include "core/Guard.h"

#include "core/MessageBox.h"
#include "db/Database.h"

void Abort()
{
    throw EAbort();
}

void ShowStandardError(const QString& message)
{
    ShowStandardDialog(message, StdDialogType::Error, MsgButtons(MsgButton::OK));
}

bool RunGuarded(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const EAbort&) {
    } catch (const db::DbError& e) {
        ShowStandardError(e.message());
    } catch (const std::exception& e) {
        ShowStandardError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowStandardError(QStringLiteral("Erreur inattendue."));
    }
    return false;
}
