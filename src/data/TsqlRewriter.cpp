#include "data/TsqlRewriter.h"

#include "values/Values.h"

#include <QList>
#include <QHash>
#include <deque>
#include <limits>

namespace b2d {

namespace {

enum class Tok {
    Space,
    Comment,
    Word,       // identifiers and keywords, also @name, #name, $name
    Number,
    String,     // '...' with '' inside
    Bracketed,  // [...] with ]] inside
    Quoted,     // "..." with "" inside
    Param,      // ? or ?N
    Punct,      // operators and punctuation, one token per operator
    Group,      // a parenthesised group already rewritten (only inside select-list items)
};

// The text of a token is a view into the statement read (or into a text kept alongside the
// tokens, for those a rewrite puts in): no token costs an allocation of its own.
struct Token {
    Tok kind;
    QStringView text;
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#')
           || c == QLatin1Char('$');
}

bool isWordChar(QChar c)
{
    return isWordStart(c) || c.isDigit();
}

// Where the run of blanks or the comment starting at `i` ends: `i` when neither starts there, -1
// when a block comment is left open.
qsizetype blanksOrCommentEnd(const QString &sql, qsizetype i)
{
    const qsizetype n = sql.size();
    const QChar c = sql.at(i);
    const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
    qsizetype j = i;
    if (c.isSpace()) {
        while (j < n && sql.at(j).isSpace())
            ++j;
    } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
        while (j < n && sql.at(j) != QLatin1Char('\n'))
            ++j;
    } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
        const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
        j = end < 0 ? -1 : end + 2;
    }
    return j;
}

