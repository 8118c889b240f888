#pragma once

#include <QString>

// A table of a result's FROM clause: where the fields of a row come from
// and go back to, and the key column that names the table's row.
struct OriginTable {
    QString table;
    QString qualifier; // the alias, or the table's own name
    QString keyColumn;

    // "qualifier"."keyColumn", as the result's SQL names the key.
    QString keyExpression() const;
};
