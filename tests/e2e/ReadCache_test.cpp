// The read cache and the working set change no byte: the demo's generations written with each
// on and off give the same files and boxes and leave the same rows in every database, on the
// demo's databases and on the same without any index.
// (The golden generations are run every way by Golden_test.)

#include "app/workspace/Workspace.h"
#include "platform/Clock.h"

#include "e2e/DemoCliRun.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

struct DemoGeneration {
    QTemporaryDir dir;
    QString demo = dir.filePath(QStringLiteral("demo"));
    QString err;
    int status = -1;

    DemoGeneration(bool cache, bool workingSet, bool indexes = true)
    {
        const FixedClock clock(QDateTime(QDate(2026, 3, 10), QTime(14, 7, 9)));
        if (run({QStringLiteral("demo"), demo}, clock) != 0)
            return;
        if (!indexes) {
            // Databases as a customs system may keep them: no index of their own on any table.
            const Workspace w(demo + QStringLiteral("/data"));
            for (const QString &entity : workspaceEntities()) {
                const QString file = w.databaseFile(entity);
                const QStringList names =
                    test::querySqlite(file, QStringLiteral("SELECT group_concat(name, ' ') FROM sqlite_master "
                                                           "WHERE type = 'index' AND sql IS NOT NULL"))
                        .toString()
                        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
                for (const QString &name : names)
                    test::execSqlite(file, QStringLiteral("DROP INDEX \"%1\"").arg(name));
            }
        }
        QStringList args{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                         QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini")};
        if (!cache)
            args << QStringLiteral("--no-read-cache");
        if (!workingSet)
            args << QStringLiteral("--no-working-set");
        args << QStringLiteral("generate") << QStringLiteral("26001IC04000123A")
             << QStringLiteral("26001IC04000131C") << QStringLiteral("26073IC04000088F")
             << QStringLiteral("26001EC01000045B") << QStringLiteral("26001DJAI000007K")
             << QStringLiteral("--answers") << demo + QStringLiteral("/answers.ini");
        status = run(args, clock);
    }
    int run(const QStringList &arguments, const Clock &clock) { return test::runCli(arguments, err, clock); }
};

}  // namespace

TEST(ReadCache, DemoGenerationsAreTheSameWithTheCacheAndTheWorkingSetOnAndOff)
{
    const DemoGeneration plain(false, false), plainWithoutIndexes(false, false, false);
    const struct {
        bool cache, workingSet, indexes;
    } variants[] = {{true, true, true}, {true, false, true}, {false, true, true}, {true, true, false}};
    for (const auto &v : variants) {
        SCOPED_TRACE(testing::Message() << "cache " << v.cache << ", working set " << v.workingSet
                                        << ", indexes " << v.indexes);
        const DemoGeneration on(v.cache, v.workingSet, v.indexes);
        const DemoGeneration &off = v.indexes ? plain : plainWithoutIndexes;
        ASSERT_EQ(on.status, 0) << on.err.toStdString();
        ASSERT_EQ(off.status, 0) << off.err.toStdString();
        // The same boxes, each naming its own workspace's file.
        EXPECT_EQ(QString(on.err).replace(on.demo, QStringLiteral("DEMO")).toStdString(),
                  QString(off.err).replace(off.demo, QStringLiteral("DEMO")).toStdString());

        const QStringList files = QDir(on.demo + QStringLiteral("/out")).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(files.size(), 5);
        EXPECT_EQ(QDir(off.demo + QStringLiteral("/out")).entryList(QDir::Files, QDir::Name), files);
        for (const QString &f : files)
            EXPECT_TRUE(test::readFile(on.demo + QStringLiteral("/out/") + f)
                        == test::readFile(off.demo + QStringLiteral("/out/") + f))
                << f.toStdString();

        const Workspace a(on.demo + QStringLiteral("/data")), b(off.demo + QStringLiteral("/data"));
        for (const QString &entity : workspaceEntities()) {
            SCOPED_TRACE(entity.toStdString());
            const QStringList rowsOn = test::dumpSqlite(a.databaseFile(entity));
            EXPECT_FALSE(rowsOn.isEmpty());
            EXPECT_EQ(rowsOn, test::dumpSqlite(b.databaseFile(entity)));
        }
    }
}
