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
// - Only the tables of kTables. A keyed table is fetched per key value: a statement names it, once,
//   with a conjunct `key = literal` (the key column bare or qualified by the table or its alias;
//   the literal quoted or a number) directly under the WHERE or an inner join's ON of the select
//   that reads it, followed by the end of that select or AND, ORDER, GROUP, LIMIT, WHERE or a
//   join. The working set then sends `SELECT rowid, * FROM table WHERE key = literal` once and
//   keeps the rows: the source itself decides which rows equal the literal, and the local
//   statement compares with the same column's collation and affinity, so a key written in another
//   case or with trailing blanks matches there exactly when it matches in the source. Rows fetched
//   under two keys are kept once (by rowid). A code table comes whole, once.
// - Only reads: SELECT statements without OR, UNION/EXCEPT/INTERSECT, outer or natural joins,
//   BETWEEN, HAVING, WITH, parameters, several statements, or functions whose answer depends on
//   the connection (changes, last_insert_rowid, random). Every table such a statement names must be
//   held (a table of another entity, qualified, or one the working set does not keep makes the
//   statement go to the database), and the local engine must run it; anything else goes to the
//   database as it is.
// - A write is sent to the database first; once the database accepts it, everything held of the
//   written table is dropped in every entity (everything at all when the table cannot be told),
//   and the next read fetches the rows again as the database now has them.
// - A read the working set sends that the database refuses is the refusal of the statement that
//   needed it: the generation ends as for any refused statement.

#include "data/WorkingSet.h"

#include "data/SqlBackends.h"
#include "data/TsqlRewriter.h"

#include <QSet>
#include <atomic>

