#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace b2d::test {

// One token of a T-SQL statement. `begin`/`end` delimit the token in the statement; for a quoted
// literal `text` holds its value (doubled quotes undone) and `begin`/`end` its body between the
// quotes.
struct SqlToken {
    enum Kind { Literal, Name, QuotedName, Comment, Other };
    Kind kind = Other;
    qsizetype begin = 0;
    qsizetype end = 0;
    QString text;
};

// Splits a statement into quoted literals ('...' and N'...', '' inside), names (words, [..] and
// "..." with ]] or "" inside), comments (-- to the end of the line, /* */ nested) and single
// other characters (blanks dropped). `error` receives what is left open at the end (a literal, a
// quoted name, a comment).
QList<SqlToken> tokenizeTsql(const QString &sql, QString *error = nullptr);

// Why `value` (as a builder would send it, quotes doubled) is not safely inside the statement:
// the statement does not tokenize, a marker of the value shows outside every literal (any case),
// or an appearance of the value is not whole inside one literal. Empty when it is safe, also
// when the value is not sent at all.
QString unsafeValueInStatement(const QString &sql, const QString &value, const QStringList &markers);

}  // namespace b2d::test
