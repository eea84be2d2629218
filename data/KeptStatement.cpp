#include "data/KeptStatement.h"

#include "data/UDM.h"

db::Query& KeptStatement(std::unique_ptr<db::Query>& slot, const QString& sql)
{
    if (!slot)
        slot = std::make_unique<db::Query>(DM->LURDO, sql);
    return *slot;
}