// Splits a statement into tokens whose texts, joined, give the statement back exactly. False when
// a literal, a bracketed name or a block comment is left open.
bool tokenize(const QString &sql, QList<Token> &out)
{
    const qsizetype n = sql.size();
    out.reserve(out.size() + n / 4);
    qsizetype i = 0;
    // Reads a delimited token ending in `close`, where a doubled `close` stands for itself.
    auto delimited = [&](QChar close, Tok kind) {
        qsizetype j = i + 1;
        while (j < n) {
            if (sql.at(j) == close) {
                if (j + 1 < n && sql.at(j + 1) == close) {
                    j += 2;
                    continue;
                }
                out.push_back({kind, QStringView(sql).mid(i, j + 1 - i)});
                i = j + 1;
                return true;
            }
            ++j;
        }
        return false;
    };
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (const qsizetype end = blanksOrCommentEnd(sql, i); end != i) {
            if (end < 0)
                return false;
            out.push_back({c.isSpace() ? Tok::Space : Tok::Comment, QStringView(sql).mid(i, end - i)});
            i = end;
        } else if (c == QLatin1Char('\'')) {
            if (!delimited(QLatin1Char('\''), Tok::String))
                return false;
        } else if (c == QLatin1Char('"')) {
            if (!delimited(QLatin1Char('"'), Tok::Quoted))
                return false;
        } else if (c == QLatin1Char('[')) {
            if (!delimited(QLatin1Char(']'), Tok::Bracketed))
                return false;
        } else if (c.isDigit() || (c == QLatin1Char('.') && next.isDigit())) {
            qsizetype j = i;
            while (j < n && sql.at(j).isDigit())
                ++j;
            if (j < n && sql.at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && sql.at(j).isDigit())
                    ++j;
            }
            if (j < n && (sql.at(j) == QLatin1Char('e') || sql.at(j) == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (sql.at(k) == QLatin1Char('+') || sql.at(k) == QLatin1Char('-')))
                    ++k;
                if (k < n && sql.at(k).isDigit()) {
                    while (k < n && sql.at(k).isDigit())
                        ++k;
                    j = k;
                }
            }
            out.push_back({Tok::Number, QStringView(sql).mid(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            qsizetype j = i + 1;
            while (j < n && isWordChar(sql.at(j)))
                ++j;
            out.push_back({Tok::Word, QStringView(sql).mid(i, j - i)});
            i = j;
        } else if (c == QLatin1Char('?')) {
            qsizetype j = i + 1;
            while (j < n && sql.at(j).isDigit())
                ++j;
            out.push_back({Tok::Param, QStringView(sql).mid(i, j - i)});
            i = j;
        } else {
            static const QLatin1String twoChar[] = {
                QLatin1String("<="), QLatin1String(">="), QLatin1String("<>"), QLatin1String("!="),
                QLatin1String("=="), QLatin1String("||"), QLatin1String("<<"), QLatin1String(">>")};
            qsizetype len = 1;
            for (const QLatin1String &op : twoChar)
                if (QStringView(sql).mid(i, 2) == op)
                    len = 2;
            out.push_back({Tok::Punct, QStringView(sql).mid(i, len)});
            i += len;
        }
    }
    return true;
}

bool isPunct(const Token &t, char c)
{
    return t.kind == Tok::Punct && t.text.size() == 1 && t.text.at(0) == QLatin1Char(c);
}

bool isWord(const Token &t, const char *word)
{
    return t.kind == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool insignificant(const Token &t)
{
    return t.kind == Tok::Space || t.kind == Tok::Comment;
}

// A text put in place of other tokens (a literal, a bound argument) is kept apart from a neighbour
// it would otherwise run into: two literals side by side read as one with a quote inside, a word
// before a quote as a prefix (x'..'), a number after a number or a '.' as one number, and a
// minus before a negative number as the start of a comment.
bool runsInto(const Token &neighbour, bool before, const QString &text)
{
    switch (neighbour.kind) {
    case Tok::Word:
    case Tok::Number:
    case Tok::String:
    case Tok::Bracketed:
    case Tok::Quoted:
    case Tok::Param:
        return true;
    case Tok::Punct:
        return neighbour.text == u"."
               || (before && neighbour.text == u"-"
                   && text.startsWith(QLatin1Char('-')));
    default:
        return false;
    }
}

// `text` as it replaces tokens [first, last], with a blank on a side where it would run into the
// neighbouring token.
QString keptApart(const QList<Token> &t, qsizetype first, qsizetype last, const QString &text)
{
    if (text.isEmpty())
        return text;
    const bool blankBefore = first > 0 && runsInto(t.at(first - 1), true, text);
    const bool blankAfter = last + 1 < t.size() && runsInto(t.at(last + 1), false, text);
    return (blankBefore ? QStringLiteral(" ") : QString()) + text
           + (blankAfter ? QStringLiteral(" ") : QString());
}

// Index of the next significant token at or after `from` (tokens.size() when none).
qsizetype nextSignificant(const QList<Token> &tokens, qsizetype from)
{
    while (from < tokens.size() && insignificant(tokens.at(from)))
        ++from;
    return from;
}

// Words that end a select list at its own level.
bool endsSelectList(const Token &t)
{
    static const char *const words[] = {"FROM",   "INTO",   "WHERE",     "GROUP",  "HAVING",
                                        "ORDER",  "UNION",  "EXCEPT",    "INTERSECT", "LIMIT",
                                        "WINDOW", "OPTION", "FOR"};
    if (t.kind != Tok::Word)
        return false;
    for (const char *w : words)
        if (isWord(t, w))
            return true;
    return false;
}

// {d 'yyyy-mm-dd'} -> 'yyyy-mm-dd' (and the date-time escape {ts '...'} alike); ISNULL( -> IFNULL(.
void rewriteInPlace(QList<Token> &tokens, std::deque<QString> &kept)
{
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        if (isPunct(t, '{')) {
            const qsizetype d = nextSignificant(tokens, i + 1);
            if (d >= tokens.size() || !(isWord(tokens.at(d), "d") || isWord(tokens.at(d), "ts")))
                continue;
            const qsizetype lit = nextSignificant(tokens, d + 1);
            if (lit >= tokens.size() || tokens.at(lit).kind != Tok::String)
                continue;
            const qsizetype close = nextSignificant(tokens, lit + 1);
            if (close >= tokens.size() || !isPunct(tokens.at(close), '}'))
                continue;
            kept.push_back(keptApart(tokens, i, close, tokens.at(lit).text.toString()));
            const Token literal{Tok::String, kept.back()};
            tokens.remove(i, close + 1 - i);
            tokens.insert(i, literal);
        } else if (isWord(t, "ISNULL")) {
            const qsizetype open = nextSignificant(tokens, i + 1);
            if (open >= tokens.size() || !isPunct(tokens.at(open), '('))
                continue;
            qsizetype before = i - 1;
            while (before >= 0 && insignificant(tokens.at(before)))
                --before;
            if (before >= 0 && isPunct(tokens.at(before), '.'))
                continue;  // a qualified name, not the function
            t.text = u"IFNULL";
        }
    }
}

// Rebuilds the statement from its tokens, turning T-SQL aliases of every select list around.
class AliasRewriter {
public:
    explicit AliasRewriter(const QList<Token> &tokens) : m_t(tokens) {}

    QString run()
    {
        QString out = sequence();
        while (m_i < m_t.size()) {  // a stray ')': keep it and go on
            out += m_t.at(m_i++).text;
            out += sequence();
        }
        return out;
    }

private:
    // Tokens up to the end or to an unmatched ')', which is left for the caller.
    QString sequence()
    {
        QString out;
        while (m_i < m_t.size()) {
            const Token &t = m_t.at(m_i);
            if (isPunct(t, ')'))
                break;
            if (isPunct(t, '('))
                out += group();
            else if (isWord(t, "SELECT"))
                out += selectList();
            else {
                out += t.text;
                ++m_i;
            }
        }
        return out;
    }

    // A parenthesised group, from its '(' through its ')'.
    QString group()
    {
        QString out = m_t.at(m_i++).text.toString();
        out += sequence();
        if (m_i < m_t.size())
            out += m_t.at(m_i++).text;
        return out;
    }

    // SELECT, its DISTINCT / ALL / TOP prefix, then the items up to the end of the list.
    QString selectList()
    {
        QString out = m_t.at(m_i++).text.toString();
        bool afterTop = false;
        while (m_i < m_t.size()) {
            const Token &t = m_t.at(m_i);
            if (insignificant(t) || isWord(t, "DISTINCT") || isWord(t, "ALL")) {
                out += t.text;
                ++m_i;
            } else if (isWord(t, "TOP")) {
                out += t.text;
                ++m_i;
                while (m_i < m_t.size() && insignificant(m_t.at(m_i)))
                    out += m_t.at(m_i++).text;
                if (m_i < m_t.size() && isPunct(m_t.at(m_i), '('))
                    out += group();
                else if (m_i < m_t.size() && m_t.at(m_i).kind == Tok::Number)
                    out += m_t.at(m_i++).text;
                afterTop = true;
            } else if (afterTop && (isWord(t, "PERCENT") || isWord(t, "WITH") || isWord(t, "TIES"))) {
                out += t.text;
                ++m_i;
            } else {
                break;
            }
        }
        QList<Token> item;
        while (m_i < m_t.size()) {
            const Token &t = m_t.at(m_i);
            if (isPunct(t, ')') || isPunct(t, ';') || endsSelectList(t))
                break;
            if (isPunct(t, ',')) {
                out += aliased(item);
                out += t.text;
                item.clear();
                ++m_i;
            } else if (isPunct(t, '(')) {
                m_kept.push_back(group());
                item.push_back({Tok::Group, m_kept.back()});
            } else {
                item.push_back(t);
                ++m_i;
            }
        }
        return out + aliased(item);
    }

    // `name = expression` -> `expression AS name`, keeping the blanks around the item.
    static QString aliased(const QList<Token> &item)
    {
        auto join = [&](qsizetype from, qsizetype to) {
            QString s;
            for (qsizetype k = from; k < to; ++k)
                s += item.at(k).text;
            return s;
        };
        const qsizetype name = nextSignificant(item, 0);
        const qsizetype eq = nextSignificant(item, name + 1);
        const qsizetype expr = nextSignificant(item, eq + 1);
        if (expr >= item.size())
            return join(0, item.size());
        const Token &n = item.at(name);
        const bool isName = (n.kind == Tok::Word && !n.text.startsWith(QLatin1Char('@')))
                            || n.kind == Tok::Bracketed || n.kind == Tok::Quoted;
        if (!isName || !isPunct(item.at(eq), '='))
            return join(0, item.size());
        qsizetype last = item.size() - 1;
        while (insignificant(item.at(last)))
            --last;
        return join(0, name) + join(expr, last + 1) + QStringLiteral(" AS ") + n.text.toString()
               + join(last + 1, item.size());
    }

    const QList<Token> &m_t;
    qsizetype m_i = 0;
    std::deque<QString> m_kept;  // the texts of the groups an item holds
};

bool balanced(const QList<Token> &tokens)
{
    int depth = 0;
    for (const Token &t : tokens) {
        if (isPunct(t, '('))
            ++depth;
        else if (isPunct(t, ')') && --depth < 0)
            return false;
    }
    return depth == 0;
}

QString unquote(QStringView text, QChar close)
{
    QString inner = text.mid(1, text.size() - 2).toString();
    return inner.replace(QString(2, close), QString(close));
}

}  // namespace

