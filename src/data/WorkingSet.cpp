// The working set of a generation.
//
// A generation asks the same tables again and again for the same operation: the declaration's
// rows by its number, the interno's rows by the interno, and a handful of small code tables. The
// working set holds those rows in a private SQLite database in memory, one per entity, and answers
// the builders' own statements from it with the engine and T-SQL adaptation of the embedded
// backend. What it holds and answers:
//
// - Only entities whose database is SQLite (the sqlite driver). There the local database is built
//   from the source's own schema (its CREATE TABLE and CREATE INDEX texts, read once per
//   generation), and every row keeps its rowid, so that the same engine over the same schema, the
//   same rows in the same order, compares, converts and orders exactly as the source does. A
//   source holding planner statistics (sqlite_stat tables) is not served: its plans, and so the
//   order of unordered answers, could differ.
// - Only the tables of kTables. A keyed table is fetched per key value, when the statement
//   restricts its rows to one: a conjunct `key = literal` (or `literal = key`; the column bare or
//   qualified by the table or its alias; the literal quoted or a number) that stands alone under
//   the WHERE, or an inner join's ON, of the select that reads the table, or inside a
//   parenthesised conjunction there, in a select with no OR or BETWEEN at that level; or a chain
//   of such equalities between text columns of the same collation that carries a quoted literal
//   from another table (`a.IDN_DESPACHO = 'X' AND b.IDN_DESPACHO = a.IDN_DESPACHO`). The ON of a
//   LEFT JOIN restricts only the table it joins. The working set then sends
//   `SELECT rowid, * FROM table WHERE key = literal` once and keeps the rows: the source itself
//   decides which rows equal the literal, and the local statement compares with the same column's
//   collation and affinity, so a key written in another case or with trailing blanks matches there
//   exactly when it matches in the source. Rows fetched under two keys are kept once (by rowid).
//   A code table comes whole, once, and may be named any number of times. The tariff rows of
//   every position the declaration's articles name come with the first tariff row asked
//   (`key IN (...)`, a few hundred keys a statement), so that their fetches do not grow with the
//   items (kReadAhead).
// - Only reads: SELECT statements without UNION/EXCEPT/INTERSECT, right, full or natural joins,
//   HAVING, WITH, parameters, several statements, or functions whose answer depends on the
//   connection (changes, last_insert_rowid, random). A keyed table must be named once, where a
//   table is named (after FROM, JOIN or a comma). Every table such a statement names must be held
//   (a table of another entity, qualified, or one the working set does not keep makes it go to
//   the database), and the local engine must run it; anything else goes to the database as it is.
// - A keyed table the source keeps without any index (its own or a constraint's) is read there by
//   a full scan, in rowid order, however few rows a statement wants. A single-table read of it
//   (no join, no subquery, no GROUP BY or DISTINCT) is answered from a copy of the rows held with
//   one index over exactly the columns the statement compares with literals: the index's equal
//   entries follow each other by rowid, so the same rows come in the same order, and reach any
//   ORDER BY's sort in that order, without the scan. The copy is made again after the rows held
//   change.
// - A write is sent to the database first. Once the database accepts it, an UPDATE or DELETE of a
//   kept table that decides each row by the row alone (no subquery, no function, no other table)
//   and assigns no key column is run on the rows held too; after any other write (an INSERT, whose
//   rowid only the source knows, or a procedure call) everything held of the written table is
//   dropped in every entity (everything at all when the table cannot be told), and the next read
//   fetches the rows again as the database now has them.
// - A read the working set sends that the database refuses is the refusal of the statement that
//   needed it: the generation ends as for any refused statement; a lost connection is opened again
//   before the next statement, as for any other.
// - An ODBC entity whose DBMS is Microsoft SQL Server is served by SqlServerRows (told at the top
//   of SqlServerRows.cpp): no local engine there, since SQL Server compares, converts, computes and
//   orders in ways the embedded engine does not (decimal arithmetic, collations, date-times); the
//   rows are held as the driver gives them and a narrow class of reads is answered from them.
// - Not served (their statements go to the database as they are): entities behind ODBC of any
//   other DBMS. An SQLite file behind an ODBC driver, for one, hands its date-times over as
//   date-times where the local copy would give text.

#include "data/WorkingSet.h"

#include "data/SqlBackends.h"
#include "data/SqlServerRows.h"
#include "data/TsqlRewriter.h"
#include "values/Values.h"

#include <QMap>
#include <QSet>
#include <array>
#include <atomic>
#include <functional>

