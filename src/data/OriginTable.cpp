#include "OriginTable.h"

#include "SqlTranslator.h"

QString OriginTable::keyExpression() const {
    return sql::SqlTranslator::quoteName(qualifier) + u'.' +
           sql::SqlTranslator::quoteName(keyColumn);
}
