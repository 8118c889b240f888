#include "SqlTranslator.h"

#include "DocumentIndex.h"

#include <QHash>
#include <QSet>

namespace sql {

namespace {

// A computed value that may be text compares and sorts as the columns do,
// ignoring letter case; SQLite gives the result of a function none of the
// column's collation. For numbers the collation changes nothing.
QString textResult(const QString& sql) {
    return u'(' + sql + QStringLiteral(" COLLATE NOCASE)");
}

} // namespace

namespace {

bool isAggregate(const QString& name) {
    static const QSet<QString> names = {QStringLiteral("COUNT"), QStringLiteral("SUM"),
                                        QStringLiteral("MIN"),   QStringLiteral("MAX"),
                                        QStringLiteral("AVG"),   QStringLiteral("FIRST"),
                                        QStringLiteral("LAST")};
    return names.contains(name.toUpper());
}

} // namespace

QString TranslatedSelect::selectList() const {
    QStringList parts;
    for (const OutputColumn& column : columns)
        parts.append(column.sql + QStringLiteral(" AS ") + SqlTranslator::quoteName(column.name));
    return parts.join(QStringLiteral(", "));
}

QString TranslatedSelect::sql() const {
    QString text = QStringLiteral("SELECT ");
    if (distinct)
        text += QStringLiteral("DISTINCT ");
    text += selectList() + QStringLiteral(" FROM ") + fromSql;
    if (!whereSql.isEmpty())
        text += QStringLiteral(" WHERE ") + whereSql;
    if (!groupSql.isEmpty())
        text += u' ' + groupSql;
    if (!orderSql.isEmpty())
        text += QStringLiteral(" ORDER BY ") + orderSql;
    if (top)
        text += QStringLiteral(" LIMIT %1").arg(*top);
    return text;
}

SqlTranslator::SqlTranslator(SchemaLookup schema)
    : m_schema(std::move(schema)) {}

QString SqlTranslator::quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString SqlTranslator::quoteText(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

bool SqlTranslator::fail(const QString& message) const {
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool SqlTranslator::expression(const ExprPtr& e, QString& out) const {
    auto sub = [&](int index, QString& text) { return expression(e->args.at(index), text); };
    switch (e->kind) {
    case Expr::Kind::Column:
        out = e->qualifier.isEmpty() ? quoteName(e->name)
                                     : quoteName(e->qualifier) + u'.' + quoteName(e->name);
        return true;
    case Expr::Kind::Star:
        return fail(QStringLiteral("* can only stand in the select list or in Count(*)."));
    case Expr::Kind::Text:
    case Expr::Kind::Date:
        out = quoteText(e->text);
        return true;
    case Expr::Kind::Integer:
    case Expr::Kind::Real:
    case Expr::Kind::Boolean:
        out = e->text;
        return true;
    case Expr::Kind::Null:
        out = QStringLiteral("NULL");
        return true;
    case Expr::Kind::Unary: {
        QString operand;
        if (!sub(0, operand))
            return false;
        out = QStringLiteral("(%1 %2)").arg(e->name, operand);
        return true;
    }
    case Expr::Kind::Binary: {
        QString left, right;
        if (!sub(0, left) || !sub(1, right))
            return false;
        const QString& op = e->name;
        if (op == QLatin1String("\\"))
            out = QStringLiteral("(CAST(ROUND(%1) AS INTEGER) / CAST(ROUND(%2) AS INTEGER))")
                      .arg(left, right);
        else if (op == QLatin1String("MOD"))
            out = QStringLiteral("(%1 % %2)").arg(left, right);
        else if (op == QLatin1String("^"))
            out = QStringLiteral("pow(%1, %2)").arg(left, right);
        else if (op == QLatin1String("<>"))
            out = QStringLiteral("(%1 <> %2)").arg(left, right);
        else
            out = QStringLiteral("(%1 %2 %3)").arg(left, op, right);
        if (op == QLatin1String("="))
            byName(*e, out);
        return true;
    }
    case Expr::Kind::Concat: {
        QStringList parts;
        for (const ExprPtr& arg : e->args) {
            QString part;
            if (!expression(arg, part))
                return false;
            parts.append(part);
        }
        out = textResult(QStringLiteral("tess_concat(%1)").arg(parts.join(QStringLiteral(", "))));
        return true;
    }
    case Expr::Kind::Like: {
        QString value, pattern;
        if (!sub(0, value) || !sub(1, pattern))
            return false;
        out = QStringLiteral("(%1 %2LIKE %3)")
                  .arg(value, e->negated ? QStringLiteral("NOT ") : QString(), pattern);
        if (!e->negated)
            byText(*e, out);
        return true;
    }
    case Expr::Kind::IsNull: {
        QString value;
        if (!sub(0, value))
            return false;
        out = QStringLiteral("(%1 IS %2NULL)")
                  .arg(value, e->negated ? QStringLiteral("NOT ") : QString());
        return true;
    }
    case Expr::Kind::InList: {
        QString value;
        if (!sub(0, value))
            return false;
        QStringList items;
        for (size_t i = 1; i < e->args.size(); ++i) {
            QString item;
            if (!expression(e->args[i], item))
                return false;
            items.append(item);
        }
        out = QStringLiteral("(%1 %2IN (%3))")
                  .arg(value, e->negated ? QStringLiteral("NOT ") : QString(),
                       items.join(QStringLiteral(", ")));
        return true;
    }
    case Expr::Kind::Between: {
        QString value, low, high;
        if (!sub(0, value) || !sub(1, low) || !sub(2, high))
            return false;
        out = QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                  .arg(value, e->negated ? QStringLiteral("NOT ") : QString(), low, high);
        return true;
    }
    case Expr::Kind::Function:
        return function(*e, out);
    }
    return fail(QStringLiteral("Unknown expression."));
}

bool SqlTranslator::whereClause(const ExprPtr& where, QString& out) const {
    out.clear();
    if (!where)
        return true;
    QString condition;
    if (!expression(where, condition))
        return false;
    out = QStringLiteral(" WHERE ") + condition;
    return true;
}

bool SqlTranslator::function(const Expr& e, QString& out) const {
    const QString name = e.name.toUpper();
    QStringList args;
    for (const ExprPtr& arg : e.args) {
        if (arg->kind == Expr::Kind::Star && name == QLatin1String("COUNT")) {
            args.append(QStringLiteral("*"));
            continue;
        }
        QString text;
        if (!expression(arg, text))
            return false;
        args.append(text);
    }
    auto arity = [&](int low, int high) {
        if (args.size() >= low && args.size() <= high)
            return true;
        return fail(QStringLiteral("Wrong number of arguments used with function in query "
                                   "expression '%1'.")
                        .arg(e.name));
    };
    if (isAggregate(name)) {
        if (!arity(1, 1))
            return false;
        m_aggregate = true;
        const QString sqliteName = name == QLatin1String("FIRST")  ? QStringLiteral("MIN")
                                   : name == QLatin1String("LAST") ? QStringLiteral("MAX")
                                                                   : name;
        out = QStringLiteral("%1(%2)").arg(sqliteName, args.at(0));
        return true;
    }
    static const QHash<QString, QString> simple = {
        {QStringLiteral("UCASE"), QStringLiteral("upper")},
        {QStringLiteral("LCASE"), QStringLiteral("lower")},
        {QStringLiteral("TRIM"), QStringLiteral("trim")},
        {QStringLiteral("LTRIM"), QStringLiteral("ltrim")},
        {QStringLiteral("RTRIM"), QStringLiteral("rtrim")},
        {QStringLiteral("LEN"), QStringLiteral("length")},
        {QStringLiteral("ABS"), QStringLiteral("abs")},
    };
    if (simple.contains(name)) {
        if (!arity(1, 1))
            return false;
        out = QStringLiteral("%1(%2)").arg(simple.value(name), args.at(0));
        if (name != QLatin1String("LEN") && name != QLatin1String("ABS"))
            out = textResult(out);
        return true;
    }
    if (name == QLatin1String("LEFT")) {
        if (!arity(2, 2))
            return false;
        out = textResult(QStringLiteral("substr(%1, 1, %2)").arg(args.at(0), args.at(1)));
        return true;
    }
    if (name == QLatin1String("RIGHT")) {
        if (!arity(2, 2))
            return false;
        out = textResult(QStringLiteral("(CASE WHEN %2 <= 0 THEN '' ELSE substr(%1, -(%2)) END)")
                             .arg(args.at(0), args.at(1)));
        return true;
    }
    if (name == QLatin1String("MID")) {
        if (!arity(2, 3))
            return false;
        out = textResult(
            args.size() == 2
                ? QStringLiteral("substr(%1, %2)").arg(args.at(0), args.at(1))
                : QStringLiteral("substr(%1, %2, %3)").arg(args.at(0), args.at(1), args.at(2)));
        return true;
    }
    if (name == QLatin1String("NZ")) {
        if (!arity(1, 2))
            return false;
        out =
            textResult(QStringLiteral("coalesce(%1, %2)")
                           .arg(args.at(0), args.size() == 2 ? args.at(1) : QStringLiteral("''")));
        return true;
    }
    if (name == QLatin1String("IIF")) {
        if (!arity(3, 3))
            return false;
        out = textResult(QStringLiteral("(CASE WHEN %1 THEN %2 ELSE %3 END)")
                             .arg(args.at(0), args.at(1), args.at(2)));
        return true;
    }
    static const QHash<QString, QString> dateParts = {
        {QStringLiteral("YEAR"), QStringLiteral("%Y")},
        {QStringLiteral("MONTH"), QStringLiteral("%m")},
        {QStringLiteral("DAY"), QStringLiteral("%d")}};
    if (dateParts.contains(name)) {
        if (!arity(1, 1))
            return false;
        out = QStringLiteral("CAST(strftime('%1', %2) AS INTEGER)")
                  .arg(dateParts.value(name), args.at(0));
        return true;
    }
    return fail(QStringLiteral("Undefined function '%1' in expression.").arg(e.name));
}

bool SqlTranslator::from(const TableRefPtr& ref, QString& out,
                         std::vector<SourceTable>& sources) const {
    if (ref->kind == TableRef::Kind::Table) {
        if (ref->name.endsWith(u'$'))
            return fail(QStringLiteral("The worksheet [%1] can only be read by SELECT * INTO "
                                       "... FROM [%1] IN '' 'Excel 8.0;database=...'.")
                            .arg(ref->name));
        if (!m_schema(ref->name))
            return fail(QStringLiteral("The table '%1' does not exist.").arg(ref->name));
        out = quoteName(ref->name);
        if (!ref->alias.isEmpty())
            out += QStringLiteral(" AS ") + quoteName(ref->alias);
        sources.push_back({ref->name, ref->qualifier()});
        return true;
    }
    QString left, right, on;
    if (!from(ref->left, left, sources) || !from(ref->right, right, sources) ||
        !expression(ref->on, on))
        return false;
    if (ref->right->kind == TableRef::Kind::Join)
        right = u'(' + right + u')';
    out = QStringLiteral("%1 %2 JOIN %3 ON %4").arg(left, ref->joinType, right, on);
    return true;
}

std::optional<SourceTable> SqlTranslator::documentSource(const Expr& column,
                                                         const QString& name) const {
    if (!m_useDocumentIndexes || !m_whereSources || column.kind != Expr::Kind::Column ||
        column.name.compare(name, Qt::CaseInsensitive) != 0 || !DocumentIndex::hasPlainText())
        return std::nullopt;
    std::optional<SourceTable> found;
    for (const SourceTable& source : *m_whereSources) {
        if (!column.qualifier.isEmpty()
                ? source.qualifier.compare(column.qualifier, Qt::CaseInsensitive) == 0
                : m_whereSources->size() == 1) {
            found = source;
            break;
        }
    }
    if (!found)
        return std::nullopt;
    for (const QString& table : DocumentIndex::tables())
        if (found->table.compare(table, Qt::CaseInsensitive) == 0 &&
            m_schema(DocumentIndex::plainTable(table)) &&
            m_schema(DocumentIndex::textTable(table))) {
            found->table = table;
            if (!m_indexedTables.contains(table))
                m_indexedTables.append(table);
            return found;
        }
    return std::nullopt;
}

void SqlTranslator::byName(const Expr& e, QString& out) const {
    // A document's company name equal to a text: its folded copy finds the
    // rows through an index; the comparison itself stays as it was.
    const Expr& a = *e.args.at(0);
    const Expr& b = *e.args.at(1);
    const Expr& literal = a.kind == Expr::Kind::Text ? a : b;
    const Expr& column = a.kind == Expr::Kind::Text ? b : a;
    if (literal.kind != Expr::Kind::Text)
        return;
    const auto source = documentSource(column, QStringLiteral("TEXT01"));
    if (!source)
        return;
    out = QStringLiteral("(%1 AND %2.rowid IN (SELECT \"ROW\" FROM %3 WHERE \"FOLDED\" = %4))")
              .arg(out, quoteName(source->qualifier),
                   quoteName(DocumentIndex::plainTable(source->table)),
                   quoteText(DocumentIndex::fold(literal.text)));
}

void SqlTranslator::byText(const Expr& e, QString& out) const {
    // A search of a document's text: the plain text in the text index, not
    // the RTF markup, narrowed by its trigrams where the pattern allows.
    const Expr& pattern = *e.args.at(1);
    if (pattern.kind != Expr::Kind::Text)
        return;
    const auto source = documentSource(*e.args.at(0), QStringLiteral("MEMO01"));
    if (!source)
        return;
    const QString plains = quoteName(DocumentIndex::plainTable(source->table));
    QString condition = QStringLiteral("(\"BODY\" LIKE %1)").arg(quoteText(pattern.text));
    if (const auto candidates = DocumentIndex::candidatesQuery(pattern.text)) {
        const QString texts = quoteName(DocumentIndex::textTable(source->table));
        condition = QStringLiteral("\"ROW\" IN (SELECT rowid FROM %1 WHERE %1 MATCH %2) AND ")
                        .arg(texts, quoteText(*candidates)) +
                    condition;
    }
    out = QStringLiteral("(%1.rowid IN (SELECT \"ROW\" FROM %2 WHERE %3))")
              .arg(quoteName(source->qualifier), plains, condition);
}

std::optional<TranslatedSelect> SqlTranslator::translateSelect(const Select& select,
                                                               QString* error) const {
    m_error.clear();
    m_aggregate = false;
    TranslatedSelect result;
    result.distinct = select.distinct;
    result.top = select.top;

    auto failed = [&]() -> std::optional<TranslatedSelect> {
        if (error)
            *error = m_error;
        return std::nullopt;
    };

    QStringList fromParts;
    for (const TableRefPtr& ref : select.from) {
        QString text;
        if (!from(ref, text, result.sources))
            return failed();
        fromParts.append(text);
    }
    result.fromSql = fromParts.join(QStringLiteral(", "));

    // Select list: expand stars, then name every field as the dialect does.
    struct Pending {
        QString sql;
        QString alias;
        QString qualifier; // plain column references only
        QString column;
    };
    std::vector<Pending> pending;
    int expressionNumber = 1000;
    for (const SelectItem& item : select.items) {
        const Expr& e = *item.expr;
        if (e.kind == Expr::Kind::Star) {
            bool matched = false;
            for (const SourceTable& source : result.sources) {
                if (!e.qualifier.isEmpty() &&
                    source.qualifier.compare(e.qualifier, Qt::CaseInsensitive) != 0)
                    continue;
                matched = true;
                const QStringList columns = m_schema(source.table).value_or(QStringList());
                for (const QString& column : columns)
                    pending.push_back({quoteName(source.qualifier) + u'.' + quoteName(column),
                                       {},
                                       source.qualifier,
                                       column});
            }
            if (!matched) {
                fail(QStringLiteral("The table '%1' of '%1.*' is not in the FROM clause.")
                         .arg(e.qualifier));
                return failed();
            }
            continue;
        }
        Pending p;
        if (!expression(item.expr, p.sql))
            return failed();
        p.alias = item.alias;
        if (e.kind == Expr::Kind::Column) {
            p.qualifier = e.qualifier;
            p.column = e.name;
        }
        if (p.alias.isEmpty() && p.column.isEmpty())
            p.alias = QStringLiteral("Expr%1").arg(expressionNumber++);
        pending.push_back(p);
    }
    QHash<QString, int> nameCount;
    for (const Pending& p : pending)
        if (p.alias.isEmpty())
            ++nameCount[p.column.toUpper()];
    for (const Pending& p : pending) {
        QString name = p.alias;
        if (name.isEmpty()) {
            name = p.column;
            if (nameCount.value(p.column.toUpper()) > 1 && !p.qualifier.isEmpty())
                name = p.qualifier + u'.' + p.column;
        }
        result.columns.push_back({name, p.sql, p.column.isEmpty() ? QString() : p.qualifier});
    }

    m_whereSources = &result.sources;
    m_indexedTables.clear();
    const bool whereDone = !select.where || expression(select.where, result.whereSql);
    m_whereSources = nullptr;
    if (!whereDone)
        return failed();
    result.indexedTables = m_indexedTables;
    if (!select.groupBy.empty()) {
        QStringList parts;
        for (const ExprPtr& e : select.groupBy) {
            QString text;
            if (!expression(e, text))
                return failed();
            parts.append(text);
        }
        result.groupSql = QStringLiteral("GROUP BY ") + parts.join(QStringLiteral(", "));
    }
    if (select.having) {
        QString text;
        if (!expression(select.having, text))
            return failed();
        result.groupSql += QStringLiteral(" HAVING ") + text;
    }

    // ORDER BY names source columns; an alias that is no source column stands
    // for its expression, so the order survives when the select list is not
    // part of the query (a cursor reading keys only).
    QStringList orderParts;
    for (const OrderTerm& term : select.orderBy) {
        QString text;
        const Expr& e = *term.expr;
        bool substituted = false;
        if (e.kind == Expr::Kind::Column && e.qualifier.isEmpty()) {
            bool isSourceColumn = false;
            for (const SourceTable& source : result.sources) {
                const QStringList columns = m_schema(source.table).value_or(QStringList());
                for (const QString& c : columns)
                    isSourceColumn |= c.compare(e.name, Qt::CaseInsensitive) == 0;
            }
            if (!isSourceColumn) {
                for (const OutputColumn& column : result.columns) {
                    if (column.name.compare(e.name, Qt::CaseInsensitive) == 0) {
                        text = column.sql;
                        substituted = true;
                        break;
                    }
                }
            }
        }
        if (!substituted && !expression(term.expr, text))
            return failed();
        orderParts.append(term.descending ? text + QStringLiteral(" DESC") : text);
    }
    result.orderSql = orderParts.join(QStringLiteral(", "));
    result.aggregate = m_aggregate;
    return result;
}

std::optional<QString> SqlTranslator::translate(const Statement& st, QString* error) const {
    m_error.clear();
    auto failed = [&]() -> std::optional<QString> {
        if (error)
            *error = m_error;
        return std::nullopt;
    };
    switch (st.kind) {
    case Statement::Kind::Select: {
        if (!st.select.into.isEmpty()) {
            fail(QStringLiteral("SELECT ... INTO makes a table and is run by the database, not "
                                "translated."));
            return failed();
        }
        auto select = translateSelect(st.select, error);
        if (!select)
            return std::nullopt;
        return select->sql();
    }
    case Statement::Kind::Insert: {
        QString text = QStringLiteral("INSERT INTO ") + quoteName(st.table);
        const QString chosenKey =
            m_chosenKey && !st.columns.isEmpty() &&
                    !st.columns.contains(m_chosenKey(st.table), Qt::CaseInsensitive)
                ? m_chosenKey(st.table)
                : QString();
        if (!st.columns.isEmpty()) {
            QStringList columns;
            if (!chosenKey.isEmpty())
                columns.append(quoteName(chosenKey));
            for (const QString& c : st.columns)
                columns.append(quoteName(c));
            text += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
        }
        QString source;
        if (st.insertValues) {
            QStringList values;
            for (const ExprPtr& e : st.values) {
                QString v;
                if (!expression(e, v))
                    return failed();
                values.append(v);
            }
            source = QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + u')';
        } else {
            auto select = translateSelect(st.select, error);
            if (!select)
                return std::nullopt;
            source = select->sql();
        }
        if (!chosenKey.isEmpty())
            source = QStringLiteral("SELECT tess_newkey(%1), * FROM (%2)")
                         .arg(quoteText(st.table), source);
        return text + u' ' + source;
    }
    case Statement::Kind::Update: {
        QStringList sets;
        for (const auto& [column, value] : st.assignments) {
            QString v;
            if (!expression(value, v))
                return failed();
            sets.append(quoteName(column) + QStringLiteral(" = ") + v);
        }
        QString where;
        if (!whereClause(st.where, where))
            return failed();
        return QStringLiteral("UPDATE ") + quoteName(st.table) + QStringLiteral(" SET ") +
               sets.join(QStringLiteral(", ")) + where;
    }
    case Statement::Kind::Delete: {
        QString where;
        if (!whereClause(st.where, where))
            return failed();
        return QStringLiteral("DELETE FROM ") + quoteName(st.table) + where;
    }
    case Statement::Kind::DropTable:
        return QStringLiteral("DROP TABLE ") + quoteName(st.table);
    }
    fail(QStringLiteral("Unknown statement."));
    return failed();
}

} // namespace sql
