#pragma once

#include "platform/Clock.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingData.h"
#include "support/ScriptedBoxes.h"

#include <QTemporaryDir>
#include <functional>

namespace b2d::test {

// Everything a builder needs, with a recording data component, scripted boxes, an in-memory
// settings store, a clock fixed at 2019-03-05 14:07:09 and a run log in a temporary folder.
struct TestRun {
    TestRun();
    QTemporaryDir dir;
    RecordingData data;
    ScriptedBoxes boxes;
    MemorySettingsStore store;
    FixedClock clock;
    RunLog log;
    Runtime rt;

    // The run log's text so far.
    QString logText() const;
};

// Reads a whole file as bytes ("" when missing).
QByteArray readFile(const QString &path);

// The golden documents (tests/data/golden) are stored with a line break after each tag that
// another tag follows, so that a diff shows the element that changed; the document is the stored
// text without those line breaks (a line break between a tag and text stays).
QByteArray goldenDocument(const QByteArray &stored);
#ifdef B2D_TEST_DATA
inline QString goldenPath(const char *name)
{
    return QStringLiteral(B2D_TEST_DATA "/golden/") + QLatin1String(name);
}
// A golden document as the program must write it ("" when the file is missing).
inline QByteArray readGolden(const char *name)
{
    return goldenDocument(readFile(goldenPath(name)));
}
#endif

// One statement (a trigger body may hold semicolons) on an SQLite file, opened directly; fails
// the test when it is refused.
void execSqlite(const QString &file, const QString &sql);
// The first column of the first row of a query on an SQLite file (invalid when there is none).
QVariant querySqlite(const QString &file, const QString &sql);
// Every row of every table of an SQLite file, tables by name, rows in storage order:
// "TABLE:value|value|..." (NULL as <null>), for comparing two runs' database effects.
QStringList dumpSqlite(const QString &file);
// Sets, in every row of every table of an SQLite file, each column outside the primary key for which `valueFor` (table,
// column, declared type, NOT NULL) gives a valid value; a null value writes NULL. The values are
// bound, so any text goes in as it is. Fails the test when a statement is refused.
void setColumnsSqlite(const QString &file,
                      const std::function<QVariant(const QString &table, const QString &column,
                                                   const QString &type, bool notNull)> &valueFor);

// An environment variable set (or unset, with a null value) for one scope, restored after it.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

}  // namespace b2d::test