QString TsqlRewriter::rewrite(const QString &sql)
{
    QList<Token> tokens;
    if (!tokenize(sql, tokens) || !balanced(tokens))
        return sql;
    std::deque<QString> kept;
    rewriteInPlace(tokens, kept);
    return AliasRewriter(tokens).run();
}

// Whether the first word of a statement, after blanks and comments, could be EXEC or EXECUTE: a
// look at its start spares reading every other statement whole.
static bool mayBeExec(const QString &sql)
{
    const qsizetype n = sql.size();
    qsizetype i = 0;
    for (qsizetype end; i < n && (end = blanksOrCommentEnd(sql, i)) != i; i = end)
        if (end < 0)
            return false;
    qsizetype j = i;
    while (j < n && isWordChar(sql.at(j)))
        ++j;
    const QStringView word = QStringView(sql).sliced(i, j - i);
    return word.compare(QLatin1String("EXEC"), Qt::CaseInsensitive) == 0
        || word.compare(QLatin1String("EXECUTE"), Qt::CaseInsensitive) == 0;
}

std::optional<ProcedureCall> TsqlRewriter::procedureCall(const QString &sql)
{
    if (!mayBeExec(sql))
        return std::nullopt;
    QList<Token> all;
    if (!tokenize(sql, all))
        return std::nullopt;
    QList<Token> t;
    for (const Token &tok : all)
        if (!insignificant(tok))
            t.push_back(tok);
    while (!t.isEmpty() && isPunct(t.last(), ';'))
        t.removeLast();
    qsizetype i = 0;
    if (t.isEmpty() || !(isWord(t.at(0), "EXEC") || isWord(t.at(0), "EXECUTE")))
        return std::nullopt;
    ++i;

    // NAME, or owner.NAME / database.owner.NAME: the last part names the procedure.
    ProcedureCall call;
    while (true) {
        if (i >= t.size())
            return std::nullopt;
        const Token &part = t.at(i++);
        if (part.kind == Tok::Word && !part.text.startsWith(QLatin1Char('@')))
            call.name = part.text.toString();
        else if (part.kind == Tok::Bracketed)
            call.name = unquote(part.text, QLatin1Char(']'));
        else if (part.kind == Tok::Quoted)
            call.name = unquote(part.text, QLatin1Char('"'));
        else
            return std::nullopt;
        if (i < t.size() && isPunct(t.at(i), '.'))
            ++i;
        else
            break;
    }

    for (bool first = true; i < t.size(); first = false) {
        if (!first) {  // arguments are separated by commas
            if (!isPunct(t.at(i), ',') || ++i >= t.size())
                return std::nullopt;
        }
        QString sign;
        if (isPunct(t.at(i), '-') || isPunct(t.at(i), '+')) {
            sign = t.at(i).text.toString();
            if (++i >= t.size())
                return std::nullopt;
        }
        const Token &arg = t.at(i++);
        if (arg.kind == Tok::Number) {
            const QString text = (sign == QLatin1String("-") ? sign : QString()) + arg.text.toString();
            bool isInt = false;
            const qlonglong whole = text.toLongLong(&isInt);
            if (isInt)
                call.args.push_back(whole);
            else
                call.args.push_back(text.toDouble());
        } else if (!sign.isEmpty()) {
            return std::nullopt;
        } else if (arg.kind == Tok::String) {
            call.args.push_back(unquote(arg.text, QLatin1Char('\'')));
        } else if (isWord(arg, "NULL")) {
            call.args.push_back(QVariant());
        } else if (arg.kind == Tok::Word && !arg.text.startsWith(QLatin1Char('@'))) {
            call.args.push_back(arg.text.toString());  // T-SQL takes a bare word as text
        } else {
            return std::nullopt;
        }
    }
    return call;
}

