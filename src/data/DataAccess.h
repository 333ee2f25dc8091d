#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QSet>
#include <functional>
#include <memory>

namespace b2d {

// The rows of one result, copied out of the database (a static, client-side recordset).
struct ResultSet {
    QStringList columns;
    QList<QVariantList> rows;
};

// What callers of `crearrs` read: a static recordset over a ResultSet. Values are QVariant:
// null, integer, real, text or date-time.
class Recordset {
public:
    Recordset() = default;
    explicit Recordset(ResultSet data) { open(std::move(data)); }

    void open(ResultSet data);
    void Close();
    bool isOpen() const { return m_open; }

    int RecordCount() const { return m_open ? int(m_data.rows.size()) : 0; }
    bool EOF_() const { return !m_open || m_pos >= m_data.rows.size(); }
    bool BOF() const { return !m_open || m_pos < 0; }
    void MoveFirst() { m_pos = 0; }
    void MoveLast() { m_pos = m_data.rows.isEmpty() ? 0 : m_data.rows.size() - 1; }
    void MoveNext() { ++m_pos; }
    // 1-based position of the current row, as recordsets number them.
    int AbsolutePosition() const { return int(m_pos) + 1; }
    void setAbsolutePosition(int position) { m_pos = position - 1; }

    // Field of the current row by case-insensitive column name; throws B2DError for an unknown
    // column or when there is no current row.
    QVariant field(const QString &name) const;
    // Field of the current row by position.
    QVariant field(int index) const;
    bool hasField(const QString &name) const;
    int fieldCount() const { return int(m_data.columns.size()); }
    QString fieldName(int index) const { return m_data.columns.value(index); }

    const ResultSet &data() const { return m_data; }

private:
    QHash<QString, int>::const_iterator findColumn(const QString &name) const;

    ResultSet m_data;
    QHash<QString, int> m_index;  // upper-cased name -> position
    qsizetype m_pos = 0;
    bool m_open = false;
};

// The engine behind a backend, as far as a working set needs to know it: a working set answers
// only for a database whose answers it can give exactly (SQL Server: a data source whose DBMS the
// ODBC driver names as Microsoft SQL Server).
enum class SourceEngine { Other, Sqlite, SqlServer };

// One backend connection to one entity's database (SQLite, ODBC, or a test fake).
class Backend {
public:
    virtual SourceEngine sourceEngine() const { return SourceEngine::Other; }
    virtual ~Backend() = default;
    // Runs a statement that returns rows. False with `error` set when it failed.
    virtual bool query(const QString &sql, ResultSet &out, QString &error) = 0;
    // Runs an Update / Insert / Delete. False with `error` set when it failed.
    virtual bool execute(const QString &sql, QString &error) = 0;
    // The rows the last successful execute changed; -1 when the database does not tell.
    virtual int rowsAffected() const { return -1; }
    // True once the connection to the database was lost (a failed statement said so): the data
    // access component opens a new backend before the next statement.
    virtual bool connectionLost() const { return false; }
};

// Stands between every backend the data access components of this process open (the first of an
// entity and every one opened again after a lost connection) and the read cache above them: a
// test's fault injection. None unless set; an empty function removes it.
using BackendWrapper =
    std::function<std::unique_ptr<Backend>(const QString &entity, std::unique_ptr<Backend> backend)>;
void setBackendWrapper(BackendWrapper wrapper);

// One traced statement.
// Who answered a statement: the database (every statement sent to it, the working set's bulk
// reads included), the working set, or the read cache.
enum class Answered { Database, WorkingSet, Cache };

struct StatementTrace {
    QString entity;
    QString sql;
    int rows = 0;
    double ms = 0;
    bool cached = false;  // answered by the read cache
    bool ok = true;
    bool write = false;
    QString error;
    Answered answered = Answered::Database;
};

class DataAccess;
class WorkingSet;

// The connection object of an entity: a `sql` text that persists until set again, `crearrs`
// and `ejecutar`. The same object is handed out for the same entity name for the whole run.
class Connection final {
public:
    Connection(DataAccess &owner, QString entity, std::unique_ptr<Backend> backend);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString sql;

    // Runs `sql`; true when it ran and returned at least one row (rs is then open on them);
    // false when it returned no row or failed (rs is then closed). While a generation runs, a
    // statement the database refuses throws StatementRefused instead.
    bool crearrs(Recordset &rs);
    // Runs `sql` as a write; true when executed. While a generation runs, a refusal throws
    // StatementRefused.
    bool ejecutar();
    // The rows the last `ejecutar` changed; -1 when it failed or the database does not tell.
    int rowsAffected() const { return m_rowsAffected; }

    const QString &entity() const { return m_entity; }
    // The error description of the last failed statement, empty after a success.
    const QString &lastError() const { return m_lastError; }
    Backend &backend() { return *m_backend; }

private:
    friend class DataAccess;
    // Throws StatementRefused for a failed statement while a generation runs.
    void refuseInGeneration(bool ok, const QString &error) const;