namespace b2d {

namespace {

// The tables the working set keeps, with the columns that key them (none: the table comes whole).
struct TableRule {
    const char *table;
    std::initializer_list<const char *> keys;
};

const TableRule kTables[] = {
    // HISTORIAL: the declaration's rows, by its number.
    {"CARATULA_CARATULA", {"DESPACHO"}},
    {"CARATULA_LIQUIDACIONES", {"IDN_DESPACHO"}},
    {"CARATULA_INGRESOS_BRUTOS", {"IDN_DESPACHO"}},
    {"CARATULA_DOCUMENTOS", {"IDN_DESPACHO"}},
    {"ITEMS_ARTICULOS", {"IDN_DESPACHO"}},
    {"ITEMS_SUBITEMS", {"IDN_DESPACHO"}},
    {"ITEMS_LIQUIDACION_ITEM", {"IDN_DESPACHO"}},
    {"ITEMS_INFORMACION_COMPLEMENTARIAS", {"IDN_DESPACHO"}},
    {"DESPACHO_TIPOSCAMBIO", {"DESPACHO"}},
    // INTERNOS: the interno's rows.
    {"CARATULA", {"INTERNO"}},
    {"INTN", {"INTNRO"}},
    {"SUBITEMS", {"INTERNO"}},
    {"GROUPSUBITEMS", {"INTERNO"}},
    {"ART", {"INTNRO"}},
    {"REQUESTENTITYDVN", {"INTNRO"}},
    // NCM: the tariff positions, by their first part.
    {"NCM", {"001"}},
    // Code tables, whole.
    {"TAX", {}},
    {"JRD", {}},
    {"RELACIONCONCEPTOS", {}},
    {"RELACIONMONEDAS", {}},
    {"RELACIONPAISES", {}},
    {"RELACIONVARIOS", {}},
    {"ADUANA", {}},
    {"ORG", {}},
};

// Keys fetched ahead: when the first key of a table is fetched, the keys a declaration will ask
// for next, read from rows another entity holds, come in the same statement (`key IN (...)`, which
// compares exactly as `key = ...` does), so that the fetches do not grow with the items. The
// tariff rows: the first part of each article's position, as the tariff lookup writes it.
struct ReadAhead {
    const char *table;
    const char *key;
    const char *fromEntity;
    const char *query;  // on the other entity's rows held
    QString (*literalOf)(const QVariant &value);
};

QString tariffKeyLiteral(const QVariant &position)
{
    const QString first = position.toString().replace(QLatin1Char(','), QLatin1Char('.')).left(10);
    return QLatin1Char('\'') + QString(first).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

const ReadAhead kReadAhead[] = {
    {"NCM", "001", "HISTORIAL", "SELECT DISTINCT POSICION_ARANCELARIA FROM ITEMS_ARTICULOS", tariffKeyLiteral},
};

// Key literals fetched together in one statement at the most.
constexpr qsizetype kKeysPerFetch = 200;

const TableRule *ruleFor(const QString &upperName)
{
    static const QHash<QString, const TableRule *> rules = [] {
        QHash<QString, const TableRule *> h;
        for (const TableRule &r : kTables)
            h.insert(QString::fromLatin1(r.table), &r);
        return h;
    }();
    return rules.value(upperName);
}

// Whether a token's text is `upper` (upper case) in any case, as the engine reads its keywords:
// ASCII letters without regard to case, nothing else folded; no copy of the text is made.
bool sameWord(const QString &text, QLatin1StringView upper)
{
    if (text.size() != upper.size())
        return false;
    const QChar *c = text.constData();
    for (qsizetype i = 0; i < upper.size(); ++i)
        if (asciiUpper(c[i].unicode()) != char16_t(uchar(upper.data()[i])))
            return false;
    return true;
}

bool isWord(const SqlToken &t, const char *word)
{
    return t.kind == SqlToken::Word && sameWord(t.text, QLatin1StringView(word));
}

bool isPunct(const SqlToken &t, const char *p)
{
    return t.kind == SqlToken::Punct && t.text == QLatin1String(p);
}

bool isName(const SqlToken &t)
{
    return t.kind == SqlToken::Word || t.kind == SqlToken::Bracketed || t.kind == SqlToken::Quoted;
}

// A name as the engine reads it, upper-cased: brackets and double quotes removed.
QString nameOf(const SqlToken &t)
{
    QString s = t.text;
    if (t.kind == SqlToken::Bracketed)
        s = s.mid(1, s.size() - 2).replace(QLatin1String("]]"), QLatin1String("]"));
    else if (t.kind == SqlToken::Quoted)
        s = s.mid(1, s.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return upperCased(s);
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Whether a word is one of `words` (upper case), in any case.
template <std::size_t N>
bool wordAmong(const SqlToken &t, const std::array<QLatin1String, N> &words)
{
    return t.kind == SqlToken::Word
        && std::any_of(words.begin(), words.end(), [&](QLatin1String w) { return sameWord(t.text, w); });
}

// Words that make a statement one the working set does not answer.
bool refusedWord(const SqlToken &t)
{
    static constexpr std::array words = {
        QLatin1String("UNION"),     QLatin1String("EXCEPT"),     QLatin1String("INTERSECT"),
        QLatin1String("RIGHT"),     QLatin1String("FULL"),       QLatin1String("NATURAL"),
        QLatin1String("HAVING"),    QLatin1String("WITH"),       QLatin1String("RETURNING"),
        QLatin1String("INTO"),      QLatin1String("CHANGES"),    QLatin1String("TOTAL_CHANGES"),
        QLatin1String("LAST_INSERT_ROWID"), QLatin1String("RANDOM"), QLatin1String("RANDOMBLOB"),
    };
    return t.kind == SqlToken::Word
        && (wordAmong(t, words) || t.text.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive));
}

// Words that end a table reference rather than give it an alias.
bool clauseWord(const SqlToken &t)
{
    static constexpr std::array words = {
        QLatin1String("WHERE"), QLatin1String("JOIN"),  QLatin1String("INNER"),
        QLatin1String("CROSS"), QLatin1String("ON"),    QLatin1String("USING"),
        QLatin1String("LEFT"),  QLatin1String("OUTER"),
        QLatin1String("ORDER"), QLatin1String("GROUP"), QLatin1String("LIMIT"),
        QLatin1String("AND"),   QLatin1String("NOT"),   QLatin1String("INDEXED"),
        QLatin1String("WINDOW"),
    };
    return wordAmong(t, words);
}

// What may follow a key conjunct: the end of its select, or the start of another conjunct or
// clause.
bool endsConjunct(const SqlToken &t)
{
    return isWord(t, "AND") || isWord(t, "ORDER") || isWord(t, "GROUP") || isWord(t, "LIMIT")
        || isWord(t, "WHERE") || isWord(t, "JOIN") || isWord(t, "INNER") || isWord(t, "CROSS")
        || isWord(t, "LEFT") || isWord(t, "OUTER") || isWord(t, "ON") || isPunct(t, ",");
}

struct KeyUse {
    QString table;    // upper-cased
    QString column;   // upper-cased
    QString literal;  // as written
};


// The statement's tokens with their parenthesis depth, the '(' enclosing each (-1: none) and
// where each '(' closes. `ok` is false when the parentheses do not balance.
struct Statement {
    const QList<SqlToken> &t;
    QList<int> depth;
    QList<qsizetype> parent;
    QList<qsizetype> closing;
    bool ok = true;

    explicit Statement(const QList<SqlToken> &tokens)
        : t(tokens), depth(tokens.size()), parent(tokens.size(), -1), closing(tokens.size(), tokens.size())
    {
        QList<qsizetype> open;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (isPunct(t.at(i), ")")) {
                if (open.isEmpty()) {
                    ok = false;
                    return;
                }
                closing[open.takeLast()] = i;
            }
            depth[i] = int(open.size());
            parent[i] = open.isEmpty() ? -1 : open.last();
            if (isPunct(t.at(i), "("))
                open.push_back(i);
        }
        ok = open.isEmpty();
    }
};

struct NamedTable {
    qsizetype at = 0;         // where the statement names it
    qsizetype scope = -1;     // the '(' of the select that reads it; -1: the statement itself
    QSet<QString> qualifiers; // its name and alias, upper-cased
    bool leftJoined = false;  // the right side of a LEFT JOIN
};

// A column of a table compared with a literal by a conjunct that restricts the table's rows.
struct Restriction {
    QString table;
    QString column;
    QString literal;
};


// What the working set knows of a kept table's columns.
struct TableShape {
    QSet<QString> columns;  // upper-cased
    // The columns compared as text (text affinity) -> their collation, upper-cased (BINARY when
    // none is declared).
    QHash<QString, QString> textCollation;
};

bool orOrBetween(const SqlToken &t)
{
    return isWord(t, "OR") || isWord(t, "BETWEEN");
}

// The text columns of a CREATE TABLE statement with their collations.
QHash<QString, QString> textColumns(const QString &createSql)
{
    QHash<QString, QString> out;
    const auto tokens = TsqlRewriter::significantTokens(createSql);
    if (!tokens)
        return out;
    const QList<SqlToken> &t = *tokens;
    static const QSet<QString> constraints = {
        QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"), QStringLiteral("NOT"),
        QStringLiteral("NULL"),       QStringLiteral("UNIQUE"),  QStringLiteral("CHECK"),
        QStringLiteral("DEFAULT"),    QStringLiteral("COLLATE"), QStringLiteral("REFERENCES"),
        QStringLiteral("GENERATED"),  QStringLiteral("AS"),      QStringLiteral("FOREIGN")};
    QList<SqlToken> def;
    auto finish = [&]() {
        if (def.isEmpty() || (def.first().kind == SqlToken::Word
                              && constraints.contains(def.first().text.toUpper()))) {
            def.clear();
            return;
        }
        QString type;
        QString collation = QStringLiteral("BINARY");
        bool inType = true;
        for (qsizetype k = 1; k < def.size(); ++k) {
            if (def.at(k).kind == SqlToken::Word && constraints.contains(def.at(k).text.toUpper()))
                inType = false;
            if (inType && def.at(k).kind == SqlToken::Word)
                type += def.at(k).text.toUpper() + QLatin1Char(' ');
            if (isWord(def.at(k), "COLLATE") && k + 1 < def.size())
                collation = nameOf(def.at(k + 1));
        }
        // SQLite's rule: a type naming INT is an integer; else CHAR, CLOB or TEXT make it text.
        if (!type.contains(QLatin1String("INT"))
            && (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
                || type.contains(QLatin1String("TEXT"))))
            out.insert(nameOf(def.first()), collation);
        def.clear();
    };
    qsizetype i = 0;
    while (i < t.size() && !isPunct(t.at(i), "("))
        ++i;
    int depth = 0;
    for (++i; i < t.size(); ++i) {
        if (isPunct(t.at(i), "(")) {
            ++depth;
        } else if (isPunct(t.at(i), ")")) {
            if (depth == 0) {
                finish();
                break;
            }
            --depth;
        } else if (depth == 0 && isPunct(t.at(i), ",")) {
            finish();
            continue;
        }
        def << t.at(i);
    }
    return out;
}

// The restrictions the conjuncts of each select put on the rows of its tables: a column compared
// with a literal, directly or through a chain of equal text columns of the same collation. A
// conjunct counts when it stands alone under the WHERE, or the ON of an inner join, of the select
// that reads the table (or of a parenthesised conjunction there), in a select without OR or
// BETWEEN at that level; the ON of a LEFT JOIN restricts only the table it joins.
QList<Restriction> restrictionsOf(const Statement &st, const QMap<QString, NamedTable> &named,
                                  const QHash<QString, const TableShape *> &shapes)
{
    const QList<SqlToken> &t = st.t;
    struct Edge {
        QString t1, c1, t2, c2;
        QString onlyInto;  // the table of a LEFT JOIN whose ON holds it; empty: both ways
    };
    QList<Restriction> out;
    QList<Edge> edges;
    QList<qsizetype> scopes;
    for (const NamedTable &nt : named)
        scopes << nt.scope;
    std::sort(scopes.begin(), scopes.end());
    scopes.erase(std::unique(scopes.begin(), scopes.end()), scopes.end());

    for (const qsizetype scope : std::as_const(scopes)) {
        const qsizetype a = scope + 1;
        const qsizetype b = scope < 0 ? t.size() : st.closing.at(scope);
        const int d = scope < 0 ? 0 : st.depth.at(scope) + 1;
        qsizetype from = -1;
        for (qsizetype i = a; i < b && from < 0; ++i)
            if (st.depth.at(i) == d && isWord(t.at(i), "FROM"))
                from = i;
        if (from < 0)
            continue;
        bool clean = true;
        for (qsizetype i = from; i < b; ++i)
            if (st.depth.at(i) == d && orOrBetween(t.at(i)))
                clean = false;
        if (!clean)
            continue;

        // A column reference written in tokens [p, q): qualified by a table of this select, or
        // bare and a column of one table only, of this select.
        auto resolve = [&](qsizetype p, qsizetype q, QString &table, QString &column) {
            if (q - p == 3 && isName(t.at(p)) && isPunct(t.at(p + 1), ".") && isName(t.at(p + 2))) {
                const QString qualifier = nameOf(t.at(p));
                column = nameOf(t.at(p + 2));
                for (auto it = named.constBegin(); it != named.constEnd(); ++it)
                    if (it->scope == scope && it->qualifiers.contains(qualifier)) {
                        table = it.key();
                        return shapes.value(table)->columns.contains(column);
                    }
                return false;
            }
            if (q - p == 1 && isName(t.at(p))) {
                column = nameOf(t.at(p));
                int count = 0;
                for (auto it = named.constBegin(); it != named.constEnd(); ++it)
                    if (shapes.value(it.key())->columns.contains(column)) {
                        ++count;
                        table = it.key();
                    }
                return count == 1 && named.value(table).scope == scope;
            }
            return false;
        };
        auto isLiteral = [&](qsizetype p, qsizetype q) {
            return q - p == 1 && (t.at(p).kind == SqlToken::String || t.at(p).kind == SqlToken::Number);
        };
        std::function<void(qsizetype, qsizetype, int, const QString &)> conjunct;
        conjunct = [&](qsizetype p, qsizetype q, int dd, const QString &leftOwner) {
            if (isPunct(t.at(p), "(") && st.closing.at(p) == q - 1 && !isWord(t.at(p + 1), "SELECT")) {
                for (qsizetype i = p + 1; i < q - 1; ++i)
                    if (st.depth.at(i) == dd + 1 && orOrBetween(t.at(i)))
                        return;
                qsizetype start = p + 1;
                for (qsizetype i = p + 1; i < q; ++i)
                    if (i == q - 1 || (st.depth.at(i) == dd + 1 && isWord(t.at(i), "AND"))) {
                        if (i > start)
                            conjunct(start, i, dd + 1, leftOwner);
                        start = i + 1;
                    }
                return;
            }
            qsizetype eq = -1;
            for (qsizetype i = p; i < q; ++i)
                if (st.depth.at(i) == dd && (isPunct(t.at(i), "=") || isPunct(t.at(i), "=="))) {
                    if (eq >= 0)
                        return;
                    eq = i;
                }
            if (eq < 0)
                return;
            auto restrict = [&](const QString &table, const QString &column, const QString &literal) {
                if (leftOwner.isEmpty() || leftOwner == table)
                    out.push_back({table, column, literal});
            };
            QString t1, c1, t2, c2;
            const bool left = resolve(p, eq, t1, c1);
            const bool right = resolve(eq + 1, q, t2, c2);
            if (left && isLiteral(eq + 1, q))
                restrict(t1, c1, t.at(eq + 1).text);
            else if (right && isLiteral(p, eq))
                restrict(t2, c2, t.at(p).text);
            else if (left && right && t1 != t2)
                edges.push_back({t1, c1, t2, c2, leftOwner});
        };

        // The conjuncts of the WHERE and of each ON, at the select's own level.
        bool inCondition = false;
        QString owner;
        qsizetype start = -1;
        for (qsizetype i = from + 1; i <= b; ++i) {
            if (i < b && st.depth.at(i) != d)
                continue;
            const bool boundary = i == b || endsConjunct(t.at(i));
            if (boundary && start >= 0) {
                if (i > start)
                    conjunct(start, i, d, owner);
                start = -1;
            }
            if (i == b)
                break;
            if (isWord(t.at(i), "WHERE")) {
                inCondition = true;
                owner.clear();
                start = i + 1;
            } else if (isWord(t.at(i), "ON")) {
                // The table this ON joins: the last one named before it in this select.
                const NamedTable *joined = nullptr;
                QString joinedName;
                for (auto it = named.constBegin(); it != named.constEnd(); ++it)
                    if (it->scope == scope && it->at < i && (!joined || it->at > joined->at)) {
                        joined = &*it;
                        joinedName = it.key();
                    }
                if (!joined)
                    return {};  // a table the working set does not keep: nothing is known
                owner = joined->leftJoined ? joinedName : QString();
                inCondition = true;
                start = i + 1;
            } else if (isWord(t.at(i), "AND") && inCondition) {
                start = i + 1;
            } else if (boundary) {
                inCondition = false;
            }
        }
    }

    // Equal text columns of the same collation carry a quoted literal from one table to the other.
    auto has = [&](const QString &table, const QString &column, const QString &literal) {
        for (const Restriction &r : std::as_const(out))
            if (r.table == table && r.column == column && r.literal == literal)
                return true;
        return false;
    };
    for (bool grew = true; grew;) {
        grew = false;
        for (const Edge &e : std::as_const(edges)) {
            const QString c1 = shapes.value(e.t1)->textCollation.value(e.c1);
            const QString c2 = shapes.value(e.t2)->textCollation.value(e.c2);
            if (c1.isEmpty() || c1 != c2)
                continue;
            for (int way = 0; way < 2; ++way) {
                const QString &ft = way ? e.t2 : e.t1, &fc = way ? e.c2 : e.c1;
                const QString &tt = way ? e.t1 : e.t2, &tc = way ? e.c1 : e.c2;
                if (!e.onlyInto.isEmpty() && e.onlyInto != tt)
                    continue;
                const QList<Restriction> known = out;
                for (const Restriction &r : known)
                    if (r.table == ft && r.column == fc && r.literal.startsWith(QLatin1Char('\''))
                        && !has(tt, tc, r.literal)) {
                        out.push_back({tt, tc, r.literal});
                        grew = true;
                    }
            }
        }
    }
    return out;
}

// The columns of a local table, quoted and joined by commas, in their order.
QString quotedColumns(MemorySqliteBackend *db, const QString &table)
{
    ResultSet info;
    QString error;
    QStringList out;
    if (db->query(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)), info, error))
        for (const QVariantList &col : info.rows)
            out << quoted(col.value(1).toString());
    return out.join(QLatin1Char(','));
}

}  // namespace