namespace {

constexpr qint64 kLargestInt = std::numeric_limits<int>::max();

// Walks the parameters of a statement as SQLite numbers them, calling `visit(first, last, number)`
// with the token range of each.
template <typename Visit>
void forEachParameter(const QList<Token> &t, Visit &&visit)
{
    // Counted in 64 bits, `?N` taken up to the largest int: `?2147483647` followed by `?` or a
    // named parameter must not overflow. A number too long to read reads as 0 and binds nothing
    // (SQLite refuses such a statement anyway).
    qint64 largest = 0;
    QHash<QString, qint64> named;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const Token &tok = t.at(i);
        if (tok.kind == Tok::Param) {
            const qint64 number = tok.text.size() == 1
                                      ? largest + 1
                                      : qMin(tok.text.mid(1).toLongLong(), kLargestInt);
            largest = qMax(largest, number);
            visit(i, i, number);
            continue;
        }
        QString name;
        const qsizetype first = i;
        if (tok.kind == Tok::Word
            && (tok.text.startsWith(QLatin1Char('@')) || tok.text.startsWith(QLatin1Char('$'))))
            name = tok.text.toString();
        else if (isPunct(tok, ':') && i + 1 < t.size() && t.at(i + 1).kind == Tok::Word)
            name = QLatin1Char(':') + t.at(++i).text.toString();
        if (name.isEmpty())
            continue;
        auto it = named.constFind(name);
        if (it == named.constEnd())
            it = named.insert(name, ++largest);
        visit(first, i, *it);
    }
}

