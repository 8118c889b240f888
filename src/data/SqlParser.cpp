#include "SqlParser.h"

#include <QSet>

namespace sql {

namespace {

ExprPtr make(Expr::Kind kind, QString name = {}, std::vector<ExprPtr> args = {}) {
    auto e = std::make_shared<Expr>();
    e->kind = kind;
    e->name = std::move(name);
    e->args = std::move(args);
    return e;
}

ExprPtr binary(const QString& op, ExprPtr left, ExprPtr right) {
    return make(Expr::Kind::Binary, op, {std::move(left), std::move(right)});
}

} // namespace

bool isReservedWord(const QString& word) {
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),  QStringLiteral("FROM"),     QStringLiteral("WHERE"),
        QStringLiteral("ORDER"),   QStringLiteral("GROUP"),    QStringLiteral("HAVING"),
        QStringLiteral("BY"),      QStringLiteral("INNER"),    QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),   QStringLiteral("OUTER"),    QStringLiteral("JOIN"),
        QStringLiteral("ON"),      QStringLiteral("AS"),       QStringLiteral("INTO"),
        QStringLiteral("IN"),      QStringLiteral("AND"),      QStringLiteral("OR"),
        QStringLiteral("NOT"),     QStringLiteral("LIKE"),     QStringLiteral("IS"),
        QStringLiteral("BETWEEN"), QStringLiteral("DISTINCT"), QStringLiteral("DISTINCTROW"),
        QStringLiteral("TOP"),     QStringLiteral("INSERT"),   QStringLiteral("VALUES"),
        QStringLiteral("UPDATE"),  QStringLiteral("SET"),      QStringLiteral("DELETE"),
        QStringLiteral("DROP"),    QStringLiteral("TABLE"),    QStringLiteral("UNION"),
        QStringLiteral("ASC"),     QStringLiteral("DESC"),     QStringLiteral("MOD"),
        QStringLiteral("NULL"),    QStringLiteral("TRUE"),     QStringLiteral("FALSE"),
    };
    return words.contains(word.toUpper());
}

std::optional<Statement> SqlParser::parse(const QString& text, QString* error) {
    auto tokens = SqlTokenizer::tokenize(text, error);
    if (!tokens)
        return std::nullopt;
    SqlParser parser(std::move(*tokens), text);
    auto result = parser.statement();
    if (!result && error)
        *error = parser.m_error;
    return result;
}

SqlParser::SqlParser(std::vector<Token> tokens, const QString& text)
    : m_tokens(std::move(tokens))
    , m_text(text) {}

const Token& SqlParser::peek(int ahead) const {
    const size_t index = std::min(m_pos + size_t(ahead), m_tokens.size() - 1);
    return m_tokens[index];
}

const Token& SqlParser::next() {
    const Token& token = peek();
    if (m_pos < m_tokens.size() - 1)
        ++m_pos;
    return token;
}