struct WorkingSet::Local {
    struct Table {
        QString name;           // as the source's schema writes it
        QStringList keys;       // upper-cased key columns; empty: the table comes whole
        TableShape shape;
        bool whole = false;     // every row is held
        QSet<QString> held;     // key column + '\n' + literal, for the keys fetched
        QString ddl;            // its CREATE TABLE statement
        bool indexed = false;   // the source has an index on it (its own or a constraint's)
        // Copies of the rows held, each with one index over a set of columns (joined by '\n'),
        // rebuilt when the rows held change.
        QHash<QString, QString> copies;
        qsizetype rowsFetched = 0;  // since the rows held were last emptied
    };
    std::unique_ptr<MemorySqliteBackend> db;
    bool usable = false;
    std::unique_ptr<SqlServerRows> server;  // an SQL Server entity's rows (then db is unused)
    QHash<QString, Table> tables;  // upper-cased name
    int copiesMade = 0;

    // The rows held of `t` changed: its indexed copies are out of date.
    void changed(Table &t)
    {
        QString error;
        for (const QString &copy : std::as_const(t.copies))
            if (!db->execute(QStringLiteral("DROP TABLE ") + quoted(copy), error))
                usable = false;
        t.copies.clear();
    }

    // Rows were added to `t` (each row's first value its rowid): its indexed copies receive them
    // too, rather than being built again from every row held.
    void added(Table &t, const QList<QVariantList> &rows)
    {
        if (t.copies.isEmpty() || rows.isEmpty())
            return;
        QStringList rowids;
        rowids.reserve(rows.size());
        for (const QVariantList &row : rows) {
            bool whole = false;
            const qlonglong rowid = row.value(0).toLongLong(&whole);
            if (!whole)
                return changed(t);
            rowids << QString::number(rowid);
        }
        const QString columns = quotedColumns(db.get(), t.name);
        const QString from = QStringLiteral(" SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                                 .arg(columns, quoted(t.name), rowids.join(QLatin1Char(',')));
        QString error;
        for (const QString &copy : std::as_const(t.copies))
            if (!db->execute(QStringLiteral("INSERT OR REPLACE INTO %1 (rowid, %2)").arg(quoted(copy), columns) + from,
                             error))
                return changed(t);
    }
};

WorkingSet::WorkingSet(Send send) : m_send(std::move(send)) {}

WorkingSet::~WorkingSet() = default;

QStringList WorkingSet::keysAhead(const QString &table, const QString &column) const
{
    QStringList literals;
    for (const ReadAhead &r : kReadAhead) {
        if (table != QLatin1String(r.table) || column != QLatin1String(r.key))
            continue;
        const auto other = m_locals.constFind(QLatin1String(r.fromEntity));
        if (other == m_locals.constEnd() || !(*other)->usable || !(*other)->db)
            continue;
        ResultSet rows;
        QString error;
        if (!(*other)->db->query(QLatin1String(r.query), rows, error))
            continue;  // not held there, or not in that shape: each key is fetched when asked
        for (const QVariantList &row : std::as_const(rows.rows))
            if (!row.value(0).isNull())
                literals << r.literalOf(row.value(0));
    }
    return literals;
}

WorkingSet::Local *WorkingSet::local(Connection &c, QString &error, bool &refused)
{
    refused = false;
    if (const auto it = m_locals.constFind(c.entity()); it != m_locals.constEnd())
        return it->get();
    auto l = std::make_shared<Local>();
    if (c.backend().sourceEngine() == SourceEngine::Sqlite) {
        ResultSet schema;
        ++m_sent;
        if (!m_send(c, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                      "ORDER BY type DESC, rowid"),
                    schema, error)) {
            refused = true;
            return nullptr;
        }
        static std::atomic<int> counter{0};
        l->db = std::make_unique<MemorySqliteBackend>(
            QStringLiteral("ws-%1-%2").arg(c.entity()).arg(++counter));
        QString localError;
        bool ok = l->db->open(localError);
        for (const QVariantList &row : schema.rows) {
            const QString type = row.value(0).toString();
            const QString name = row.value(1).toString();
            const QString table = row.value(2).toString().toUpper();
            const QString sql = row.value(3).toString();
            if (name.startsWith(QLatin1String("sqlite_stat"), Qt::CaseInsensitive))
                ok = false;  // planner statistics: the local plans could differ
            if (type == QLatin1String("trigger"))
                ok = false;  // a write would change more than the rows it names
            if (!ok)
                break;
            if (row.value(3).isNull()) {
                // An index a constraint made (it comes back with its CREATE TABLE), or a table
                // of the engine's own.
                if (type == QLatin1String("index") && l->tables.contains(table))
                    l->tables[table].indexed = true;
                continue;
            }
            if (type == QLatin1String("table")) {
                const TableRule *rule = ruleFor(table);
                if (!rule || sql.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive))
                    continue;
                ResultSet ignored, info;
                if (!l->db->execute(sql, localError)
                    || !l->db->query(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(name)), info,
                                     localError)) {
                    ok = false;
                    break;
                }
                Local::Table t;
                t.name = name;
                t.ddl = sql;
                for (const char *k : rule->keys)
                    t.keys << QString::fromLatin1(k);
                for (const QVariantList &col : info.rows)
                    t.shape.columns.insert(col.value(1).toString().toUpper());
                t.shape.textCollation = textColumns(sql);
                l->tables.insert(table, t);
            } else if (type == QLatin1String("index") && l->tables.contains(table)) {
                // The same indexes give the same plans, and so the same order where none is asked.
                l->tables[table].indexed = true;
                if (!l->db->execute(sql, localError)) {
                    ok = false;
                    break;
                }
            }
        }
        l->usable = ok;
    } else if (c.backend().sourceEngine() == SourceEngine::SqlServer) {
        QHash<QString, QStringList> tables;
        for (const TableRule &r : kTables) {
            QStringList &keys = tables[QString::fromLatin1(r.table)];
            for (const char *k : r.keys)
                keys << QString::fromLatin1(k);
        }
        l->server = std::make_unique<SqlServerRows>(std::move(tables), m_send, m_sent);
    }
    Local *raw = l.get();
    m_locals.insert(c.entity(), std::move(l));
    return raw;
}

