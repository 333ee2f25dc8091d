// The working set of an SQL Server entity.
//
// SQL Server compares, converts and orders in ways no local engine reproduces exactly (collations,
// decimal arithmetic, date-times), so nothing is computed here: the rows of a kept table are held
// as the driver handed them over, each value of the driver's own type, and only reads whose answer
// is a choice of those rows and columns are answered from them:
//
//   SELECT * | column [[AS] name] [, ...]  FROM table [[AS] alias]
//   [WHERE column = literal [AND column = literal ...]]
//   [ORDER BY column [ASC | DESC] [, ...]]
//
// with columns bare or qualified by the alias (the table's name when it has none), literals quoted
// ('...') or unsigned whole numbers, either side of the '='. Anything else (TOP, DISTINCT,
// expressions, functions, OR, joins, subqueries, a qualified table, a comment that could nest) goes
// to the database as it is.
//
// - The first read of a generation that fits the class reads INFORMATION_SCHEMA.COLUMNS for the
//   kept tables (kTables of WorkingSet.cpp) once, with each column's data type and collation and
//   the database's collation. Names (tables, columns, qualifiers) are matched as the database
//   matches them: without regard to case under a case-insensitive database collation of those
//   listed below, when the names are printable ASCII; exactly otherwise. A table whose name stands
//   in more than one schema is not served. The answer names its columns as the statement does (or
//   as the fetch does for `*`), as SQL Server names them.
// - A keyed table is fetched per key: a conjunct `key = literal` of the statement has the working
//   set send `SELECT * FROM table WHERE key = literal`, table, key and literal as the statement
//   writes them, once per generation, and hold the rows; the database decides which rows equal
//   the literal (a key in another case or with trailing blanks is its own fetch). A code table
//   comes whole, once (`SELECT * FROM table`).
// - The other conjuncts are decided here, row by row, as SQL Server decides them, or not at all:
//   a quoted literal against a char, varchar, nchar or nvarchar column of a Latin1_General,
//   SQL_Latin1_General_CP1 or Modern_Spanish collation, both texts of printable ASCII only,
//   compared with trailing blanks ignored (leading ones count), without regard to case under a
//   case-insensitive collation and exactly under a case-sensitive or binary one; an unsigned whole
//   number against an int, bigint, smallint or tinyint column, numerically, and so a quoted one of
//   digits alone, which SQL Server converts to the column's type, when it fits that type. NULL
//   equals nothing. Any other pairing (a quoted literal against a date or a decimal, or of more
//   than digits against a whole number, a number against text, a value outside printable ASCII, a
//   collation not listed, whose equalities fold more than case) sends the statement to the
//   database.
// - The answer keeps the fetch's row order: a statement without ORDER BY has no order the database
//   promises, and the fetch's is one it gives. ORDER BY is followed (NULL first, ties in the
//   fetch's order) for int, bigint, smallint, tinyint, datetime, smalldatetime and date columns,
//   whose order the driver's values keep exactly, and for texts of a case-insensitive collation
//   listed above when the values the answer orders are codes of one shape (told at orderable());
//   by any other column or values (decimals and finer date-times, which the driver's values may
//   round together; other texts, whose order is the collation's own) the statement goes to the
//   database.
// - Writes are never applied here: after any write that reaches the database, what is held of the
//   written table (of every table, when it cannot be told) is dropped, and the next read fetches
//   it again.
// - A fetch or catalog read the database refuses is the refusal of the statement that needed it.

#include "data/SqlServerRows.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <limits>