QString sqliteLiteral(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(v.toLongLong());
    case QMetaType::Double: {
        QString s = QString::number(v.toDouble(), 'g', 17);
        if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')))
            s += QLatin1String(".0");  // stays a real
        return s;
    }
    default:
        return QLatin1Char('\'') + sqlQuote(v.toString()) + QLatin1Char('\'');
    }
}

}  // namespace

std::optional<QList<SqlToken>> TsqlRewriter::significantTokens(const QString &sql)
{
    QList<Token> tokens;
    if (!tokenize(sql, tokens))
        return std::nullopt;
    QList<SqlToken> out;
    out.reserve(tokens.size() / 2 + 1);
    qsizetype pos = 0;
    for (const Token &t : tokens) {
        const qsizetype at = pos;
        pos += t.text.size();
        SqlToken::Kind kind;
        switch (t.kind) {
        case Tok::Word: kind = SqlToken::Word; break;
        case Tok::Number: kind = SqlToken::Number; break;
        case Tok::String: kind = SqlToken::String; break;
        case Tok::Bracketed: kind = SqlToken::Bracketed; break;
        case Tok::Quoted: kind = SqlToken::Quoted; break;
        case Tok::Param: kind = SqlToken::Param; break;
        case Tok::Punct: kind = SqlToken::Punct; break;
        default: continue;
        }
        out.push_back({kind, t.text.toString(), at});
    }
    return out;
}

int TsqlRewriter::parameterCount(const QString &sql)
{
    QList<Token> t;
    if (!tokenize(sql, t))
        return 0;
    qint64 largest = 0;
    forEachParameter(t, [&](qsizetype, qsizetype, qint64 number) { largest = qMax(largest, number); });
    return int(qMin(largest, kLargestInt));
}

QString TsqlRewriter::bindArguments(const QString &sql, const QVariantList &args)
{
    QList<Token> t;
    if (!tokenize(sql, t))
        return sql;
    QString out;
    qsizetype next = 0;
    forEachParameter(t, [&](qsizetype first, qsizetype last, qint64 number) {
        for (; next < first; ++next)
            out += t.at(next).text;
        out += keptApart(t, first, last,
                         sqliteLiteral(number >= 1 && number <= args.size() ? args.at(number - 1)
                                                                            : QVariant()));
        next = last + 1;
    });
    for (; next < t.size(); ++next)
        out += t.at(next).text;
    return out;
}

}  // namespace b2d