namespace {
QString throughIndexedCopy(WorkingSet::Local &l, const QString &sql, const QList<SqlToken> &t,
                           const QMap<QString, NamedTable> &named, const QList<Restriction> &restrictions);
}  // namespace

WorkingSet::Outcome WorkingSet::answer(Connection &c, const QString &sql, ResultSet &out, QString &error)
{
    const auto tokens = TsqlRewriter::significantTokens(sql);
    if (!tokens || tokens->isEmpty() || !isWord(tokens->first(), "SELECT"))
        return Outcome::ToDatabase;
    const QList<SqlToken> &t = *tokens;
    const qsizetype n = t.size();
    bool namesKeptTable = false;
    for (const SqlToken &tok : t) {
        if (refusedWord(tok) || tok.kind == SqlToken::Param || isPunct(tok, ";"))
            return Outcome::ToDatabase;
        if (!namesKeptTable && isName(tok) && ruleFor(nameOf(tok)))
            namesKeptTable = true;
    }
    if (!namesKeptTable)
        return Outcome::ToDatabase;

    bool refused = false;
    Local *l = local(c, error, refused);
    if (refused)
        return Outcome::Refused;
    if (l->server) {
        switch (l->server->answer(c, sql, t, out, error)) {
        case SqlServerRows::Outcome::Answered:
            return Outcome::Answered;
        case SqlServerRows::Outcome::Refused:
            return Outcome::Refused;
        case SqlServerRows::Outcome::ToDatabase:
            return Outcome::ToDatabase;
        }
    }
    if (!l->usable)
        return Outcome::ToDatabase;

    const Statement st(t);
    if (!st.ok)
        return Outcome::ToDatabase;

    // The tables the statement names (each once, never qualified by a database), and where.
    QMap<QString, NamedTable> named;
    for (qsizetype i = 0; i < n; ++i) {
        if (!isName(t.at(i)))
            continue;
        const QString name = nameOf(t.at(i));
        if (!l->tables.contains(name))
            continue;
        if (i + 1 < n && isPunct(t.at(i + 1), "."))
            continue;  // a qualifier: table.column
        if (i == 0 || !(isWord(t.at(i - 1), "FROM") || isWord(t.at(i - 1), "JOIN") || isPunct(t.at(i - 1), ",")))
            return Outcome::ToDatabase;  // database.table, or a column or alias named like a table
        if (named.contains(name)) {
            if (l->tables.value(name).keys.isEmpty())
                continue;  // a code table held whole may be read any number of times
            return Outcome::ToDatabase;
        }
        NamedTable nt;
        nt.at = i;
        nt.scope = st.parent.at(i);
        nt.qualifiers.insert(name);
        if (i + 2 < n && isWord(t.at(i + 1), "AS") && isName(t.at(i + 2)))
            nt.qualifiers.insert(nameOf(t.at(i + 2)));
        else if (i + 1 < n && isName(t.at(i + 1)) && !clauseWord(t.at(i + 1)))
            nt.qualifiers.insert(nameOf(t.at(i + 1)));
        nt.leftJoined = i >= 2 && isWord(t.at(i - 1), "JOIN")
                        && (isWord(t.at(i - 2), "LEFT") || isWord(t.at(i - 2), "OUTER"));
        named.insert(name, nt);
    }

    // What the statement's conjuncts say about the rows each table contributes.
    QHash<QString, const TableShape *> shapes;
    for (auto it = named.constBegin(); it != named.constEnd(); ++it)
        shapes.insert(it.key(), &l->tables[it.key()].shape);
    const QList<Restriction> restrictions = restrictionsOf(st, named, shapes);
    QList<KeyUse> uses;
    for (auto it = named.constBegin(); it != named.constEnd(); ++it) {
        const Local::Table &table = l->tables[it.key()];
        if (table.keys.isEmpty())
            continue;
        const Restriction *chosen = nullptr;
        for (const QString &key : table.keys)
            for (const Restriction &r : restrictions)
                if (!chosen && r.table == it.key() && r.column == key)
                    chosen = &r;
        if (!chosen)
            return Outcome::ToDatabase;
        uses.push_back({chosen->table, chosen->column, chosen->literal});
    }

    // Fetch what is not held yet: the code tables whole, the others for their key.
    auto fetch = [&](Local::Table &table, const QString &where) {
        ResultSet rows;
        ++m_sent;
        if (!m_send(c, QStringLiteral("SELECT rowid, * FROM ") + quoted(table.name) + where, rows, error))
            return false;
        QStringList columns = rows.columns;
        if (!columns.isEmpty())
            columns[0] = QStringLiteral("rowid");
        QString localError;
        table.rowsFetched += rows.rows.size();
        if (!l->db->insertRows(table.name, columns, rows.rows, localError)) {
            l->usable = false;
            l->changed(table);
        } else {
            l->added(table, rows.rows);
        }
        return true;
    };
    for (auto it = named.constBegin(); it != named.constEnd(); ++it) {
        Local::Table &table = l->tables[it.key()];
        if (table.keys.isEmpty() && !table.whole) {
            if (!fetch(table, QString()))
                return Outcome::Refused;
            table.whole = true;
        }
    }
    for (const KeyUse &use : uses) {
        Local::Table &table = l->tables[use.table];
        const QString held = use.column + QLatin1Char('\n') + use.literal;
        if (table.whole || table.held.contains(held))
            continue;
        QStringList literals{use.literal};
        for (const QString &ahead : keysAhead(use.table, use.column))
            if (ahead != use.literal && !literals.contains(ahead)
                && !table.held.contains(use.column + QLatin1Char('\n') + ahead))
                literals << ahead;
        for (qsizetype first = 0; first < literals.size(); first += kKeysPerFetch) {
            const QStringList some = literals.mid(first, kKeysPerFetch);
            const QString where = some.size() == 1
                ? QString(QStringLiteral(" WHERE ") + quoted(use.column) + QStringLiteral(" = ") + some.first())
                : QString(QStringLiteral(" WHERE ") + quoted(use.column) + QStringLiteral(" IN (")
                          + some.join(QLatin1Char(',')) + QLatin1Char(')'));
            if (!fetch(table, where))
                return Outcome::Refused;
            for (const QString &literal : some)
                table.held.insert(use.column + QLatin1Char('\n') + literal);
        }
    }
    if (!l->usable)
        return Outcome::ToDatabase;

    QString localError;
    if (!l->db->query(throughIndexedCopy(*l, sql, t, named, restrictions), out, localError))
        return Outcome::ToDatabase;
    return Outcome::Answered;
}

