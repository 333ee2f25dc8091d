// A database or disk failure at any point of a demo operation's generation or hand-off leaves
// either the same file and record as a run without faults, or no file (no temporary either) and
// the row as it was. Each run works on a fresh demo workspace, in this process.

#include "cli/Command.h"
#include "platform/Clock.h"

#include "e2e/DemoCliRun.h"
#include "support/FaultInjection.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace b2d;
using test::StatementFaults;
using test::WriterFaults;

namespace {

using Files = QMap<QString, QByteArray>;

// A folder in memory when the machine offers one: the runs are many and the databases sync
// every commit.
QString temporaryTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    const bool memory = QFileInfo(shm).isDir() && QFileInfo(shm).isWritable();
    return (memory ? shm : QDir::tempPath()) + QStringLiteral("/b2d-faults-XXXXXX");
}

// One fresh demo workspace and the commands run on it.
struct Workspace {
    QTemporaryDir dir{temporaryTemplate()};
    QString demo = dir.filePath(QStringLiteral("demo"));
    QString err;
    bool workingSet = true;

    Workspace() { EXPECT_EQ(run({QStringLiteral("demo"), demo}), cli::ExitOk) << err.toStdString(); }

    int generate(const QString &op)
    {
        return run(common() + QStringList{QStringLiteral("generate"), op, QStringLiteral("--answers"),
                                          demo + QStringLiteral("/answers.ini")});
    }
    int send(const QString &op) { return run(common() + QStringList{QStringLiteral("send"), op}); }