namespace b2d {

namespace {

bool isWord(const SqlToken &t, const char *word)
{
    return t.kind == SqlToken::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const SqlToken &t, const char *p)
{
    return t.kind == SqlToken::Punct && t.text == QLatin1String(p);
}

bool isLiteral(const SqlToken &t)
{
    return t.kind == SqlToken::String || t.kind == SqlToken::Number;
}

// A name as written (a bare word that is not a keyword, or a bracketed name without its
// brackets), case kept.
bool nameOf(const SqlToken &t, QString &name)
{
    static const QSet<QString> keywords = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"),     QStringLiteral("WHERE"),   QStringLiteral("AND"),
        QStringLiteral("OR"),     QStringLiteral("NOT"),      QStringLiteral("ORDER"),   QStringLiteral("GROUP"),
        QStringLiteral("BY"),     QStringLiteral("HAVING"),   QStringLiteral("AS"),      QStringLiteral("ON"),
        QStringLiteral("JOIN"),   QStringLiteral("INNER"),    QStringLiteral("LEFT"),    QStringLiteral("RIGHT"),
        QStringLiteral("FULL"),   QStringLiteral("CROSS"),    QStringLiteral("OUTER"),   QStringLiteral("APPLY"),
        QStringLiteral("UNION"),  QStringLiteral("EXCEPT"),   QStringLiteral("INTERSECT"), QStringLiteral("WITH"),
        QStringLiteral("OPTION"), QStringLiteral("FOR"),      QStringLiteral("TOP"),     QStringLiteral("DISTINCT"),
        QStringLiteral("ALL"),    QStringLiteral("NULL"),     QStringLiteral("IS"),      QStringLiteral("IN"),
        QStringLiteral("LIKE"),   QStringLiteral("BETWEEN"),  QStringLiteral("EXISTS"),  QStringLiteral("CASE"),
        QStringLiteral("INTO"),   QStringLiteral("COLLATE"),  QStringLiteral("ESCAPE"),  QStringLiteral("TABLESAMPLE"),
        QStringLiteral("PIVOT"),  QStringLiteral("UNPIVOT"),  QStringLiteral("COMPUTE"), QStringLiteral("BROWSE"),
        QStringLiteral("ASC"),    QStringLiteral("DESC"),
    };
    if (t.kind == SqlToken::Word) {
        if (keywords.contains(t.text.toUpper()) || t.text.startsWith(QLatin1Char('@'))
            || t.text.startsWith(QLatin1Char('#')))
            return false;
        name = t.text;
        return true;
    }
    if (t.kind == SqlToken::Bracketed) {
        name = t.text.mid(1, t.text.size() - 2).replace(QLatin1String("]]"), QLatin1String("]"));
        return true;
    }
    return false;
}

struct ColumnRef {
    QString qualifier;  // as written, brackets removed; empty: bare
    QString name;       // as written, brackets removed
    QString written;    // the column's own token, as written
    QString alias;      // the name the answer gives it (select list only): its own unless AS gives one
};

struct Conjunct {
    ColumnRef column;
    SqlToken literal{SqlToken::Punct, {}, 0};
};

struct OrderTerm {
    ColumnRef column;
    bool descending = false;
};

// A read of the class told above.
struct Read {
    bool star = false;
    QList<ColumnRef> columns;
    QString table;         // brackets removed
    QString tableWritten;  // as written
    QString alias;         // empty: none
    QList<Conjunct> where;
    QList<OrderTerm> order;
};

bool parse(const QList<SqlToken> &t, Read &r)
{
    const qsizetype n = t.size();
    qsizetype i = 1;  // after SELECT
    auto column = [&](ColumnRef &c) {
        QString first;
        if (i >= n || !nameOf(t.at(i), first))
            return false;
        c.written = t.at(i).text;
        ++i;
        if (i < n && isPunct(t.at(i), ".")) {
            if (i + 1 >= n || !nameOf(t.at(i + 1), c.name))
                return false;
            c.qualifier = first;
            c.written = t.at(i + 1).text;
            i += 2;
        } else {
            c.name = first;
        }
        return true;
    };
    if (i < n && isPunct(t.at(i), "*")) {
        r.star = true;
        ++i;
    } else {
        do {
            ColumnRef c;
            if (!column(c))
                return false;
            c.alias = c.name;
            if (i < n && isWord(t.at(i), "AS")) {
                if (++i >= n || !nameOf(t.at(i), c.alias))
                    return false;
                ++i;
            } else if (i < n && nameOf(t.at(i), c.alias)) {
                ++i;
            }
            r.columns << c;
        } while (i < n && isPunct(t.at(i), ",") && ++i);
    }
    if (i >= n || !isWord(t.at(i), "FROM") || ++i >= n || !nameOf(t.at(i), r.table))
        return false;
    r.tableWritten = t.at(i++).text;
    if (i < n && isWord(t.at(i), "AS")) {
        if (++i >= n || !nameOf(t.at(i), r.alias))
            return false;
        ++i;
    } else if (i < n && nameOf(t.at(i), r.alias)) {
        ++i;
    }
    if (i < n && isWord(t.at(i), "WHERE")) {
        do {
            ++i;
            Conjunct c;
            if (i < n && isLiteral(t.at(i))) {
                c.literal = t.at(i++);
                if (i >= n || !isPunct(t.at(i), "="))
                    return false;
                ++i;
                if (!column(c.column))
                    return false;
            } else {
                if (!column(c.column) || i >= n || !isPunct(t.at(i), "=") || ++i >= n || !isLiteral(t.at(i)))
                    return false;
                c.literal = t.at(i++);
            }
            r.where << c;
        } while (i < n && isWord(t.at(i), "AND"));
    }
    if (i < n && isWord(t.at(i), "ORDER")) {
        if (++i >= n || !isWord(t.at(i), "BY"))
            return false;
        do {
            ++i;
            OrderTerm o;
            if (!column(o.column))
                return false;
            if (i < n && (isWord(t.at(i), "ASC") || isWord(t.at(i), "DESC")))
                o.descending = isWord(t.at(i++), "DESC");
            r.order << o;
        } while (i < n && isPunct(t.at(i), ","));
    }
    return i == n;
}

bool printableAscii(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7e; });
}

