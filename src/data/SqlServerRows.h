#pragma once

#include "data/DataAccess.h"
#include "data/TsqlRewriter.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace b2d {

// The part of a generation's working set that serves one SQL Server entity: the rows of its kept
// tables as the driver handed them over, fetched once per table and key, and a narrow class of
// reads answered from them exactly. What is answered and why is told at the top of
// SqlServerRows.cpp.
class SqlServerRows {
public:
    using Send = std::function<bool(Connection &c, const QString &sql, ResultSet &out, QString &error)>;
    enum class Outcome { ToDatabase, Answered, Refused };

    // `tables`: the kept tables (upper-cased) -> their upper-cased key columns (none: the table
    // comes whole). `send` sends a read of the working set's own (counted in `sent`).
    SqlServerRows(QHash<QString, QStringList> tables, Send send, int &sent);

    // Answers `sql` (its significant tokens `t`) from the rows held, fetching what it lacks.
    Outcome answer(Connection &c, const QString &sql, const QList<SqlToken> &t, ResultSet &out,
                   QString &error);
    // A write of `table` (upper-cased; empty: a table that cannot be told) reached the database:
    // what is held of it (of everything) is dropped.
    void written(const QString &table);

    // How a column compares with a literal, as its catalog entry says.
    enum class Kind { Other, TinyInt, SmallInt, Int, BigInt, DateTime, TextCaseInsensitive, TextCaseSensitive };
    static Kind kindOf(const QString &dataType, const QString &collation);

private:
    struct Table {
        QString name;                   // as the catalog writes it
        QHash<QString, Kind> columns;   // as the catalog writes them
        bool ambiguous = false;         // the name stands in more than one schema
        QHash<QString, ResultSet> held; // key column (upper-cased) + '\n' + literal -> rows; "": whole
    };
    bool readCatalog(Connection &c, QString &error);
    // Whether two names (of tables, columns or aliases) are one for the database.
    bool sameName(const QString &a, const QString &b) const;

    QHash<QString, QStringList> m_keys;
    Send m_send;
    int &m_sent;
    bool m_catalogRead = false;
    bool m_namesIgnoreCase = false;  // the database's collation ignores case
    QHash<QString, Table> m_tables;  // upper-cased
};

}  // namespace b2d
