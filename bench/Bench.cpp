// The generation benchmark: builds synthetic SQLite workspaces by code, generates each case in a
// child process (the command-line program) on a fresh copy of its workspace, five times, with the
// read cache and the working set on and off, and prints one table: median wall and processor time (user and system
// apart too), statements, round trips, products per second, the child's peak resident set and the
// time modelled for a LAN and for a distant database (wall + round trips x 0.5 ms, x 30 ms).
// The "distinct" cases (nothing shared between items, INTERNOS without indexes) run with the
// working set and without it (the read cache on); the others with everything in memory and
// with nothing.
//
// Usage: b2d-bench [--runs N] [--quick] [--only WORDS] [--cli PATH] [--keep DIR]
//   --only WORDS  the cases whose name holds one of the comma-separated words (any case), e.g.
//                 `--only distinct` or `--only "import L,export"`

#include "Workloads.h"

#include "app/workspace/Workspace.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Case {
    QString name;
    QString kind;         // import, export, licence, list
    int size = 0;         // items, or operations for the list
    bench::Workload work;
    bool cacheOff = true; // also run with nothing in memory (else: with the read cache alone)
};

struct Run {
    double ms = 0;
    double cpuMs = 0;     // the child's user + system time
    double userMs = 0, sysMs = 0;
    long peakKb = 0;
    int status = -1;
    QString output;       // standard output of the child
};

struct Counts {
    int readsSent = 0, readsCached = 0, writes = 0, distinctReads = 0;
    int roundTrips = 0;   // everything sent to a database, writes included
    int rateWrites = 0;   // the exchange rate recorded per item (an import in another currency)
};

QString g_cli;
constexpr int kNameWidth = 21;

// Runs the command line in a child process; wall time and the child's peak resident set.
Run runChild(const QStringList &args, const QString &outFile, const QString &program = g_cli)
{
    // The peak resident set comes from /usr/bin/time when it is there: a child spawned straight
    // from here would inherit this process's peak, which Linux keeps across exec.
    const QString rssFile = outFile + QStringLiteral(".rss");
    const bool timed = QFileInfo(QStringLiteral("/usr/bin/time")).isExecutable();
    std::vector<QByteArray> storage;
    if (timed)
        for (const QString &a : {QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                                 QStringLiteral("-o"), rssFile})
            storage.push_back(a.toLocal8Bit());
    storage.push_back(program.toLocal8Bit());
    for (const QString &a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : storage)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = outFile.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ms = timer.nsecsElapsed() / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    run.peakKb = usage.ru_maxrss;
    run.userMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3;
    run.sysMs = usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
    run.cpuMs = run.userMs + run.sysMs;
    QFile rss(rssFile);
    if (timed && rss.open(QIODevice::ReadOnly))
        run.peakKb = rss.readAll().trimmed().split('\n').last().toLong();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile f(outFile);
    if (f.open(QIODevice::ReadOnly))
        run.output = QString::fromLocal8Bit(f.readAll());
    return run;
}

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir src(from);
    for (const QFileInfo &fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir())
            copyTree(fi.filePath(), target);
        else
            QFile::copy(fi.filePath(), target);
    }
}

// A fresh copy of a case's workspace, its settings pointing at the copy's own folders.
void freshCopy(const QString &tpl, const QString &dir)
{
    QDir(dir).removeRecursively();
    copyTree(tpl, dir);
    QFile f(dir + QStringLiteral("/settings.ini"));
    f.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(f.readAll());
    f.close();
    text.replace(tpl + QLatin1Char('/'), dir + QLatin1Char('/'));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
}

