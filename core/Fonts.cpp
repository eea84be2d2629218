#include "core/Fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

void RegisterFontSubstitutions()
{
    struct Pair { const char* design; const char* installed; };
    static constexpr Pair pairs[] = {
        {"Verdana", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const Pair& p : pairs) {
        const QString design = QString::fromLatin1(p.design);
        const QString installed = QString::fromLatin1(p.installed);
        if (!QFont::substitutes(design).contains(installed))
            QFont::insertSubstitution(design, installed);
    }
}
