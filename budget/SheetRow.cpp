#include "budget/SheetRow.h"

#include "core/GlobalState.h"
#include "db/Database.h"

void ReadSheetHeader(const db::Query& q, TSheetHeader& s)
{
    s.id = q.asInt(QStringLiteral("ID_ENG"));
    s.number = q.asString(QStringLiteral("NO_ENG")).trimmed();
    s.date = q.asDate(QStringLiteral("DATE_ENG"));
    s.idFnm = q.isNull(QStringLiteral("ID_FNM")) ? -1 : q.asInt(QStringLiteral("ID_FNM"));
    s.obs = q.asString(QStringLiteral("OBS"));
    s.visaNumber = q.asString(QStringLiteral("NO_VISA")).trimmed();
    s.visaDate = q.asDate(QStringLiteral("DATE_VISA"));
    s.amount = q.asCurrency(QStringLiteral("MONTANT"));
    s.idOrigine = q.isNull(QStringLiteral("ID_ORIGINE")) ? NoOriginRecord : q.asInt(QStringLiteral("ID_ORIGINE"));
    s.statut = q.asInt(QStringLiteral("STATUT"));
}

void BindNewSheetHeader(db::Query& q, qint64 id, const TSheetHeader& h, int objet, const QString& origin)
{
    const QDate today = QDate::currentDate();
    q.setParam(QStringLiteral("ID_ENG"), id);
    q.setParam(QStringLiteral("NO_ENG"), h.number);
    q.setParam(QStringLiteral("DATE_ENG"), h.date);
    q.setParam(QStringLiteral("ID_FNM"), h.idFnm);
    q.setParam(QStringLiteral("OBS"), h.obs);
    q.setParam(QStringLiteral("NO_VISA"), h.visaNumber);
    q.setParam(QStringLiteral("DATE_VISA"), h.visaDate);
    q.setParam(QStringLiteral("OBJET"), objet);
    q.setParam(QStringLiteral("MONTANT"), h.amount);
    q.setParam(QStringLiteral("ORIGINE"), origin);
    q.setParam(QStringLiteral("ID_ORIGINE"), h.idOrigine);
    q.setParam(QStringLiteral("STATUT"), h.statut);
    q.setParam(QStringLiteral("ID_USER"), CurrentUserCode);
    q.setParam(QStringLiteral("DATEC"), today);
    q.setParam(QStringLiteral("DATEM"), today);
}