// Drops every index of a database (those its tables' keys make stay).
void dropIndexes(const QString &path)
{
    const QString name = QStringLiteral("bench-indexes");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        bool ok = db.open();
        QStringList indexes;
        QSqlQuery q(db);
        ok = ok && q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
        while (ok && q.next())
            indexes << q.value(0).toString();
        for (const QString &index : indexes)
            ok = ok && q.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index));
        if (!ok) {
            std::fprintf(stderr, "indexes of %s: %s\n", qPrintable(path), qPrintable(q.lastError().text()));
            std::exit(2);
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// The template workspace of a case: the demo workspace plus the case's rows.
void buildTemplate(const Case &c, const QString &dir)
{
    const Run demo = runChild({QStringLiteral("demo"), dir, QStringLiteral("--force")},
                              dir + QStringLiteral(".demo.out"));
    if (demo.status != 0) {
        std::fprintf(stderr, "demo workspace failed in %s\n", qPrintable(dir));
        std::exit(2);
    }
    b2d::Workspace ws(dir + QStringLiteral("/data"));
    if (!c.work.historial.isEmpty())
        ws.runSql(QStringLiteral("HISTORIAL"), c.work.historial);
    if (!c.work.internos.isEmpty())
        ws.runSql(QStringLiteral("INTERNOS"), c.work.internos);
    if (!c.work.ncm.isEmpty())
        ws.runSql(QStringLiteral("NCM"), c.work.ncm);
    if (c.work.bareInternos)
        dropIndexes(ws.databaseFile(QStringLiteral("INTERNOS")));
}

// What answers reads in memory during a run: the read cache and the working set (on), the cache
// alone (no ws), or nothing: every statement to the database as written (off).
enum class Memory { On, NoWorkingSet, Off };

QStringList commandFor(const Case &c, const QString &dir, Memory memory, const QString &trace)
{
    QStringList args{QStringLiteral("--connections"), dir + QStringLiteral("/connections.ini"),
                     QStringLiteral("--settings"), dir + QStringLiteral("/settings.ini")};
    if (memory != Memory::On)
        args << QStringLiteral("--no-working-set");
    if (memory == Memory::Off)
        args << QStringLiteral("--no-read-cache");
    if (!trace.isEmpty())
        args << QStringLiteral("--trace-sql") << trace;
    if (c.kind == QLatin1String("list")) {
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        args << QStringLiteral("list") << QStringLiteral("--from") << today << QStringLiteral("--to") << today;
    } else {
        args << QStringLiteral("generate") << c.work.number << QStringLiteral("--answers")
             << dir + QStringLiteral("/answers.ini");
    }
    return args;
}

// The exchange rate of an import in another currency, recorded per item.
bool isRateWrite(const QString &sql)
{
    return sql.contains(QLatin1String("Despacho_TiposCambio"), Qt::CaseInsensitive);
}

Counts countTrace(const QString &trace)
{
    Counts n;
    QSet<QString> distinct;
    QFile f(trace);
    if (!f.open(QIODevice::ReadOnly))
        return n;
    while (!f.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
        const QString sql = o.value(QStringLiteral("sql")).toString().trimmed();
        const QString head = sql.section(QLatin1Char(' '), 0, 0).toUpper();
        const bool write = head == QLatin1String("UPDATE") || head == QLatin1String("INSERT")
            || head == QLatin1String("DELETE");
        // A round trip: what the trace says the database answered; a trace without "answered"
        // sends everything the read cache did not answer.
        const QJsonValue answered = o.value(QStringLiteral("answered"));
        if (answered.isUndefined() ? !o.value(QStringLiteral("cached")).toBool()
                                   : answered.toString() == QLatin1String("database"))
            ++n.roundTrips;
        if (write) {
            ++n.writes;
            if (isRateWrite(sql))
                ++n.rateWrites;
            continue;
        }
        // Answered in memory: by the read cache (or by a working set, when the trace tells).
        if (answered.isUndefined() ? o.value(QStringLiteral("cached")).toBool()
                                   : answered.toString() != QLatin1String("database"))
            ++n.readsCached;
        else
            ++n.readsSent;
        distinct.insert(o.value(QStringLiteral("entity")).toString() + QLatin1Char('\n') + sql);
    }
    n.distinctReads = int(distinct.size());
    return n;
}

// Products of the written file: declaration products, or a licence's subitems; rows of a list.
int productsOf(const Case &c, const Run &run)
{
    if (c.kind == QLatin1String("list"))
        return int(run.output.count(QLatin1Char('\n'))) - 1;
    QFile f(run.output.trimmed().section(QLatin1Char('\n'), -1));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray xml = f.readAll();
    return int(xml.count(c.kind == QLatin1String("licence") ? "<itemSubItem>" : "<declarationItemProduct>"));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 5;
    bool quick = false;
    g_cli = QStringLiteral(B2D_BENCH_CLI);
    QString keep;
    QStringList only;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--quick"))
            quick = true;
        else if (args[i] == QLatin1String("--cli") && i + 1 < args.size())
            g_cli = args[++i];
        else if (args[i] == QLatin1String("--keep") && i + 1 < args.size())
            keep = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            only += args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
        else {
            std::fprintf(stderr, "usage: b2d-bench [--runs N] [--quick] [--only WORDS] [--cli PATH] [--keep DIR]\n");
            return 1;
        }
    }
    const int m = quick ? 10 : 100, l = quick ? 30 : 300, ops = quick ? 1000 : 10000;

    std::vector<Case> cases = {
        {QStringLiteral("import M"), QStringLiteral("import"), m, bench::importWorkload(m, false)},
        {QStringLiteral("import L"), QStringLiteral("import"), l, bench::importWorkload(l, false)},
        {QStringLiteral("import L EUR"), QStringLiteral("import"), l, bench::importWorkload(l, true)},
        {QStringLiteral("export M"), QStringLiteral("export"), m, bench::exportWorkload(m)},
        {QStringLiteral("export L"), QStringLiteral("export"), l, bench::exportWorkload(l)},
        {QStringLiteral("licence M"), QStringLiteral("licence"), m, bench::licenceWorkload(m)},
        {QStringLiteral("licence L"), QStringLiteral("licence"), l, bench::licenceWorkload(l)},
        {QStringLiteral("list %1").arg(ops), QStringLiteral("list"), ops, bench::listWorkload(ops)},
        {QStringLiteral("distinct import M"), QStringLiteral("import"), m, bench::distinctImportWorkload(m, false), false},
        {QStringLiteral("distinct import L"), QStringLiteral("import"), l, bench::distinctImportWorkload(l, false), false},
        {QStringLiteral("distinct import M EUR"), QStringLiteral("import"), m, bench::distinctImportWorkload(m, true), false},
        {QStringLiteral("distinct import L EUR"), QStringLiteral("import"), l, bench::distinctImportWorkload(l, true), false},
        {QStringLiteral("distinct export M"), QStringLiteral("export"), m, bench::distinctExportWorkload(m), false},
        {QStringLiteral("distinct export L"), QStringLiteral("export"), l, bench::distinctExportWorkload(l), false},
        {QStringLiteral("distinct licence M"), QStringLiteral("licence"), m, bench::distinctLicenceWorkload(m), false},
        {QStringLiteral("distinct licence L"), QStringLiteral("licence"), l, bench::distinctLicenceWorkload(l), false},
    };
    if (!only.isEmpty()) {
        std::erase_if(cases, [&](const Case &c) {
            return std::none_of(only.begin(), only.end(), [&](const QString &word) {
                return c.name.contains(word.trimmed(), Qt::CaseInsensitive);
            });
        });
        if (cases.empty()) {
            std::fprintf(stderr, "no case matches --only %s\n", qPrintable(only.join(QLatin1Char(','))));
            return 1;
        }
    }

    QTemporaryDir tmp;
    const QString root = keep.isEmpty() ? tmp.path() : keep;
    QDir().mkpath(root);

    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13 %14 %15 %16 %17\n")
               .arg(QStringLiteral("case"), -kNameWidth)
               .arg(QStringLiteral("memory"), -6)
               .arg(QStringLiteral("median ms"), 9)
               .arg(QStringLiteral("cpu ms"), 6)
               .arg(QStringLiteral("reads"), 7)
               .arg(QStringLiteral("cached"), 7)
               .arg(QStringLiteral("writes"), 6)
               .arg(QStringLiteral("distinct"), 8)
               .arg(QStringLiteral("products"), 8)
               .arg(QStringLiteral("prod/s"), 8)
               .arg(QStringLiteral("peak MB"), 7)
               .arg(QStringLiteral("LAN s"), 7)
               .arg(QStringLiteral("user ms"), 7)
               .arg(QStringLiteral("sys ms"), 6)
               .arg(QStringLiteral("trips"), 6)
               .arg(QStringLiteral("rate w"), 6)
               .arg(QStringLiteral("30ms s"), 7);
    out.flush();
    int failures = 0;
    int index = 0;
    QString listLine;
    for (const Case &c : cases) {
        const QString tpl = root + QStringLiteral("/case%1").arg(index++);
        buildTemplate(c, tpl);
        for (const Memory memory : {Memory::On, Memory::NoWorkingSet, Memory::Off}) {
            // The distinct cases compare the working set with the cache alone; the others all
            // in memory with nothing in memory.
            if ((memory == Memory::Off && !c.cacheOff) || (memory == Memory::NoWorkingSet && c.cacheOff))
                continue;
            const QString dir = tpl + QStringLiteral("-run");
            std::vector<double> times, cpu, user, sys, peaks;
            Run last;
            for (int r = 0; r < runs; ++r) {
                freshCopy(tpl, dir);
                last = runChild(commandFor(c, dir, memory, QString()), dir + QStringLiteral(".out"));
                times.push_back(last.ms);
                cpu.push_back(last.cpuMs);
                user.push_back(last.userMs);
                sys.push_back(last.sysMs);
                peaks.push_back(double(last.peakKb));
            }
            // One more run with the statement trace, for the counts (its time is not reported).
            freshCopy(tpl, dir);
            const QString trace = dir + QStringLiteral(".trace");
            QFile::remove(trace);
            const Run traced = runChild(commandFor(c, dir, memory, trace), dir + QStringLiteral(".out"));
            const Counts n = countTrace(trace);
            const int products = productsOf(c, traced);
            if (last.status != 0 || traced.status != 0)
                ++failures;
            const double ms = median(times);
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13 %14 %15 %16 %17%18\n")
                       .arg(c.name, -kNameWidth)
                       .arg(memory == Memory::On ? QStringLiteral("on")
                                : memory == Memory::Off ? QStringLiteral("off") : QStringLiteral("no ws"), -6)
                       .arg(ms, 9, 'f', 0)
                       .arg(median(cpu), 6, 'f', 0)
                       .arg(n.readsSent, 7)
                       .arg(n.readsCached, 7)
                       .arg(n.writes, 6)
                       .arg(n.distinctReads, 8)
                       .arg(products, 8)
                       .arg(ms > 0 ? products * 1000.0 / ms : 0.0, 8, 'f', 0)
                       .arg(median(peaks) / 1024.0, 7, 'f', 1)
                       .arg((ms + n.roundTrips * 0.5) / 1000.0, 7, 'f', 2)
                       .arg(median(user), 7, 'f', 0)
                       .arg(median(sys), 6, 'f', 0)
                       .arg(n.roundTrips, 6)
                       .arg(n.rateWrites, 6)
                       .arg((ms + n.roundTrips * 30.0) / 1000.0, 7, 'f', 2)
                       .arg(last.status != 0 ? QStringLiteral("  exit %1").arg(last.status) : QString());
            out.flush();
        }
#ifdef B2D_BENCH_LIST
        // The list again inside one process: the procedure to the last row, start-up left out.
        if (c.kind == QLatin1String("list")) {
            const QString dir = tpl + QStringLiteral("-run");
            freshCopy(tpl, dir);
            const Run inside = runChild(
                {QStringLiteral("--connections"), dir + QStringLiteral("/connections.ini"),
                 QStringLiteral("--settings"), dir + QStringLiteral("/settings.ini"), QStringLiteral("--date"),
                 QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")), QStringLiteral("--runs"),
                 QString::number(runs)},
                dir + QStringLiteral(".list"), QStringLiteral(B2D_BENCH_LIST));
            const QStringList f = inside.output.simplified().split(QLatin1Char(' '));
            if (inside.status != 0 || f.size() < 8)
                ++failures;
            else
                listLine = QStringLiteral("%1 rows, start-up left out: %2 ms to the last row in the window's "
                                          "model (%3 ms more for the grid's first screen), %4 ms to the "
                                          "last line of `list`\n")
                               .arg(f[1], f[3], f[5], f[7]);
        }
#endif
    }
#ifdef B2D_BENCH_LIST
    if (!listLine.isEmpty())
        out << listLine;
#endif
    out << QStringLiteral("cpu ms = the child's user + system time (median; user ms and sys ms apart); "
                          "reads = reads sent to the database, cached = reads answered in memory; "
                          "trips = round trips, everything sent to a database (writes included); "
                          "rate w = the writes of exchange rates, counted in writes and trips; "
                          "LAN s = (median ms + trips x 0.5 ms) / 1000; 30ms s = (median ms + trips x 30 ms) / 1000; "
                          "memory: on = read cache and working set, no ws = read cache alone, off = neither\n");
    return failures == 0 ? 0 : 1;
}
