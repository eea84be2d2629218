#include "reports/ReportLayout.h"

#include "data/UDM.h"
#include "data/WriteGuard.h"
#include "reports/engine/Report.h"

#include <algorithm>

QHash<QString, TStoredPosition> ReadReportLayout(const QString& reportName)
{
    QHash<QString, TStoredPosition> stored;
    db::Query qRep(DM->LURDO, QStringLiteral("SELECT * FROM REPORT WHERE REPORTNAME=:REPORTNAME"));
    qRep.setParam(QStringLiteral("REPORTNAME"), reportName.toUpper());
    qRep.open();
    for (qRep.first(); !qRep.eof(); qRep.next()) {
        const QString name = qRep.asString(QStringLiteral("COMPNAME"));
        if (stored.contains(name))
            continue;   // the first row of a name counts, as a search from the first row finds it
        stored.insert(name, TStoredPosition{int(qRep.asInt(QStringLiteral("PLEFT"))),
                                            int(qRep.asInt(QStringLiteral("PTOP"))),
                                            int(qRep.asInt(QStringLiteral("PHEIGHT"))),
                                            int(qRep.asInt(QStringLiteral("PWIDTH"))),
                                            qRep.asString(QStringLiteral("FNAME")).trimmed(),
                                            int(qRep.asInt(QStringLiteral("FSIZE")))});
    }
    qRep.close();
    return stored;
}

QRect ApplyStoredPosition(const QRect& design, const TStoredPosition& stored)
{
    QRect rect = design;
    if (stored.top != 0)
        rect.moveTop(stored.top);
    if (stored.left != 0)
        rect.moveLeft(stored.left);
    if (stored.height > 0)
        rect.setHeight(stored.height);
    if (stored.width > 0)
        rect.setWidth(stored.width);
    return rect;
}

void LoadReportLayout(rpt::Report& report)
{
    const QHash<QString, TStoredPosition> stored = ReadReportLayout(report.name());
    if (stored.isEmpty())
        return;
    for (const auto& band : report.bands()) {
        for (const auto& control : band->controls()) {
            const auto it = stored.constFind(control->name().toUpper());
            if (it != stored.constEnd())
                control->setRect(ApplyStoredPosition(control->rect(), *it));
        }
    }
}

bool SaveReportLayout(const QString& reportName, const QList<TLayoutRow>& rows, const TLayoutMargins& margins)
{
    if (rows.isEmpty())
        return false;
    const QString name = reportName.toUpper();
    TWriteGuard write;
    {
        db::Query del(DM->LURDO, QStringLiteral("DELETE FROM REPORT WHERE REPORTNAME=:REPORTNAME"));
        del.setParam(QStringLiteral("REPORTNAME"), name);
        del.exec();
    }
    db::Query ins(DM->LURDO,
                  QStringLiteral("INSERT INTO REPORT       (REPORTNAME,  COMPNAME,        PLEFT, PTOP, PHEIGHT, "
                                 "PWIDTH,        TMARGIN, LMARGIN, RMARGIN, BMARGIN,        FNAME, FSIZE) "
                                 "VALUES(:REPORTNAME,  :COMPNAME,        :PLEFT, :PTOP, :PHEIGHT, :PWIDTH,        "
                                 ":TMARGIN, :LMARGIN, :RMARGIN, :BMARGIN,        :FNAME, :FSIZE)"));
    const auto atLeast1 = [](int v) { return qint64(std::max(1, v)); };
    for (const TLayoutRow& row : rows) {
        ins.setParam(QStringLiteral("REPORTNAME"), name);
        ins.setParam(QStringLiteral("COMPNAME"), row.control.toUpper());
        ins.setParam(QStringLiteral("PLEFT"), atLeast1(row.rect.left()));
        ins.setParam(QStringLiteral("PTOP"), atLeast1(row.rect.top()));
        ins.setParam(QStringLiteral("PHEIGHT"), atLeast1(row.rect.height()));
        ins.setParam(QStringLiteral("PWIDTH"), atLeast1(row.rect.width()));
        ins.setParam(QStringLiteral("TMARGIN"), qint64(margins.top));
        ins.setParam(QStringLiteral("LMARGIN"), qint64(margins.left));
        ins.setParam(QStringLiteral("RMARGIN"), qint64(margins.right));
        ins.setParam(QStringLiteral("BMARGIN"), qint64(margins.bottom));
        ins.setParam(QStringLiteral("FNAME"), row.label ? db::Value(row.fontName) : db::Value());
        ins.setParam(QStringLiteral("FSIZE"), row.label ? db::Value(qint64(row.fontSize)) : db::Value());
        ins.exec();
    }
    write.Commit();
    return true;
}