bool SqlParser::isKeyword(const char* keyword, int ahead) const {
    const Token& t = peek(ahead);
    return t.type == Token::Type::Identifier &&
           t.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool SqlParser::acceptKeyword(const char* keyword) {
    if (!isKeyword(keyword))
        return false;
    next();
    return true;
}

bool SqlParser::isOperator(const char* op, int ahead) const {
    const Token& t = peek(ahead);
    return t.type == Token::Type::Operator && t.text == QLatin1String(op);
}

bool SqlParser::acceptOperator(const char* op) {
    if (!isOperator(op))
        return false;
    next();
    return true;
}

bool SqlParser::isName(int ahead) const {
    const Token& t = peek(ahead);
    return t.type == Token::Type::BracketName ||
           (t.type == Token::Type::Identifier && !isReservedWord(t.text));
}

void SqlParser::failAt(const Token& token, const QString& expected) {
    if (failed())
        return;
    QString found;
    if (token.type == Token::Type::End)
        found = QStringLiteral("the end of the text");
    else
        found = QStringLiteral("\"%1\"").arg(m_text.mid(token.position, 24).simplified());
    m_error = QStringLiteral("Syntax error in SQL text at position %1: expected %2, found %3.")
                  .arg(token.position + 1)
                  .arg(expected, found);
}

bool SqlParser::expectKeyword(const char* keyword) {
    if (acceptKeyword(keyword))
        return true;
    failAt(peek(), QString::fromLatin1(keyword));
    return false;
}

bool SqlParser::expectOperator(const char* op) {
    if (acceptOperator(op))
        return true;
    failAt(peek(), QStringLiteral("\"%1\"").arg(QLatin1String(op)));
    return false;
}

bool SqlParser::tableName(QString& out, const char* what) {
    if (!isName()) {
        failAt(peek(), QString::fromLatin1(what));
        return false;
    }
    out = next().text;
    return true;
}

std::optional<Statement> SqlParser::statement() {
    Statement st;
    if (isKeyword("SELECT")) {
        st.kind = Statement::Kind::Select;
        if (!select(st.select))
            return std::nullopt;
    } else if (acceptKeyword("INSERT")) {
        st.kind = Statement::Kind::Insert;
        if (!expectKeyword("INTO") || !tableName(st.table, "a table name"))
            return std::nullopt;
        if (acceptOperator("(")) {
            do {
                if (!isName()) {
                    failAt(peek(), QStringLiteral("a column name"));
                    return std::nullopt;
                }
                st.columns.append(next().text);
            } while (acceptOperator(","));
            if (!expectOperator(")"))
                return std::nullopt;
        }
        if (acceptKeyword("VALUES")) {
            st.insertValues = true;
            if (!expectOperator("("))
                return std::nullopt;
            do {
                auto e = expression();
                if (!e)
                    return std::nullopt;
                st.values.push_back(e);
            } while (acceptOperator(","));
            if (!expectOperator(")"))
                return std::nullopt;
        } else if (isKeyword("SELECT")) {
            if (!select(st.select))
                return std::nullopt;
            if (!st.select.into.isEmpty()) {
                failAt(peek(), QStringLiteral("a SELECT without INTO"));
                return std::nullopt;
            }
        } else {
            failAt(peek(), QStringLiteral("VALUES or SELECT"));
            return std::nullopt;
        }
    } else if (acceptKeyword("UPDATE")) {
        st.kind = Statement::Kind::Update;
        if (!tableName(st.table, "a table name") || !expectKeyword("SET"))
            return std::nullopt;
        do {
            if (!isName()) {
                failAt(peek(), QStringLiteral("a column name"));
                return std::nullopt;
            }
            QString column = next().text;
            if (acceptOperator(".")) { // table.column
                if (!isName()) {
                    failAt(peek(), QStringLiteral("a column name"));
                    return std::nullopt;
                }
                column = next().text;
            }
            if (!expectOperator("="))
                return std::nullopt;
            auto e = expression();
            if (!e)
                return std::nullopt;
            st.assignments.emplace_back(column, e);
        } while (acceptOperator(","));
        if (acceptKeyword("WHERE") && !(st.where = expression()))
            return std::nullopt;
    } else if (acceptKeyword("DELETE")) {
        st.kind = Statement::Kind::Delete;
        if (acceptOperator("*")) {
        } else if (isName() && !isKeyword("FROM")) {
            next(); // DELETE Table.* FROM Table
            if (!expectOperator(".") || !expectOperator("*"))
                return std::nullopt;
        }
        if (!expectKeyword("FROM") || !tableName(st.table, "a table name"))
            return std::nullopt;
        if (acceptKeyword("WHERE") && !(st.where = expression()))
            return std::nullopt;
    } else if (acceptKeyword("DROP")) {
        st.kind = Statement::Kind::DropTable;
        if (!expectKeyword("TABLE") || !tableName(st.table, "a table name"))
            return std::nullopt;
    } else {
        failAt(peek(), QStringLiteral("SELECT, INSERT, UPDATE, DELETE or DROP TABLE"));
        return std::nullopt;
    }

    acceptOperator(";");
    if (peek().type != Token::Type::End) {
        failAt(peek(), QStringLiteral("the end of the statement"));
        return std::nullopt;
    }
    return st;
}

bool SqlParser::select(Select& out) {
    if (!expectKeyword("SELECT"))
        return false;
    if (acceptKeyword("DISTINCT") || acceptKeyword("DISTINCTROW"))
        out.distinct = true;
    else
        acceptKeyword("ALL");
    if (acceptKeyword("TOP")) {
        if (peek().type != Token::Type::Number) {
            failAt(peek(), QStringLiteral("a number after TOP"));
            return false;
        }
        out.top = next().text.toLongLong();
    }
    if (!selectItems(out))
        return false;
    if (acceptKeyword("INTO")) {
        if (!tableName(out.into, "a table name after INTO"))
            return false;
    }
    if (!expectKeyword("FROM") || !fromClause(out))
        return false;
    if (acceptKeyword("WHERE") && !(out.where = expression()))
        return false;
    if (acceptKeyword("GROUP")) {
        if (!expectKeyword("BY"))
            return false;
        do {
            auto e = expression();
            if (!e)
                return false;
            out.groupBy.push_back(e);
        } while (acceptOperator(","));
    }
    if (acceptKeyword("HAVING") && !(out.having = expression()))
        return false;
    if (isKeyword("ORDER") && !orderBy(out))
        return false;
    if (isKeyword("UNION")) {
        failAt(peek(), QStringLiteral("the end of the query (UNION is not supported)"));
        return false;
    }
    return true;
}

bool SqlParser::selectItems(Select& out) {
    do {
        SelectItem item;
        if (acceptOperator("*")) {
            item.expr = make(Expr::Kind::Star);
        } else if (isName() && isOperator(".", 1) && isOperator("*", 2)) {
            auto star = std::make_shared<Expr>();
            star->kind = Expr::Kind::Star;
            star->qualifier = next().text;
            next();
            next();
            item.expr = star;
        } else {
            item.expr = expression();
            if (!item.expr)
                return false;
            if (acceptKeyword("AS")) {
                if (!isName() && peek().type != Token::Type::String) {
                    failAt(peek(), QStringLiteral("a name after AS"));
                    return false;
                }
                item.alias = next().text;
            }
        }
        out.items.push_back(item);
    } while (acceptOperator(","));
    return true;
}

bool SqlParser::fromClause(Select& out) {
    do {
        auto source = joinExpression();
        if (!source)
            return false;
        out.from.push_back(source);
    } while (acceptOperator(","));
    return externalSource(out.external);
}

bool SqlParser::externalSource(std::optional<ExternalSource>& out) {
    if (!acceptKeyword("IN"))
        return true;
    ExternalSource source;
    if (peek().type != Token::Type::String) {
        failAt(peek(), QStringLiteral("a database name after IN"));
        return false;
    }
    source.databasePath = next().text;
    if (peek().type == Token::Type::String || peek().type == Token::Type::BracketName)
        source.connect = next().text;
    out = source;
    return true;
}

TableRefPtr SqlParser::joinExpression() {
    TableRefPtr left = tableSource();
    while (left) {
        QString type;
        if (isKeyword("INNER") && isKeyword("JOIN", 1)) {
            type = QStringLiteral("INNER");
            next();
        } else if ((isKeyword("LEFT") || isKeyword("RIGHT")) &&
                   (isKeyword("JOIN", 1) || (isKeyword("OUTER", 1) && isKeyword("JOIN", 2)))) {
            type = next().text.toUpper();
            acceptKeyword("OUTER");
        } else if (isKeyword("JOIN")) {
            type = QStringLiteral("INNER");
        } else {
            break;
        }
        next(); // JOIN
        TableRefPtr right = tableSource();
        if (!right)
            return nullptr;
        if (!expectKeyword("ON"))
            return nullptr;
        ExprPtr on = expression();
        if (!on)
            return nullptr;
        auto join = std::make_shared<TableRef>();
        join->kind = TableRef::Kind::Join;
        join->joinType = type;
        join->left = left;
        join->right = right;
        join->on = on;
        left = join;
    }
    return left;
}

TableRefPtr SqlParser::tableSource() {
    if (acceptOperator("(")) {
        if (isKeyword("SELECT")) {
            failAt(peek(), QStringLiteral("a table (sub-queries are not supported)"));
            return nullptr;
        }
        TableRefPtr inner = joinExpression();
        if (!inner || !expectOperator(")"))
            return nullptr;
        return inner;
    }
    auto table = std::make_shared<TableRef>();
    if (!tableName(table->name, "a table name"))
        return nullptr;
    if (acceptKeyword("AS")) {
        if (!tableName(table->alias, "an alias after AS"))
            return nullptr;
    } else if (isName()) {
        table->alias = next().text;
    }
    return table;
}

bool SqlParser::orderBy(Select& out) {
    next(); // ORDER
    if (!expectKeyword("BY"))
        return false;
    do {
        OrderTerm term;
        term.expr = expression();
        if (!term.expr)
            return false;
        if (acceptKeyword("DESC"))
            term.descending = true;
        else
            acceptKeyword("ASC");
        out.orderBy.push_back(term);
    } while (acceptOperator(","));
    return true;
}

ExprPtr SqlParser::expression() {
    return orExpression();
}

ExprPtr SqlParser::orExpression() {
    ExprPtr left = andExpression();
    while (left && acceptKeyword("OR")) {
        ExprPtr right = andExpression();
        if (!right)
            return nullptr;
        left = binary(QStringLiteral("OR"), left, right);
    }
    return left;
}

ExprPtr SqlParser::andExpression() {
    ExprPtr left = notExpression();
    while (left && acceptKeyword("AND")) {
        ExprPtr right = notExpression();
        if (!right)
            return nullptr;
        left = binary(QStringLiteral("AND"), left, right);
    }
    return left;
}

ExprPtr SqlParser::notExpression() {
    if (acceptKeyword("NOT")) {
        ExprPtr operand = notExpression();
        if (!operand)
            return nullptr;
        return make(Expr::Kind::Unary, QStringLiteral("NOT"), {operand});
    }
    return comparison();
}

ExprPtr SqlParser::comparison() {
    ExprPtr left = concatenation();
    if (!left)
        return nullptr;
    static const char* const ops[] = {"=", "<>", "<=", ">=", "<", ">"};
    for (const char* op : ops) {
        if (acceptOperator(op)) {
            ExprPtr right = concatenation();
            if (!right)
                return nullptr;
            return binary(QString::fromLatin1(op), left, right);
        }
    }
    const bool negated =
        isKeyword("NOT") && (isKeyword("LIKE", 1) || isKeyword("IN", 1) || isKeyword("BETWEEN", 1));
    if (negated)
        next();
    if (acceptKeyword("LIKE")) {
        ExprPtr pattern = concatenation();
        if (!pattern)
            return nullptr;
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Like;
        e->negated = negated;
        e->args = {left, pattern};
        return e;
    }
    if (acceptKeyword("IN")) {
        if (!expectOperator("("))
            return nullptr;
        if (isKeyword("SELECT")) {
            failAt(peek(), QStringLiteral("a list of values (sub-queries are not supported)"));
            return nullptr;
        }
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::InList;
        e->negated = negated;
        e->args.push_back(left);
        do {
            ExprPtr item = expression();
            if (!item)
                return nullptr;
            e->args.push_back(item);
        } while (acceptOperator(","));
        if (!expectOperator(")"))
            return nullptr;
        return e;
    }
    if (acceptKeyword("BETWEEN")) {
        ExprPtr low = concatenation();
        if (!low || !expectKeyword("AND"))
            return nullptr;
        ExprPtr high = concatenation();
        if (!high)
            return nullptr;
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::Between;
        e->negated = negated;
        e->args = {left, low, high};
        return e;
    }
    if (acceptKeyword("IS")) {
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Kind::IsNull;
        e->negated = acceptKeyword("NOT");
        if (!expectKeyword("NULL"))
            return nullptr;
        e->args = {left};
        return e;
    }
    return left;
}

ExprPtr SqlParser::concatenation() {
    ExprPtr first = additive();
    if (!first || !isOperator("&"))
        return first;
    std::vector<ExprPtr> parts{first};
    while (acceptOperator("&")) {
        ExprPtr part = additive();
        if (!part)
            return nullptr;
        parts.push_back(part);
    }
    return make(Expr::Kind::Concat, {}, std::move(parts));
}

ExprPtr SqlParser::additive() {
    ExprPtr left = modulo();
    while (left && (isOperator("+") || isOperator("-"))) {
        const QString op = next().text;
        ExprPtr right = modulo();
        if (!right)
            return nullptr;
        left = binary(op, left, right);
    }
    return left;
}

ExprPtr SqlParser::modulo() {
    ExprPtr left = integerDivision();
    while (left && acceptKeyword("MOD")) {
        ExprPtr right = integerDivision();
        if (!right)
            return nullptr;
        left = binary(QStringLiteral("MOD"), left, right);
    }
    return left;
}

ExprPtr SqlParser::integerDivision() {
    ExprPtr left = multiplicative();
    while (left && acceptOperator("\\")) {
        ExprPtr right = multiplicative();
        if (!right)
            return nullptr;
        left = binary(QStringLiteral("\\"), left, right);
    }
    return left;
}

ExprPtr SqlParser::multiplicative() {
    ExprPtr left = unary();
    while (left && (isOperator("*") || isOperator("/"))) {
        const QString op = next().text;
        ExprPtr right = unary();
        if (!right)
            return nullptr;
        left = binary(op, left, right);
    }
    return left;
}

ExprPtr SqlParser::unary() {
    if (isOperator("-") || isOperator("+")) {
        const QString op = next().text;
        ExprPtr operand = unary();
        if (!operand)
            return nullptr;
        return make(Expr::Kind::Unary, op, {operand});
    }
    return power();
}

ExprPtr SqlParser::power() {
    ExprPtr left = primary();
    while (left && acceptOperator("^")) {
        ExprPtr right = primary();
        if (!right)
            return nullptr;
        left = binary(QStringLiteral("^"), left, right);
    }
    return left;
}

ExprPtr SqlParser::primary() {
    const Token& t = peek();
    auto literal = [&](Expr::Kind kind, QString text) {
        next();
        auto e = std::make_shared<Expr>();
        e->kind = kind;
        e->text = std::move(text);
        return e;
    };
    switch (t.type) {
    case Token::Type::String:
        return literal(Expr::Kind::Text, t.text);
    case Token::Type::Date:
        return literal(Expr::Kind::Date, t.text);
    case Token::Type::Number:
        return literal(t.text.contains(u'.') || t.text.contains(u'e', Qt::CaseInsensitive)
                           ? Expr::Kind::Real
                           : Expr::Kind::Integer,
                       t.text);
    case Token::Type::Operator:
        if (acceptOperator("(")) {
            if (isKeyword("SELECT")) {
                failAt(peek(), QStringLiteral("an expression (sub-queries are not supported)"));
                return nullptr;
            }
            ExprPtr inner = expression();
            if (!inner || !expectOperator(")"))
                return nullptr;
            return inner;
        }
        break;
    case Token::Type::Identifier:
        if (isKeyword("NULL"))
            return literal(Expr::Kind::Null, {});
        if (isKeyword("TRUE"))
            return literal(Expr::Kind::Boolean, QStringLiteral("1"));
        if (isKeyword("FALSE"))
            return literal(Expr::Kind::Boolean, QStringLiteral("0"));
        [[fallthrough]];
    case Token::Type::BracketName: {
        if (!isName())
            break;
        const Token& first = next();
        if (first.type == Token::Type::Identifier && acceptOperator("(")) {
            auto call = std::make_shared<Expr>();
            call->kind = Expr::Kind::Function;
            call->name = first.text;
            if (!acceptOperator(")")) {
                do {
                    if (acceptOperator("*")) { // Count(*)
                        call->args.push_back(make(Expr::Kind::Star));
                        continue;
                    }
                    ExprPtr arg = expression();
                    if (!arg)
                        return nullptr;
                    call->args.push_back(arg);
                } while (acceptOperator(","));
                if (!expectOperator(")"))
                    return nullptr;
            }
            return call;
        }
        auto column = std::make_shared<Expr>();
        column->kind = Expr::Kind::Column;
        column->name = first.text;
        if (isOperator(".") || isOperator("!")) {
            next();
            if (!isName()) {
                failAt(peek(), QStringLiteral("a column name after \"%1.\"").arg(first.text));
                return nullptr;
            }
            column->qualifier = column->name;
            column->name = next().text;
        }
        return column;
    }
    case Token::Type::End:
        break;
    }
    failAt(t, QStringLiteral("a value, a column name or \"(\""));
    return nullptr;
}

} // namespace sql
