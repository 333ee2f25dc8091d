#include "runtime/RunLog.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using namespace b2d;

namespace {

const QByteArray kHeader = QByteArray(94, '-') + "\r\n";

TEST(RunLog, FirstLineOfADayCreatesFolderAndFileWithHeader)
{
    // Line by line, and with the file held open by a generation: the same bytes, each line in the
    // file as soon as it is written, the next day's file when the date changes.
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held by a generation" : "line by line");
        test::TestRun run;
        const QString folder = run.dir.filePath(QStringLiteral("Logs"));
        ASSERT_FALSE(QDir(folder).exists());
        EXPECT_EQ(run.log.NombreArchivoLog(), QStringLiteral("20190305.Log"));
        if (held)
            run.log.holdFile();

        run.log.EscribirLog(QStringLiteral("Finalizar Programa"));
        const QString today = folder + QStringLiteral("/VelmoraB2D_20190305.Log");
        EXPECT_EQ(test::readFile(today), kHeader + "05/03/2019 14:07:09 - Finalizar Programa\r\n");
        EXPECT_EQ(run.log.fileHeld(), held);
        run.log.EscribirLog(QStringLiteral("Operacion a procesar: 19001IC04000123A"));
        EXPECT_EQ(test::readFile(today), kHeader + "05/03/2019 14:07:09 - Finalizar Programa\r\n"
                                                   "05/03/2019 14:07:09 - Operacion a procesar: 19001IC04000123A\r\n");

        // A change of date during the run starts the next day's file with its own header.
        run.clock.set(QDateTime(QDate(2019, 3, 6), QTime(0, 0, 1)));
        run.log.EscribirLog(QStringLiteral("versión"));
        const QString tomorrow = folder + QStringLiteral("/VelmoraB2D_20190306.Log");
        EXPECT_EQ(test::readFile(tomorrow), kHeader + "06/03/2019 00:00:01 - versi\xF3n\r\n");
        // Characters outside ISO-8859-1 are kept as character references, as in the documents.
        run.log.EscribirLog(QStringLiteral("Łódź 10 € ") + QString::fromUtf8("\xF0\x9F\x98\x80"));
        EXPECT_EQ(test::readFile(tomorrow),
                  kHeader + "06/03/2019 00:00:01 - versi\xF3n\r\n"
                            "06/03/2019 00:00:01 - &#321;\xF3" "d&#378; 10 &#8364; &#128512;\r\n");
        EXPECT_EQ(test::readFile(today).count('\n'), 3);

        // The end of the generation closes the file; later lines go on line by line.
        if (held)
            run.log.releaseFile();
        EXPECT_FALSE(run.log.fileHeld());
        run.log.EscribirLog(QStringLiteral("Fin"));
        EXPECT_TRUE(test::readFile(tomorrow).endsWith("06/03/2019 00:00:01 - Fin\r\n"));
        EXPECT_FALSE(run.log.fileHeld());
    }
}

TEST(RunLog, AFolderThatCannotBeCreatedWritesNothing)
{
    test::TestRun run;
    const QString blocker = run.dir.filePath(QStringLiteral("blocked"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    RunLog log(run.clock, blocker + QStringLiteral("/Logs"));
    EXPECT_EQ(log.RutaArchivoLog(), QString());
    log.EscribirLog(QStringLiteral("lost"));
    EXPECT_EQ(test::readFile(blocker), QByteArray());
}

TEST(RunLog, DebugLinesReachTheSinksAndTheFile)
{
    test::TestRun run;
    QStringList seen, second;
    // What was traced before anyone listened (start-up) reaches the first listener only.
    run.log.debugOnly(QStringLiteral("INTERNOS: SELECT valor"));
    run.log.addDebugSink([&](const QString &line) { seen << line; });
    run.log.addDebugSink([&](const QString &line) { second << line; });
    run.log.EscribirLogDebug(QStringLiteral("Fin de proceso: 1"));
    run.log.debugOnly(QStringLiteral("HISTORIAL: select 1"));
    EXPECT_EQ(seen, QStringList({QStringLiteral("INTERNOS: SELECT valor"),
                                 QStringLiteral("05/03/2019 14:07:09 Fin de proceso: 1"),
                                 QStringLiteral("HISTORIAL: select 1")}));
    EXPECT_EQ(second, seen.mid(1));
    EXPECT_EQ(run.logText(), QString::fromLatin1(kHeader) + QStringLiteral("05/03/2019 14:07:09 - Fin de proceso: 1\r\n"));
}

TEST(RunLog, ArchivoEnUso)
{
    test::TestRun run;
    const QString file = run.dir.filePath(QStringLiteral("out/IMPDVN_1.xml"));
    QDir().mkpath(run.dir.filePath(QStringLiteral("out")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<a>12345</a>");
    f.close();

    struct Case {
        const char *name;
        QString path;
        bool inUse;
        QString logged;  // empty: nothing logged
    };
    const Case cases[] = {
        {"missing file", run.dir.filePath(QStringLiteral("out/none.xml")), false, {}},
        {"missing folder", run.dir.filePath(QStringLiteral("nofolder/none.xml")), false, {}},
        {"free file", file, false, QStringLiteral("Archivo:") + file + QStringLiteral(" 12 bytes")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::TestRun fresh;
        EXPECT_EQ(fresh.log.ArchivoEnUso(c.path), c.inUse);
        if (c.logged.isEmpty())
            EXPECT_EQ(fresh.logText(), QString());
        else
            EXPECT_TRUE(fresh.logText().endsWith(QStringLiteral(" - ") + c.logged + QStringLiteral("\r\n")))
                << fresh.logText().toStdString();
    }

    // A folder is not a file that can be sent: the error is logged and it counts as in use.
    EXPECT_TRUE(run.log.ArchivoEnUso(run.dir.filePath(QStringLiteral("out"))));
    EXPECT_FALSE(run.logText().isEmpty());

#ifndef Q_OS_WIN
    // Held locked by another program.
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_TRUE(run.log.ArchivoEnUso(file));
    ::close(fd);
    EXPECT_FALSE(run.log.ArchivoEnUso(file));
#endif
}

}  // namespace
