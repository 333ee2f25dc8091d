#pragma once

#include <QList>
#include <QString>
#include <QVariantList>
#include <optional>

namespace b2d {

// A stored procedure call written as `exec NAME arg, arg, ...`.
struct ProcedureCall {
    QString name;        // the procedure's own name, without owner or database prefix
    QVariantList args;   // quoted arguments as text, unquoted numbers as integer or real, NULL as null
};

// One token of a statement, as the rewriter reads it: the texts of a statement's tokens, joined,
// give the statement back. Blanks and comments are dropped from `significantTokens`.
struct SqlToken {
    enum Kind { Word, Number, String, Bracketed, Quoted, Param, Punct };
    Kind kind;
    QString text;
    qsizetype pos = 0;  // where the token starts in the statement
};

// Adapts the T-SQL the system sends to what SQLite reads. Only these constructs change, and only
// outside string literals, bracketed and double-quoted names and comments:
//   - the date escape {d 'yyyy-mm-dd'} (and the date-time escape {ts '...'}) becomes the literal;
//   - ISNULL(a, b) becomes IFNULL(a, b);
//   - a select-list item written as `name = expression` becomes `expression AS name`, at the top
//     level of any select list (a subquery's list at its own level); comparisons elsewhere stay;
//   - `exec NAME args` is recognised as a procedure call (procedureCall), run by the backend.
// A statement the tokenizer cannot follow (an unterminated literal, unbalanced parentheses) goes
// through unchanged so that the database reports it.
class TsqlRewriter {
public:
    static QString rewrite(const QString &sql);

    // The call when the statement is `exec NAME [arg, ...]` (or `execute`); nullopt for anything
    // else, including an exec form it does not understand (named arguments, dynamic SQL).
    static std::optional<ProcedureCall> procedureCall(const QString &sql);

    // How many values a statement binds, as SQLite numbers its parameters: `?` takes the next
    // number, `?N` number N, and each distinct `:name`, `@name` or `$name` the next number.
    // The significant tokens of a statement (no blanks, no comments); nullopt when a literal, a
    // bracketed name or a comment is left open.
    static std::optional<QList<SqlToken>> significantTokens(const QString &sql);

    static int parameterCount(const QString &sql);

    // The statement with each parameter replaced by its argument written as an SQLite literal
    // (text quoted with its quotes doubled, integers and reals as numbers, null as NULL); a
    // parameter without an argument becomes NULL. Numbered as parameterCount numbers them.
    static QString bindArguments(const QString &sql, const QVariantList &args);
};

}  // namespace b2d
