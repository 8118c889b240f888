#pragma once

#include "SqlAst.h"
#include "SqlTokenizer.h"

#include <QString>
#include <optional>
#include <vector>

namespace sql {

// Recursive-descent parser for the statement forms the windows use: SELECT
// (with INTO, IN '' 'Excel ...', joins, ORDER BY), INSERT INTO ... SELECT or
// VALUES, UPDATE, DELETE and DROP TABLE. Operator precedence follows the
// desktop dialect: arithmetic, then &, then comparisons, NOT, AND, OR.
class SqlParser {
public:
    static std::optional<Statement> parse(const QString& text, QString* error);

private:
    explicit SqlParser(std::vector<Token> tokens, const QString& text);

    std::optional<Statement> statement();
    bool select(Select& out);
    bool selectItems(Select& out);
    bool fromClause(Select& out);
    TableRefPtr joinExpression();
    TableRefPtr tableSource();
    bool externalSource(std::optional<ExternalSource>& out);
    bool orderBy(Select& out);
    bool tableName(QString& out, const char* what);

    ExprPtr expression();
    ExprPtr orExpression();
    ExprPtr andExpression();
    ExprPtr notExpression();
    ExprPtr comparison();
    ExprPtr concatenation();
    ExprPtr additive();
    ExprPtr modulo();
    ExprPtr integerDivision();
    ExprPtr multiplicative();
    ExprPtr unary();
    ExprPtr power();
    ExprPtr primary();

    const Token& peek(int ahead = 0) const;
    const Token& next();
    bool isKeyword(const char* keyword, int ahead = 0) const;
    bool acceptKeyword(const char* keyword);
    bool isOperator(const char* op, int ahead = 0) const;
    bool acceptOperator(const char* op);
    bool isName(int ahead = 0) const; // identifier that is no keyword, or [name]
    bool expectKeyword(const char* keyword);
    bool expectOperator(const char* op);
    void failAt(const Token& token, const QString& expected);
    bool failed() const { return !m_error.isEmpty(); }

    std::vector<Token> m_tokens;
    QString m_text;
    size_t m_pos = 0;
    QString m_error;
};

// True for the words that cannot stand as bare names.
bool isReservedWord(const QString& word);

} // namespace sql
