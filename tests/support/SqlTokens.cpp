#include "support/SqlTokens.h"

namespace b2d::test {

namespace {

// The end of a body closed by `close`, where a doubled `close` stands for one; -1 when open.
qsizetype closing(const QString &sql, qsizetype from, QChar close, QString *body)
{
    for (qsizetype i = from; i < sql.size(); ++i) {
        if (sql.at(i) != close) {
            *body += sql.at(i);
            continue;
        }
        if (i + 1 < sql.size() && sql.at(i + 1) == close) {
            *body += close;
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#')
        || c == QLatin1Char('$');
}

}  // namespace

QList<SqlToken> tokenizeTsql(const QString &sql, QString *error)
{
    QList<SqlToken> tokens;
    const qsizetype n = sql.size();
    auto fail = [&](const QString &what, qsizetype at) {
        if (error)
            *error = QStringLiteral("%1 opened at %2 is not closed").arg(what).arg(at);
        return tokens;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        SqlToken t;
        t.begin = i;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'') || ((c == QLatin1Char('N') || c == QLatin1Char('n')) && next == QLatin1Char('\''))) {
            const qsizetype open = c == QLatin1Char('\'') ? i : i + 1;
            const qsizetype close = closing(sql, open + 1, QLatin1Char('\''), &t.text);
            if (close < 0)
                return fail(QStringLiteral("literal"), i);
            t.kind = SqlToken::Literal;
            t.begin = open + 1;
            t.end = close;
            i = close + 1;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const qsizetype close = closing(sql, i + 1, c == QLatin1Char('[') ? QLatin1Char(']') : c, &t.text);
            if (close < 0)
                return fail(QStringLiteral("quoted name"), i);
            t.kind = SqlToken::QuotedName;
            i = t.end = close + 1;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            qsizetype e = sql.indexOf(QLatin1Char('\n'), i);
            t.kind = SqlToken::Comment;
            i = t.end = e < 0 ? n : e;
            t.text = sql.mid(t.begin, t.end - t.begin);
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            int depth = 0;
            qsizetype j = i;
            do {
                if (j + 1 >= n)
                    return fail(QStringLiteral("comment"), i);
                if (sql.at(j) == QLatin1Char('/') && sql.at(j + 1) == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (sql.at(j) == QLatin1Char('*') && sql.at(j + 1) == QLatin1Char('/')) {
                    --depth;
                    j += 2;
                } else {
                    ++j;
                }
            } while (depth > 0);
            t.kind = SqlToken::Comment;
            i = t.end = j;
            t.text = sql.mid(t.begin, t.end - t.begin);
        } else if (isWordChar(c)) {
            qsizetype j = i;
            while (j < n && (isWordChar(sql.at(j)) || (sql.at(j) == QLatin1Char('.') && c.isDigit())))
                ++j;
            t.kind = SqlToken::Name;
            i = t.end = j;
            t.text = sql.mid(t.begin, t.end - t.begin);
        } else {
            t.kind = SqlToken::Other;
            t.text = c;
            i = t.end = i + 1;
        }
        tokens << t;
    }
    return tokens;
}

QString unsafeValueInStatement(const QString &sql, const QString &value, const QStringList &markers)
{
    QString error;
    const QList<SqlToken> tokens = tokenizeTsql(sql, &error);
    if (!error.isEmpty())
        return error;
    // The statement with every literal's body blanked: what the database reads as code.
    QString code = sql;
    for (const SqlToken &t : tokens)
        if (t.kind == SqlToken::Literal)
            code.replace(t.begin, t.end - t.begin, QString(t.end - t.begin, QLatin1Char(' ')));
    for (const QString &marker : markers)
        if (code.contains(marker, Qt::CaseInsensitive))
            return QStringLiteral("\"%1\" stands outside the quoted literals").arg(marker);
    const QString sent = QString(value).replace(QLatin1Char('\''), QStringLiteral("''"));
    if (sent.isEmpty())
        return {};
    for (qsizetype at = sql.indexOf(sent); at >= 0; at = sql.indexOf(sent, at + 1)) {
        bool inside = false;
        for (const SqlToken &t : tokens)
            if (t.kind == SqlToken::Literal && t.begin <= at && at + sent.size() <= t.end)
                inside = true;
        if (!inside)
            return QStringLiteral("the value at %1 is not inside one literal").arg(at);
    }
    return {};
}

}  // namespace b2d::test
