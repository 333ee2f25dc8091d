#pragma once

#include "data/DataAccess.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

namespace b2d {

class MemorySqliteBackend;

// The working set of one generation: the rows of the operation's tables, fetched once per key
// into a private database in memory (for SQL Server, held as the driver gives them), answering the
// reads the generation asks again and again. How a statement is recognised is told at the top of
// WorkingSet.cpp and SqlServerRows.cpp.
class WorkingSet {
public:
    // Sends a read to the connection's database as one statement of its own (counted and traced
    // as the database's answer); false with `error` set when the database refused it.
    using Send = std::function<bool(Connection &c, const QString &sql, ResultSet &out, QString &error)>;

    explicit WorkingSet(Send send);
    ~WorkingSet();
    WorkingSet(const WorkingSet &) = delete;
    WorkingSet &operator=(const WorkingSet &) = delete;

    enum class Outcome {
        ToDatabase,  // not a statement the working set answers exactly: send it as it is
        Answered,    // `out` holds the rows the database would have given
        Refused,     // a read the working set sent was refused: `error` holds the database's text
    };
    // Answers a read of `c`'s entity, fetching what it lacks first.
    Outcome answer(Connection &c, const QString &sql, ResultSet &out, QString &error);

    // After a write of `entity` reached the database: an update or delete the database
    // `accepted` whose outcome for each row depends on that row alone is applied to the rows held
    // of its table; otherwise what is held of the written table (of everything, when the table
    // cannot be told) is dropped in every entity, so that the next read fetches it as it now is.
    void written(const QString &entity, const QString &sql, bool accepted);

    // Reads sent to databases by the working set (its schema and bulk reads).
    int readsSent() const { return m_sent; }

    // The local database of one entity (WorkingSet.cpp).
    struct Local;

private:
    Local *local(Connection &c, QString &error, bool &refused);
    // The key literals of `table`'s `column` a generation will ask for next, as statements write
    // them, read from rows another entity holds (kReadAhead in WorkingSet.cpp); none when unknown.
    QStringList keysAhead(const QString &table, const QString &column) const;
    // True when `sql` is an update or delete of a kept table (`table`, upper-cased) that the
    // working set can apply to the rows it holds.
    bool appliesLocally(const QString &sql, QString &table) const;


    Send m_send;
    QHash<QString, std::shared_ptr<Local>> m_locals;  // upper-cased entity -> its local database
    int m_sent = 0;
};

}  // namespace b2d