    DataAccess &m_owner;
    QString m_entity;
    std::unique_ptr<Backend> m_backend;
    QString m_lastError;
    int m_rowsAffected = -1;
};

// The data access component: connections by entity name, a read cache per generation, and a
// trace of every statement.
class DataAccess {
public:
    using BackendFactory = std::function<std::unique_ptr<Backend>(const QString &entity)>;
    using TraceSink = std::function<void(const StatementTrace &)>;

    explicit DataAccess(BackendFactory factory);
    virtual ~DataAccess();
    DataAccess(const DataAccess &) = delete;
    DataAccess &operator=(const DataAccess &) = delete;

    // Prepares the connections (the configured entities are opened on first use).
    virtual void LoadParameters() {}

    // The connection of an entity (case-insensitive name); created on first use. Throws
    // B2DError naming the entity when it cannot be opened.
    Connection &getDataConnectionByEntity(const QString &entity);

    // The read cache: identical read statements on the same entity are answered from memory
    // while a generation runs (procedure calls never are); a write drops the cached answers of
    // the statements that name the written table, on every entity. Emptied when a generation
    // starts and when it ends.
    // While a generation runs, a statement the database refuses throws StatementRefused.
    void beginGeneration();
    void endGeneration();
    bool inGeneration() const { return m_generation; }
    bool cacheEnabled() const { return m_cacheOn; }
    // Off: every read goes to the database, for comparison (--no-read-cache).
    void setReadCacheAllowed(bool allowed) { m_cacheAllowed = allowed; }
    bool readCacheAllowed() const { return m_cacheAllowed; }
    // The working set of each generation (WorkingSet.h): on unless turned off (--no-working-set),
    // or off for one entity (its connections-file group says working_set=off).
    void setWorkingSetAllowed(bool allowed) { m_workingSetAllowed = allowed; }
    bool workingSetAllowed() const { return m_workingSetAllowed; }
    void setWorkingSetAllowedFor(const QString &entity, bool allowed);

    // The table a write names (after UPDATE, INSERT INTO or DELETE FROM; the last part of a
    // qualified or bracketed name), upper-cased; empty when the statement has none of these forms.
    static QString writtenTable(const QString &sql);
    // True for a procedure call (exec / execute), whose answer is never cached.
    static bool isProcedureCall(const QString &sql);

    // Every statement (cached or not) goes to each sink, in order.
    void addTraceSink(TraceSink sink) { m_sinks.push_back(std::move(sink)); }

    // Counts for tests and the benchmark: statements asked, and statements sent to a database
    // (the working set's reads included).
    int statementsAsked() const { return m_asked; }
    int statementsRun() const { return m_run; }
    // Backends opened again after a lost connection.
    int reconnections() const { return m_reconnections; }

private:
    friend class Connection;
    bool runQuery(Connection &c, const QString &sql, ResultSet &out, QString &error);
    bool runExecute(Connection &c, const QString &sql, QString &error);
    // Sends a read to the connection's database: counted, traced, after a reconnection if the
    // connection was lost.
    bool sendQuery(Connection &c, const QString &sql, ResultSet &out, QString &error);
    void trace(const StatementTrace &t);

    void cacheAnswer(const QString &key, const QString &sql, const ResultSet &rows);
    void dropCachedAnswersNaming(const QString &table);
    void clearCache();
    // Opens a new backend for a connection whose database connection was lost; false with
    // `error` set when it cannot be opened.
    bool reconnectIfLost(Connection &c, QString &error);
    // A backend of the factory, wrapped when a wrapper is set; null when none is configured.
    std::unique_ptr<Backend> openWrapped(const QString &entity);

    BackendFactory m_factory;
    QHash<QString, Connection *> m_connections;  // upper-cased entity -> owned connection
    QHash<QString, ResultSet> m_cache;           // entity + '\n' + sql -> rows
    // Upper-cased word of a cached statement (as a number, see wordKey) -> the cache keys of the
    // statements holding it, so that a write finds the answers to drop without reading every
    // cached statement.
    QHash<quint64, QStringList> m_cacheByWord;
    std::vector<TraceSink> m_sinks;
    bool m_cacheOn = false;
    bool m_generation = false;
    bool m_cacheAllowed = true;
    std::unique_ptr<WorkingSet> m_workingSet;  // while a generation runs
    bool m_workingSetAllowed = true;
    QSet<QString> m_noWorkingSet;  // upper-cased entities kept out of it
    int m_asked = 0;
    int m_run = 0;
    int m_reconnections = 0;
};

// The connections file (INI, one group per entity: driver=sqlite|odbc, database=, connection=;
// the reserved groups [CALDRA] and [update] are not entities). Throws B2DError naming the file
// and entity for a missing file, an unknown driver, or a SQLite database that does not exist,
// and naming the file and line for a line it cannot read, a group given twice or bytes that are
// not UTF-8. `caldraExecutable` (when given) receives the absolute path that [CALDRA]
// executable= names, or the empty text.
std::unique_ptr<DataAccess> openConnectionsFile(const QString &path, QString *caldraExecutable = nullptr);

}  // namespace b2d