QStringView withoutTrailingBlanks(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.first(n);
}

// The text of a quoted literal, its doubled quotes undone.
QString textOf(const SqlToken &literal)
{
    return literal.text.mid(1, literal.text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
}

using Kind = SqlServerRows::Kind;

bool isInteger(Kind kind)
{
    return kind == Kind::TinyInt || kind == Kind::SmallInt || kind == Kind::Int || kind == Kind::BigInt;
}

bool isText(Kind kind)
{
    return kind == Kind::TextCaseInsensitive || kind == Kind::TextCaseSensitive;
}

// The whole number a literal stands for against an integer column: unsigned digits unquoted (any
// size up to bigint's, compared as numbers), or quoted digits alone, which SQL Server converts to
// the column's type (false when beyond it: the database would report an overflow).
bool wholeNumber(Kind kind, const SqlToken &literal, qlonglong &value)
{
    const QString digits = literal.kind == SqlToken::String ? textOf(literal) : literal.text;
    if (digits.isEmpty() || (literal.kind != SqlToken::String && literal.kind != SqlToken::Number))
        return false;
    for (QChar c : digits)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    bool ok = false;
    value = digits.toLongLong(&ok);
    if (!ok || literal.kind == SqlToken::Number)
        return ok;
    return value <= (kind == Kind::TinyInt    ? 255
                     : kind == Kind::SmallInt ? 32767
                     : kind == Kind::Int      ? 2147483647
                                              : std::numeric_limits<qlonglong>::max());
}

// Whether this pairing of a column and a literal can be decided here at all.
bool decidable(Kind kind, const SqlToken &literal)
{
    qlonglong ignored;
    if (isInteger(kind))
        return wholeNumber(kind, literal, ignored);
    return isText(kind) && literal.kind == SqlToken::String && printableAscii(textOf(literal));
}

enum class Match { Yes, No, Unknown };

Match compare(Kind kind, const QVariant &value, const SqlToken &literal)
{
    if (value.isNull())
        return Match::No;
    if (isText(kind) && literal.kind == SqlToken::String) {
        if (value.typeId() != QMetaType::QString)
            return Match::Unknown;
        const QString text = value.toString();
        if (!printableAscii(text))
            return Match::Unknown;
        const QString wanted = textOf(literal);
        const Qt::CaseSensitivity cs = kind == Kind::TextCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return withoutTrailingBlanks(text).compare(withoutTrailingBlanks(wanted), cs) == 0 ? Match::Yes : Match::No;
    }
    qlonglong wanted = 0;
    if (!isInteger(kind) || !wholeNumber(kind, literal, wanted) || value.typeId() != QMetaType::LongLong)
        return Match::Unknown;
    return value.toLongLong() == wanted ? Match::Yes : Match::No;
}

bool isAlphanumeric(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// Whether the values of a column are ordered here exactly, as SQL Server orders them: whole
// numbers; date-times of no finer grain than the driver's milliseconds; texts under a
// case-insensitive collation listed above that, trailing blanks dropped, are printable ASCII of
// one length with the same other characters than letters and digits at the same places (codes
// such as "0001" or "ITR-88410"). Those collations order such texts by their letters and digits
// from the left, digits first and letters without regard to case, whatever they make of the
// other characters (which then never decide).
bool orderable(Kind kind, const QList<const QVariantList *> &rows, qsizetype column)
{
    QString shape;  // the first text, its letters and digits made '0'
    for (const QVariantList *row : rows) {
        const QVariant value = row->value(column);
        if (value.isNull())
            continue;
        if (isInteger(kind) && value.typeId() == QMetaType::LongLong)
            continue;
        if (kind == Kind::DateTime && value.typeId() == QMetaType::QDateTime)
            continue;
        if (kind != Kind::TextCaseInsensitive || value.typeId() != QMetaType::QString)
            return false;
        QString text = withoutTrailingBlanks(value.toString()).toString();
        if (!printableAscii(text))
            return false;
        for (QChar &c : text)
            if (isAlphanumeric(c))
                c = QLatin1Char('0');
        if (shape.isNull())
            shape = text;
        else if (text != shape)
            return false;
    }
    return true;
}

// SQL Server's order of two values of an orderable column: NULL first.
int orderOf(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull());
    if (a.typeId() == QMetaType::LongLong) {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.typeId() == QMetaType::QString)
        return withoutTrailingBlanks(a.toString()).compare(withoutTrailingBlanks(b.toString()), Qt::CaseInsensitive);
    const QDateTime x = a.toDateTime(), y = b.toDateTime();
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

SqlServerRows::Kind SqlServerRows::kindOf(const QString &dataType, const QString &collation)
{
    const QString type = dataType.toLower();
    if (type == QLatin1String("tinyint"))
        return Kind::TinyInt;
    if (type == QLatin1String("smallint"))
        return Kind::SmallInt;
    if (type == QLatin1String("int"))
        return Kind::Int;
    if (type == QLatin1String("bigint"))
        return Kind::BigInt;
    if (type == QLatin1String("datetime") || type == QLatin1String("smalldatetime") || type == QLatin1String("date"))
        return Kind::DateTime;
    if (type != QLatin1String("char") && type != QLatin1String("varchar") && type != QLatin1String("nchar")
        && type != QLatin1String("nvarchar"))
        return Kind::Other;
    // Collations whose equalities on printable ASCII are those of its letters' case alone (or of
    // nothing): others may expand, contract or ignore characters.
    if (!collation.startsWith(QLatin1String("Latin1_General_"))
        && !collation.startsWith(QLatin1String("SQL_Latin1_General_CP1_"))
        && !collation.startsWith(QLatin1String("Modern_Spanish_")))
        return Kind::Other;
    const QStringList parts = collation.split(QLatin1Char('_'));
    if (parts.contains(QLatin1String("BIN")) || parts.contains(QLatin1String("BIN2"))
        || parts.contains(QLatin1String("CS")))
        return Kind::TextCaseSensitive;
    if (parts.contains(QLatin1String("CI")))
        return Kind::TextCaseInsensitive;
    return Kind::Other;
}

SqlServerRows::SqlServerRows(QHash<QString, QStringList> tables, Send send, int &sent)
    : m_keys(std::move(tables)), m_send(std::move(send)), m_sent(sent)
{
}

bool SqlServerRows::readCatalog(Connection &c, QString &error)
{
    QStringList names = m_keys.keys();
    names.sort();
    for (QString &name : names)
        name = QLatin1Char('\'') + name + QLatin1Char('\'');
    ResultSet catalog;
    ++m_sent;
    if (!m_send(c,
                QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, DATA_TYPE, COLLATION_NAME, "
                               "CONVERT(nvarchar(128), DATABASEPROPERTYEX(DB_NAME(), 'Collation')) "
                               "FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME IN (%1)")
                    .arg(names.join(QStringLiteral(", "))),
                catalog, error))
        return false;
    QHash<QString, QString> schemaOf;  // upper-cased table -> the schema of its first column
    for (const QVariantList &row : std::as_const(catalog.rows)) {
        m_namesIgnoreCase = kindOf(QStringLiteral("varchar"), row.value(5).toString()) == Kind::TextCaseInsensitive;
        const QString schema = row.value(0).toString();
        const QString name = row.value(1).toString();
        const QString upper = name.toUpper();
        if (!m_keys.contains(upper))
            continue;
        Table &table = m_tables[upper];
        if (table.name.isEmpty()) {
            table.name = name;
            schemaOf.insert(upper, schema);
        } else if (table.name != name || schemaOf.value(upper) != schema) {
            table.ambiguous = true;
        }
        table.columns.insert(row.value(2).toString(), kindOf(row.value(3).toString(), row.value(4).toString()));
    }
    m_catalogRead = true;
    return true;
}

SqlServerRows::Outcome SqlServerRows::answer(Connection &c, const QString &sql, const QList<SqlToken> &t,
                                             ResultSet &out, QString &error)
{
    Read r;
    // A block comment may nest in T-SQL, where the tokens end it at its first "*/".
    if (sql.contains(QLatin1String("/*")) || !parse(t, r))
        return Outcome::ToDatabase;
    const auto keys = m_keys.constFind(r.table.toUpper());
    if (keys == m_keys.constEnd())
        return Outcome::ToDatabase;
    if (!m_catalogRead && !readCatalog(c, error))
        return Outcome::Refused;
    const auto found = m_tables.find(r.table.toUpper());
    if (found == m_tables.end() || found->ambiguous || !sameName(found->name, r.table))
        return Outcome::ToDatabase;
    Table &table = *found;

    // Every column a column of the table (as the catalog names it), every qualifier the name the
    // statement gives the table.
    const QString &qualifier = r.alias.isEmpty() ? r.table : r.alias;
    auto resolve = [&](ColumnRef &ref) {
        if (!ref.qualifier.isEmpty() && !sameName(ref.qualifier, qualifier))
            return false;
        if (table.columns.contains(ref.name))
            return true;
        QString match;
        for (auto it = table.columns.constBegin(); it != table.columns.constEnd(); ++it)
            if (sameName(it.key(), ref.name)) {
                if (!match.isEmpty())
                    return false;
                match = it.key();
            }
        ref.name = match;
        return !match.isEmpty();
    };
    for (ColumnRef &ref : r.columns)
        if (!resolve(ref))
            return Outcome::ToDatabase;
    for (OrderTerm &o : r.order) {
        if (!resolve(o.column))
            return Outcome::ToDatabase;
        const Kind kind = table.columns.value(o.column.name);
        if (!isInteger(kind) && kind != Kind::DateTime && kind != Kind::TextCaseInsensitive)
            return Outcome::ToDatabase;  // a case-sensitive collation's order is not reproduced here
    }
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < r.where.size(); ++i) {
        Conjunct &w = r.where[i];
        if (!resolve(w.column))
            return Outcome::ToDatabase;
        if (keyAt < 0 && keys->contains(w.column.name.toUpper()))
            keyAt = i;
    }
    if (!keys->isEmpty() && keyAt < 0)
        return Outcome::ToDatabase;
    for (qsizetype i = 0; i < r.where.size(); ++i)
        if (i != keyAt && !decidable(table.columns.value(r.where.at(i).column.name), r.where.at(i).literal))
            return Outcome::ToDatabase;

    QString held, fetch = QStringLiteral("SELECT * FROM ") + r.tableWritten;
    if (keyAt >= 0) {
        const Conjunct &key = r.where.at(keyAt);
        held = key.column.name.toUpper() + QLatin1Char('\n') + key.literal.text;
        fetch += QStringLiteral(" WHERE ") + key.column.written + QStringLiteral(" = ") + key.literal.text;
    }
    auto rows = table.held.find(held);
    if (rows == table.held.end()) {
        ResultSet fetched;
        ++m_sent;
        if (!m_send(c, fetch, fetched, error))
            return Outcome::Refused;
        rows = table.held.insert(held, std::move(fetched));
    }

    // The held rows that meet every other conjunct, in the fetch's order, with the columns asked.
    QList<qsizetype> tested, kept;
    for (qsizetype i = 0; i < r.where.size(); ++i)
        if (i != keyAt)
            tested << rows->columns.indexOf(r.where.at(i).column.name);
    if (r.star) {
        for (qsizetype i = 0; i < rows->columns.size(); ++i)
            kept << i;
    } else {
        for (const ColumnRef &ref : std::as_const(r.columns))
            kept << rows->columns.indexOf(ref.name);
    }
    QList<qsizetype> sortedBy;
    for (const OrderTerm &o : std::as_const(r.order))
        sortedBy << rows->columns.indexOf(o.column.name);
    if (tested.contains(-1) || kept.contains(-1) || sortedBy.contains(-1))
        return Outcome::ToDatabase;  // the driver named the columns otherwise
    QList<const QVariantList *> chosen;
    for (const QVariantList &row : std::as_const(rows->rows)) {
        bool meets = true;
        for (qsizetype i = 0, j = 0; i < r.where.size() && meets; ++i) {
            if (i == keyAt)
                continue;
            const Conjunct &w = r.where.at(i);
            switch (compare(table.columns.value(w.column.name), row.value(tested.at(j++)), w.literal)) {
            case Match::Yes:
                break;
            case Match::No:
                meets = false;
                break;
            case Match::Unknown:
                return Outcome::ToDatabase;
            }
        }
        if (meets)
            chosen << &row;
    }
    // ORDER BY: ties keep the fetch's order, one the database may give as well.
    for (qsizetype k = 0; k < sortedBy.size(); ++k)
        if (!orderable(table.columns.value(r.order.at(k).column.name), chosen, sortedBy.at(k)))
            return Outcome::ToDatabase;
    std::stable_sort(chosen.begin(), chosen.end(), [&](const QVariantList *a, const QVariantList *b) {
        for (qsizetype k = 0; k < sortedBy.size(); ++k)
            if (const int c = orderOf(a->value(sortedBy.at(k)), b->value(sortedBy.at(k))))
                return r.order.at(k).descending ? c > 0 : c < 0;
        return false;
    });
    ResultSet answer;
    if (r.star) {
        answer.columns = rows->columns;
    } else {
        for (const ColumnRef &ref : std::as_const(r.columns))
            answer.columns << ref.alias;
    }
    for (const QVariantList *row : std::as_const(chosen)) {
        QVariantList values;
        values.reserve(kept.size());
        for (qsizetype k : std::as_const(kept))
            values << row->value(k);
        answer.rows << values;
    }
    out = std::move(answer);
    return Outcome::Answered;
}

bool SqlServerRows::sameName(const QString &a, const QString &b) const
{
    return a == b
        || (m_namesIgnoreCase && printableAscii(a) && printableAscii(b) && a.compare(b, Qt::CaseInsensitive) == 0);
}

void SqlServerRows::written(const QString &table)
{
    for (auto it = m_tables.begin(); it != m_tables.end(); ++it)
        if (table.isEmpty() || it.key() == table)
            it->held.clear();
}

}  // namespace b2d