namespace {

QString throughIndexedCopy(WorkingSet::Local &l, const QString &sql, const QList<SqlToken> &t,
                           const QMap<QString, NamedTable> &named, const QList<Restriction> &restrictions)
{
    using Local = WorkingSet::Local;
    // A table the source keeps without any index is read by a full scan, in rowid order. A copy of
    // the rows held with one index over exactly the columns the statement compares with literals
    // gives the same rows in the same order (the index's equal entries follow each other by
    // rowid), without the scan; the statement must read that table alone, with no subquery and
    // no grouping or DISTINCT, whose plans could change with an index.
    if (named.size() != 1)
        return sql;
    const QString tableName = named.constBegin().key();
    const NamedTable &use = *named.constBegin();
    Local::Table &table = l.tables[tableName];
    // A few rows are scanned faster than a copy is built (three statements), and a table that is
    // written to would have its copy built again after each write.
    constexpr qsizetype kRowsWorthACopy = 200;
    if (table.indexed || table.keys.isEmpty() || use.scope != -1 || table.rowsFetched < kRowsWorthACopy)
        return sql;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (isWord(t.at(i), "GROUP") || isWord(t.at(i), "DISTINCT") || (isWord(t.at(i), "SELECT") && i > 0))
            return sql;
    QStringList columns;
    for (const Restriction &r : restrictions)
        if (r.table == tableName && !columns.contains(r.column))
            columns << r.column;
    if (columns.isEmpty())
        return sql;
    columns.sort();
    const QString key = columns.join(QLatin1Char('\n'));
    QString copy = table.copies.value(key);
    if (copy.isEmpty()) {
        // The same CREATE TABLE under another name, the same rows with the same rowids.
        const auto ddl = TsqlRewriter::significantTokens(table.ddl);
        qsizetype nameAt = -1;
        if (ddl)
            for (qsizetype i = 0; i < ddl->size() && nameAt < 0; ++i)
                if (isName(ddl->at(i)) && nameOf(ddl->at(i)) == tableName && i > 0 && !isPunct(ddl->at(i - 1), ".")
                    && !(i + 1 < ddl->size() && isPunct(ddl->at(i + 1), ".")))
                    nameAt = i;
        if (nameAt < 0)
            return sql;
        copy = QStringLiteral("b2d_working_set_%1").arg(++l.copiesMade);
        const SqlToken &n = ddl->at(nameAt);
        QStringList indexed;
        for (const QString &c : std::as_const(columns))
            indexed << quoted(c);
        QString error;
        if (!l.db->execute(table.ddl.left(n.pos) + quoted(copy) + table.ddl.mid(n.pos + n.text.size()), error))
            return sql;
        table.copies.insert(key, copy);
        if (!l.db->execute(QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3")
                               .arg(quoted(copy), quotedColumns(l.db.get(), table.name), quoted(table.name)),
                           error)
            || !l.db->execute(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                                  .arg(quoted(copy + QStringLiteral("_index")), quoted(copy),
                                       indexed.join(QLatin1Char(','))),
                              error)) {
            l.changed(table);
            return sql;
        }
    }
    // The statement reads the copy under the table's own name.
    const SqlToken &at = t.at(use.at);
    const bool aliased = use.qualifiers.size() > 1;
    return sql.left(at.pos) + quoted(copy) + (aliased ? QString() : QStringLiteral(" AS ") + at.text)
           + sql.mid(at.pos + at.text.size());
}

}  // namespace

