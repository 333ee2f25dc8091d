#pragma once

#include "data/DataAccess.h"

#include <QList>
#include <QString>
#include <memory>

namespace b2d {

struct ProcedureCall;
struct PreparedReads;

// A backend over one Qt SQL connection. Each instance registers its own uniquely named
// QSqlDatabase connection, so several data access objects can live in one process.
//
// With `rewriteTsql` on, statements go through TsqlRewriter first and `exec NAME args` runs the
// procedure held in the database's table b2d_procedures(name, body): the body is one statement
// whose parameters ?1, ?2, ... receive the call's arguments (missing ones are null; more
// arguments than parameters is an error naming the procedure). With it off, statements reach the
// database exactly as written (SQL Server speaks the system's T-SQL itself).
class SqlDatabaseBackend : public Backend {
public:
    ~SqlDatabaseBackend() override;
    SqlDatabaseBackend(const SqlDatabaseBackend &) = delete;
    SqlDatabaseBackend &operator=(const SqlDatabaseBackend &) = delete;

    bool query(const QString &sql, ResultSet &out, QString &error) override;
    bool execute(const QString &sql, QString &error) override;
    int rowsAffected() const override { return m_rowsAffected; }
    bool connectionLost() const override { return m_lost; }

    bool rewritesTsql() const { return m_rewrite; }
    const QString &connectionName() const { return m_connectionName; }

protected:
    SqlDatabaseBackend(const QString &qtDriver, const QString &entity, bool rewriteTsql);
    // Reads go to the SQLite engine under Qt's driver directly, their values as the driver would
    // give them.
    bool m_readsDirect = false;
    // With reads direct, the statements compiled for them (see readDirectly).
    std::unique_ptr<PreparedReads> m_prepared;

private:
    bool run(const QString &sql, ResultSet *out, QString &error);
    bool runProcedure(const ProcedureCall &call, ResultSet *out, QString &error);

    QString m_connectionName;
    bool m_rewrite;
    int m_rowsAffected = -1;
    bool m_lost = false;
};

// An entity on its own SQLite file (QSQLITE). The file is opened read-write and never created;
// every other SQLite entity of the same configuration is attached under its entity name, so that
// `HISTORIAL.CARATULA_CARATULA` reads from the HISTORIAL file on any connection.
class SqliteBackend final : public SqlDatabaseBackend {
public:
    SourceEngine sourceEngine() const override { return SourceEngine::Sqlite; }
    struct Attachment {
        QString entity;
        QString path;
    };

    SqliteBackend(const QString &entity, const QString &path);
    // False with `error` set when the file cannot be opened as a database or an attachment fails.
    bool open(const QList<Attachment> &attachments, QString &error);

private:
    QString m_path;
};

// A private SQLite database in memory that a working set answers from: the same engine, the
// same T-SQL adaptation and the same values as the sqlite driver, with nothing on disk.
class MemorySqliteBackend final : public SqlDatabaseBackend {
public:
    explicit MemorySqliteBackend(const QString &name);
    bool open(QString &error);
    // Adds rows to `table`: `columns[i]` receives `row[i]`, each value bound as it is (null,
    // integer, real, text), in one transaction. False with `error` set when a row is refused.
    bool insertRows(const QString &table, const QStringList &columns, const QList<QVariantList> &rows,
                    QString &error);
};

// One attribute of an ODBC connection string: KEY=value, or KEY={value} where the braces let the
// value hold ';' (and "}}" stands for '}').
struct OdbcAttribute {
    QString key;    // as written
    QString value;  // braces removed
    bool braced = false;
    bool hasValue = true;  // false for a piece without '='
};
QList<OdbcAttribute> odbcAttributes(const QString &connection);
// The connection string fit for a message or a log: the value of every PWD= and Password= (any
// case, braced or not) replaced by ***.
QString withoutPassword(const QString &connection);
// `text` with every password value of `connection` replaced by *** (a driver message that
// echoes the string).
QString withoutPasswordValues(const QString &text, const QString &connection);

// An entity behind an ODBC data source (QODBC). The connection string is handed to the driver
// manager as written: `DRIVER={...};SERVER=...;...`, `DSN=name;...` or `FILEDSN=file.dsn`.
class OdbcBackend final : public SqlDatabaseBackend {
public:
    OdbcBackend(const QString &entity, const QString &connection, bool rewriteTsql);
    bool open(QString &error);
    // SqlServer once open on a data source whose DBMS is Microsoft SQL Server; Other for any other.
    SourceEngine sourceEngine() const override { return m_engine; }

private:
    QString m_connection;
    SourceEngine m_engine = SourceEngine::Other;
};

}  // namespace b2d
