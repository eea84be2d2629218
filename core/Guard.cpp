#include "core/Guard.h"

#include "core/MessageBox.h"
#include "core/Refusal.h"
#include "db/Database.h"

void Abort()
{
    throw EAbort();
}

void ShowStandardError(const QString& message)
{
    ShowStandardDialog(message, StdDialogType::Error, MsgButtons(MsgButton::OK));
}

QString DatabaseErrorText(const db::DbError& error)
{
    QString what;
    if (error.isConflict())
        what = QStringLiteral("Ces informations sont en cours de modification par un autre utilisateur : "
                              "rien n'a été enregistré. Réessayez dans un instant.");
    else if (error.isValueOutOfRange())
        what = QStringLiteral("Une valeur est trop grande pour ce que la base de données peut contenir : "
                              "rien n'a été enregistré.");
    else if (error.isDuplicate())
        what = QStringLiteral("Cet enregistrement existe déjà dans la base de données : rien n'a été enregistré.");
    else if (error.isConnectionLost())
        what = QStringLiteral("La connexion à la base de données est perdue.");
    else {
        switch (error.operation()) {
        case db::DbError::Operation::Write:
            what = QStringLiteral("La base de données a refusé l'enregistrement : rien n'a été enregistré.");
            break;
        case db::DbError::Operation::Read:
            what = QStringLiteral("Les informations n'ont pas pu être lues dans la base de données.");
            break;
        case db::DbError::Operation::Connect:
            what = QStringLiteral("La connexion à la base de données a échoué.");
            break;
        case db::DbError::Operation::Unknown:
            what = QStringLiteral("La base de données a refusé l'opération.");
            break;
        }
    }
    return what + QStringLiteral("\r\r") + error.message();
}

bool RunGuarded(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const EAbort&) {
    } catch (const TRefusalError& e) {
        // A store's refusal no window took up: told as any error that escapes.
        ShowStandardError(e.refusal().message);
    } catch (const db::DbError& e) {
        ShowStandardError(DatabaseErrorText(e));
    } catch (const std::exception& e) {
        ShowStandardError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowStandardError(QStringLiteral("Erreur inattendue."));
    }
    return false;
}
