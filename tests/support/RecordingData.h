#pragma once

#include "data/DataAccess.h"

#include <QRegularExpression>
#include <functional>
#include <memory>

namespace b2d {

// A data access component for tests: scripted rows per statement, every statement text kept in
// order. A statement without a script returns no row (and an execute succeeds).
class RecordingData {
public:
    struct Call {
        QString entity;
        QString sql;
        bool write;
    };

    RecordingData();
    ~RecordingData();

    DataAccess &db() { return *m_db; }

    // Rows for a statement that equals `sql` exactly (entity compared without case).
    void onExact(const QString &entity, const QString &sql, ResultSet rows);
    // Rows for a statement that contains `fragment`.
    void onContains(const QString &entity, const QString &fragment, ResultSet rows);
    // A statement containing `fragment` fails with `error`.
    void failOn(const QString &entity, const QString &fragment, const QString &error);
    // The first statement containing `fragment` fails with `error` and loses the connection: its
    // backend refuses everything after it, until the data access component opens a new one.
    void dropConnectionOn(const QString &entity, const QString &fragment, const QString &error);
    // Backends opened so far (the first of each entity and every reopened one).
    int backendsOpened() const { return m_opened; }
    // The engine every backend reports (Other unless set): SqlServer for an ODBC data source
    // whose DBMS is SQL Server.
    void setSourceEngine(SourceEngine engine) { m_engine = engine; }
    // A write containing `fragment` runs and reports that it changed no row.
    void changesNoRow(const QString &entity, const QString &fragment);
    // `action` runs whenever a statement containing `fragment` is run (before it answers), for
    // tests that change the world at a given moment. Does not script an answer.
    void whenRun(const QString &entity, const QString &fragment, std::function<void()> action);

    const QList<Call> &calls() const { return m_calls; }
    QStringList statements() const;                       // every text, in order
    QStringList statements(const QString &entity) const;  // of one entity
    QStringList writes() const;                            // the texts run as writes, in order
    void clearCalls() { m_calls.clear(); }

private:
    class FakeBackend;
    struct Rule {
        QString entity;
        QString text;
        bool exact;
        bool fail;
        ResultSet rows;
        QString error;
        int affected = -1;
        bool drop = false;
        mutable bool spent = false;  // a dropped connection happens once
    };
    struct Hook {
        QString entity;
        QString fragment;
        std::function<void()> action;
    };
    const Rule *match(const QString &entity, const QString &sql) const;
    void runHooks(const QString &entity, const QString &sql) const;

    QList<Rule> m_rules;
    QList<Hook> m_hooks;
    QList<Call> m_calls;
    int m_opened = 0;
    SourceEngine m_engine = SourceEngine::Other;
    std::unique_ptr<DataAccess> m_db;
};

// Builds a ResultSet: rows({"A", "B"}, {{1, "x"}, {2, "y"}}).
ResultSet rows(const QStringList &columns, const QList<QVariantList> &values = {});

}  // namespace b2d
