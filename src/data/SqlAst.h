#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Syntax tree of the SQL texts the windows build (the desktop database dialect:
// & concatenation, [bracketed names], #m/d/yyyy# dates, * wildcards in LIKE).
namespace sql {

struct Expr;
using ExprPtr = std::shared_ptr<const Expr>;

struct Expr {
    enum class Kind {
        Column,   // qualifier.name
        Star,     // * or qualifier.*
        Text,     // 'literal'
        Integer,  // 12
        Real,     // 1.5
        Date,     // #12/10/2026#, text holds ISO 8601
        Null,     // NULL
        Boolean,  // TRUE/FALSE, text holds "1" or "0"
        Unary,    // name: "NOT", "-", "+"
        Binary,   // name: "=", "<>", "<", ">", "<=", ">=", "+", "-", "*", "/", "\", "MOD",
                  // "^", "AND", "OR"
        Concat,   // args joined with &
        Like,     // args[0] LIKE args[1]; negated for NOT LIKE
        IsNull,   // args[0] IS NULL; negated for IS NOT NULL
        InList,   // args[0] IN (args[1..])
        Between,  // args[0] BETWEEN args[1] AND args[2]
        Function, // name(args)
    };
    Kind kind;
    QString qualifier;
    QString name;
    QString text;
    bool negated = false;
    std::vector<ExprPtr> args;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
};

struct TableRef;
using TableRefPtr = std::shared_ptr<const TableRef>;

struct TableRef {
    enum class Kind { Table, Join };
    Kind kind = Kind::Table;
    // Table
    QString name;
    QString alias;
    // Join
    QString joinType; // "INNER", "LEFT", "RIGHT"
    TableRefPtr left;
    TableRefPtr right;
    ExprPtr on;

    // The name that columns of this table are qualified with.
    QString qualifier() const { return alias.isEmpty() ? name : alias; }
};

// IN '' 'Excel 8.0;database=PATH' after a FROM source or a target.
struct ExternalSource {
    QString databasePath;
    QString connect;
};

struct OrderTerm {
    ExprPtr expr;
    bool descending = false;
};

struct Select {
    bool distinct = false;
    std::optional<qint64> top;
    std::vector<SelectItem> items;
    QString into;
    std::vector<TableRefPtr> from; // comma-separated sources
    std::optional<ExternalSource> external;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderTerm> orderBy;
};

struct Statement {
    enum class Kind { Select, Insert, Update, Delete, DropTable };
    Kind kind = Kind::Select;
    Select select;             // Select, and the source rows of Insert ... SELECT
    bool insertValues = false; // Insert ... VALUES
    QString table;             // Insert, Update, Delete, DropTable
    QStringList columns;       // Insert column list
    std::vector<ExprPtr> values;
    std::vector<std::pair<QString, ExprPtr>> assignments; // Update
    ExprPtr where;                                        // Update, Delete
};

} // namespace sql
