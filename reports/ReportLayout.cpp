#include "reports/ReportLayout.h"

#include "data/UDM.h"
#include "reports/engine/Report.h"

#include <QHash>

void LoadReportLayout(rpt::Report& report)
{
    struct Stored {
        qint64 left = 0;
        qint64 top = 0;
        qint64 height = 0;
        qint64 width = 0;
    };
    QHash<QString, Stored> stored;
    {
        db::Query qRep(DM->LURDO, QStringLiteral("SELECT * FROM REPORT WHERE REPORTNAME=:REPORTNAME"));
        qRep.setParam(QStringLiteral("REPORTNAME"), report.name().toUpper());
        qRep.open();
        for (qRep.first(); !qRep.eof(); qRep.next()) {
            const QString name = qRep.asString(QStringLiteral("COMPNAME"));
            if (stored.contains(name))
                continue;   // the first row of a name counts, as a search from the first row finds it
            stored.insert(name, Stored{qRep.asInt(QStringLiteral("PLEFT")), qRep.asInt(QStringLiteral("PTOP")),
                                       qRep.asInt(QStringLiteral("PHEIGHT")), qRep.asInt(QStringLiteral("PWIDTH"))});
        }
        qRep.close();
    }
    if (stored.isEmpty())
        return;
    for (const auto& band : report.bands()) {
        for (const auto& control : band->controls()) {
            const auto it = stored.constFind(control->name().toUpper());
            if (it == stored.constEnd())
                continue;
            if (it->top != 0)
                control->setTop(int(it->top));
            if (it->left != 0)
                control->setLeft(int(it->left));
            if (it->height > 0)
                control->setHeight(int(it->height));
            if (it->width > 0)
                control->setWidth(int(it->width));
        }
    }
}