bool WorkingSet::appliesLocally(const QString &sql, QString &table) const
{
    // UPDATE table SET ... [WHERE ...] or DELETE FROM table [WHERE ...]: each row's fate decided by
    // the row alone (no subquery, no function, no other table), no key column assigned.
    const auto tokens = TsqlRewriter::significantTokens(sql);
    if (!tokens || tokens->size() < 3)
        return false;
    const QList<SqlToken> &t = *tokens;
    qsizetype at = 0;
    if (isWord(t.at(0), "UPDATE"))
        at = 1;
    else if (isWord(t.at(0), "DELETE") && isWord(t.at(1), "FROM"))
        at = 2;
    else
        return false;
    if (!isName(t.at(at)) || (at + 1 < t.size() && isPunct(t.at(at + 1), ".")))
        return false;
    table = nameOf(t.at(at));
    const TableRule *rule = ruleFor(table);
    if (!rule)
        return false;
    for (qsizetype i = at + 1; i < t.size(); ++i) {
        const SqlToken &tok = t.at(i);
        if (refusedWord(tok) || isWord(tok, "SELECT") || isWord(tok, "FROM") || isWord(tok, "LIMIT")
            || tok.kind == SqlToken::Param || isPunct(tok, ";"))
            return false;
        if (isPunct(tok, "(") && !(i > 0 && isWord(t.at(i - 1), "IN")))
            return false;
        // An assigned column: after SET or a comma, before '='.
        if (at == 1 && isName(tok) && i + 1 < t.size() && isPunct(t.at(i + 1), "=")
            && (isWord(t.at(i - 1), "SET") || isPunct(t.at(i - 1), ","))) {
            for (const char *key : rule->keys)
                if (nameOf(tok) == QLatin1String(key))
                    return false;
        }
    }
    return true;
}

void WorkingSet::written(const QString &entity, const QString &sql, bool accepted)
{
    QString applied;
    const bool apply = accepted && appliesLocally(sql, applied);
    const QString table = DataAccess::writtenTable(sql);
    for (auto l = m_locals.constBegin(); l != m_locals.constEnd(); ++l) {
        Local &local = **l;
        if (local.server)
            local.server->written(table);
        if (!local.usable)
            continue;
        for (auto it = local.tables.begin(); it != local.tables.end(); ++it) {
            if (!table.isEmpty() && it.key() != table)
                continue;
            QString error;
            local.changed(*it);
            // The same write on the rows held gives them as the database now has them.
            if (apply && l.key() == entity && it.key() == applied && local.db->execute(sql, error))
                continue;
            if (!local.db->execute(QStringLiteral("DELETE FROM ") + quoted(it->name), error))
                local.usable = false;
            it->whole = false;
            it->held.clear();
            it->rowsFetched = 0;
        }
    }
}

}  // namespace b2d