    // Every file of a folder (temporaries and hidden ones too) with its bytes.
    Files files(const QString &folder) const
    {
        Files out;
        const QDir d(demo + QLatin1Char('/') + folder);
        for (const QString &name : d.entryList(QDir::Files | QDir::Hidden | QDir::System))
            out.insert(name, test::readFile(d.filePath(name)));
        return out;
    }
    // Xml_Procesado|Xml_B2DFile|Xml_Enviado of the operation's row.
    QString record(const QString &op) const
    {
        return test::querySqlite(demo + QStringLiteral("/data/historial.db"),
                                 QStringLiteral("select ifnull(Xml_Procesado, '-') || '|' || "
                                                "ifnull(Xml_B2DFile, '-') || '|' || ifnull(Xml_Enviado, '-') "
                                                "from Caratula_Caratula where Despacho = '%1'")
                                     .arg(op))
            .toString();
    }

private:
    QStringList common() const
    {
        QStringList args{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                         QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini")};
        if (!workingSet)
            args << QStringLiteral("--no-working-set");
        return args;
    }
    int run(const QStringList &arguments)
    {
        static const FixedClock clock(QDateTime(QDate(2026, 3, 10), QTime(14, 7, 9)));
        return test::runCli(arguments, err, clock);
    }
};

// What a run without faults leaves, and the row before it.
struct Reference {
    QString before;
    QString after;
    Files files;
    int statements = 0;
};

const char *const kKinds[] = {"error", "dropped connection"};
const StatementFaults::Kind kKindOf[] = {StatementFaults::Kind::Error, StatementFaults::Kind::Drop};
const struct {
    WriterFaults::Step step;
    const char *name;
} kSteps[] = {{WriterFaults::Step::Create, "create"},
              {WriterFaults::Step::Write, "write"},
              {WriterFaults::Step::Close, "close"},
              {WriterFaults::Step::Rename, "rename"}};

// The whole file and its record, or neither; `folder` is where the operation puts its file.
void expectWholeOrNothing(Workspace &w, const QString &op, const QString &folder, const Reference &ref,
                          int status)
{
    SCOPED_TRACE(w.err.toStdString());
    EXPECT_TRUE(status == cli::ExitOk || status == cli::ExitCancelled || status == cli::ExitFailed
                || status == cli::ExitProgramEnd)
        << status;
    const Files files = w.files(folder);
    if (files.isEmpty()) {
        EXPECT_NE(status, cli::ExitOk) << "reported written, but no file";
        EXPECT_EQ(w.record(op), ref.before);
    } else {
        EXPECT_NE(status, cli::ExitProgramEnd);
        EXPECT_EQ(files.keys(), ref.files.keys());
        EXPECT_TRUE(files == ref.files) << "the file differs from the one written without faults";
        EXPECT_EQ(w.record(op), ref.after);
    }
}

// Runs `command` on a workspace that `prepare` readied, once without faults, counting the
// statements it sends, then on a fresh workspace for every one of them failing with an error and
// for every one losing the connection. `folder` receives the command's file; what `prepare` left
// in the output folder stays as it was. With the working set on, its own reads are among the
// statements that fail.
void atEveryStatement(const QString &op, const QString &folder, const std::function<int(Workspace &)> &prepare,
                      const std::function<int(Workspace &)> &command, bool workingSet = true)
{
    StatementFaults faults;
    Reference ref;
    Files prepared;
    {
        Workspace w;
        w.workingSet = workingSet;
        ASSERT_EQ(prepare(w), cli::ExitOk) << w.err.toStdString();
        prepared = w.files(QStringLiteral("out"));
        ref.before = w.record(op);
        faults.failAt(0, StatementFaults::Kind::Error);
        ASSERT_EQ(command(w), cli::ExitOk) << w.err.toStdString();
        ref.statements = faults.reached();
        ref.after = w.record(op);
        ref.files = w.files(folder);
        ASSERT_EQ(ref.files.size(), 1);
        ASSERT_NE(ref.after, ref.before);
    }
    for (int k = 0; k < 2; ++k)
        for (int n = 1; n <= ref.statements; ++n) {
            SCOPED_TRACE(testing::Message() << kKinds[k] << " at statement " << n << " of " << ref.statements);
            Workspace w;
            w.workingSet = workingSet;
            faults.failAt(0, StatementFaults::Kind::Error);
            ASSERT_EQ(prepare(w), cli::ExitOk) << w.err.toStdString();
            faults.failAt(n, kKindOf[k]);
            const int status = command(w);
            EXPECT_GE(faults.reached(), n);
            expectWholeOrNothing(w, op, folder, ref, status);
            if (folder != QLatin1String("out")) {
                EXPECT_TRUE(w.files(QStringLiteral("out")) == prepared);
            }
        }
}

class Faults : public testing::TestWithParam<const char *> {
protected:
    QString op() const { return QString::fromLatin1(GetParam()); }
};

TEST_P(Faults, EveryStatementOfTheGenerationFailing)
{
    atEveryStatement(
        op(), QStringLiteral("out"), [](Workspace &) { return int(cli::ExitOk); },
        [&](Workspace &w) { return w.generate(op()); });
}

TEST_P(Faults, EveryStatementOfTheGenerationFailingWithoutTheWorkingSet)
{
    atEveryStatement(
        op(), QStringLiteral("out"), [](Workspace &) { return int(cli::ExitOk); },
        [&](Workspace &w) { return w.generate(op()); }, false);
}

TEST_P(Faults, EveryStatementOfTheHandOffFailing)
{
    atEveryStatement(
        op(), QStringLiteral("send"), [&](Workspace &w) { return w.generate(op()); },
        [&](Workspace &w) { return w.send(op()); });
}

TEST_P(Faults, TheDiskFailingDuringTheGenerationOrTheHandOff)
{
    // The row before the generation, and after it (before the hand-off).
    QString before, generated;
    Files files;
    {
        Workspace w;
        before = w.record(op());
        ASSERT_EQ(w.generate(op()), cli::ExitOk) << w.err.toStdString();
        generated = w.record(op());
        files = w.files(QStringLiteral("out"));
    }
    for (const auto &s : kSteps) {
        SCOPED_TRACE(s.name);
        {
            Workspace w;
            WriterFaults faults(w.demo + QStringLiteral("/out"), s.step);
            EXPECT_EQ(w.generate(op()), cli::ExitFailed);
            EXPECT_EQ(faults.failed(), 1);
            EXPECT_TRUE(w.files(QStringLiteral("out")).isEmpty());
            EXPECT_EQ(w.record(op()), before);
        }
        Workspace w;
        ASSERT_EQ(w.generate(op()), cli::ExitOk) << w.err.toStdString();
        WriterFaults faults(w.demo + QStringLiteral("/send"), s.step);
        EXPECT_EQ(w.send(op()), cli::ExitFailed);
        EXPECT_EQ(faults.failed(), 1);
        EXPECT_TRUE(w.files(QStringLiteral("send")).isEmpty());
        EXPECT_EQ(w.record(op()), generated);
        EXPECT_TRUE(w.files(QStringLiteral("out")) == files);
    }
}

INSTANTIATE_TEST_SUITE_P(DemoOperations, Faults,
                         testing::Values("26001IC04000123A", "26001IC04000131C", "26073IC04000088F",
                                         "26001EC01000045B", "26001DJAI000007K"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param);
                         });

}  // namespace