namespace b2d {

namespace {

// The tables the working set keeps, with the columns that key them (none: the table comes whole).
struct TableRule {
    const char *table;
    std::initializer_list<const char *> keys;
};

const TableRule kTables[] = {
    // HISTORIAL: the declaration's rows, by its number.
    {"CARATULA_CARATULA", {"DESPACHO", "IDENTIFICADOR_PROPIO"}},
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

const TableRule *ruleFor(const QString &upperName)
{
    for (const TableRule &r : kTables)
        if (upperName == QLatin1String(r.table))
            return &r;
    return nullptr;
}

bool isWord(const SqlToken &t, const char *word)
{
    return t.kind == SqlToken::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
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
    return s.toUpper();
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Words that make a statement one the working set does not answer.
bool refusedWord(const SqlToken &t)
{
    static const QSet<QString> words = {
        QStringLiteral("OR"),        QStringLiteral("UNION"),      QStringLiteral("EXCEPT"),
        QStringLiteral("INTERSECT"), QStringLiteral("LEFT"),       QStringLiteral("RIGHT"),
        QStringLiteral("FULL"),      QStringLiteral("OUTER"),      QStringLiteral("NATURAL"),
        QStringLiteral("BETWEEN"),   QStringLiteral("HAVING"),     QStringLiteral("WITH"),
        QStringLiteral("INTO"),      QStringLiteral("CHANGES"),    QStringLiteral("TOTAL_CHANGES"),
        QStringLiteral("LAST_INSERT_ROWID"), QStringLiteral("RANDOM"), QStringLiteral("RANDOMBLOB"),
    };
    return t.kind == SqlToken::Word
        && (words.contains(t.text.toUpper()) || t.text.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive));
}

// Words that end a table reference rather than give it an alias.
bool clauseWord(const SqlToken &t)
{
    static const QSet<QString> words = {
        QStringLiteral("WHERE"), QStringLiteral("JOIN"),  QStringLiteral("INNER"),
        QStringLiteral("CROSS"), QStringLiteral("ON"),    QStringLiteral("USING"),
        QStringLiteral("ORDER"), QStringLiteral("GROUP"), QStringLiteral("LIMIT"),
        QStringLiteral("AND"),   QStringLiteral("NOT"),   QStringLiteral("INDEXED"),
        QStringLiteral("WINDOW"),
    };
    return t.kind == SqlToken::Word && words.contains(t.text.toUpper());
}

// What may follow a key conjunct: the end of its select, or the start of another conjunct or
// clause.
bool endsConjunct(const SqlToken &t)
{
    return isWord(t, "AND") || isWord(t, "ORDER") || isWord(t, "GROUP") || isWord(t, "LIMIT")
        || isWord(t, "WHERE") || isWord(t, "JOIN") || isWord(t, "INNER") || isWord(t, "CROSS");
}

struct KeyUse {
    QString table;    // upper-cased
    QString column;   // upper-cased
    QString literal;  // as written
};

}  // namespace

struct WorkingSet::Local {
    struct Table {
        QString name;           // as the source's schema writes it
        QStringList keys;       // upper-cased key columns; empty: the table comes whole
        QSet<QString> columns;  // upper-cased
        bool whole = false;     // every row is held
        QSet<QString> held;     // key column + '\n' + literal, for the keys fetched
    };
    std::unique_ptr<MemorySqliteBackend> db;
    bool usable = false;
    QHash<QString, Table> tables;  // upper-cased name
};

WorkingSet::WorkingSet(Send send) : m_send(std::move(send)) {}

WorkingSet::~WorkingSet() = default;

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
                                      "WHERE sql IS NOT NULL ORDER BY type DESC, rowid"),
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
            if (!ok)
                break;
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
                for (const char *k : rule->keys)
                    t.keys << QString::fromLatin1(k);
                for (const QVariantList &col : info.rows)
                    t.columns.insert(col.value(1).toString().toUpper());
                l->tables.insert(table, t);
            } else if (type == QLatin1String("index") && l->tables.contains(table)) {
                // The same indexes give the same plans, and so the same order where none is asked.
                if (!l->db->execute(sql, localError)) {
                    ok = false;
                    break;
                }
            }
        }
        l->usable = ok;
    }
    Local *raw = l.get();
    m_locals.insert(c.entity(), std::move(l));
    return raw;
}

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
        if (isName(tok) && ruleFor(nameOf(tok)))
            namesKeptTable = true;
    }
    if (!namesKeptTable)
        return Outcome::ToDatabase;

    bool refused = false;
    Local *l = local(c, error, refused);
    if (refused)
        return Outcome::Refused;
    if (!l->usable)
        return Outcome::ToDatabase;

    // Parenthesis depth of every token, and where each depth's group closes.
    QList<int> depth(n);
    QList<qsizetype> closing(n, n);  // for a '(' the index of its ')'
    {
        QList<qsizetype> open;
        int d = 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (isPunct(t.at(i), "(")) {
                depth[i] = d++;
                open.push_back(i);
            } else if (isPunct(t.at(i), ")")) {
                if (open.isEmpty())
                    return Outcome::ToDatabase;
                depth[i] = --d;
                closing[open.takeLast()] = i;
            } else {
                depth[i] = d;
            }
        }
        if (!open.isEmpty())
            return Outcome::ToDatabase;
    }

    // The tables the statement names (each once, never qualified by a database), and where.
    QHash<QString, qsizetype> named;
    for (qsizetype i = 0; i < n; ++i) {
        if (!isName(t.at(i)))
            continue;
        const QString name = nameOf(t.at(i));
        if (!l->tables.contains(name))
            continue;
        if (i + 1 < n && isPunct(t.at(i + 1), "."))
            continue;  // a qualifier: table.column
        if (i > 0 && isPunct(t.at(i - 1), "."))
            return Outcome::ToDatabase;  // database.table or alias.column named like a table
        if (named.contains(name))
            return Outcome::ToDatabase;
        named.insert(name, i);
    }

    QList<KeyUse> uses;
    for (auto it = named.constBegin(); it != named.constEnd(); ++it) {
        const Local::Table &table = l->tables[it.key()];
        if (table.keys.isEmpty())
            continue;
        const qsizetype at = it.value();
        const int d = depth.at(at);
        // The select that reads the table: up to the ')' that closes its depth.
        qsizetype end = n;
        for (qsizetype i = at; i >= 0; --i)
            if (isPunct(t.at(i), "(") && depth.at(i) < d) {
                end = closing.at(i);
                break;
            }
        QSet<QString> qualifiers{it.key()};
        if (at + 2 < end && isWord(t.at(at + 1), "AS") && isName(t.at(at + 2)))
            qualifiers.insert(nameOf(t.at(at + 2)));
        else if (at + 1 < end && isName(t.at(at + 1)) && !clauseWord(t.at(at + 1)))
            qualifiers.insert(nameOf(t.at(at + 1)));
        bool found = false;
        for (qsizetype k = at + 1; k < end && !found; ++k) {
            if (depth.at(k) != d || !(isWord(t.at(k), "WHERE") || isWord(t.at(k), "AND")
                                      || isWord(t.at(k), "ON")))
                continue;
            qsizetype p = k + 1;
            QString qualifier, column;
            if (p + 2 < end && isName(t.at(p)) && isPunct(t.at(p + 1), ".") && isName(t.at(p + 2))) {
                qualifier = nameOf(t.at(p));
                column = nameOf(t.at(p + 2));
                p += 3;
            } else if (p < end && isName(t.at(p))) {
                column = nameOf(t.at(p));
                p += 1;
            } else {
                continue;
            }
            if (p + 1 >= end || !(isPunct(t.at(p), "=") || isPunct(t.at(p), "=="))
                || !(t.at(p + 1).kind == SqlToken::String || t.at(p + 1).kind == SqlToken::Number))
                continue;
            if (p + 2 < end && !endsConjunct(t.at(p + 2)))
                continue;
            if (!table.keys.contains(column))
                continue;
            if (qualifier.isEmpty()) {
                // A bare column must be this table's alone among the tables named.
                bool elsewhere = false;
                for (auto other = named.constBegin(); other != named.constEnd(); ++other)
                    if (other.key() != it.key() && l->tables[other.key()].columns.contains(column))
                        elsewhere = true;
                if (elsewhere)
                    continue;
            } else if (!qualifiers.contains(qualifier)) {
                continue;
            }
            uses.push_back({it.key(), column, t.at(p + 1).text});
            found = true;
        }
        if (!found)
            return Outcome::ToDatabase;
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
        if (!l->db->insertRows(table.name, columns, rows.rows, localError))
            l->usable = false;
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
        if (!fetch(table, QStringLiteral(" WHERE ") + quoted(use.column) + QStringLiteral(" = ") + use.literal))
            return Outcome::Refused;
        table.held.insert(held);
    }
    if (!l->usable)
        return Outcome::ToDatabase;

    QString localError;
    if (!l->db->query(sql, out, localError))
        return Outcome::ToDatabase;
    return Outcome::Answered;
}

void WorkingSet::written(const QString &table)
{
    for (const auto &l : std::as_const(m_locals)) {
        if (!l->usable)
            continue;
        for (auto it = l->tables.begin(); it != l->tables.end(); ++it) {
            if (!table.isEmpty() && it.key() != table)
                continue;
            QString error;
            if (!l->db->execute(QStringLiteral("DELETE FROM ") + quoted(it->name), error))
                l->usable = false;
            it->whole = false;
            it->held.clear();
        }
    }
}

}  // namespace b2d
