// Where an installed program and a program run from its build folder keep their log and find
// their connections file, and what --version says.
#include "app/ProgramInfo.h"
#include "app/Startup.h"
#include "data/SqlFixture.h"
#include "platform/ProgramLocation.h"
#include "runtime/RunLog.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

// Points the per-user configuration and data folders (XDG) into a temporary folder for one scope.
struct UserFoldersIn {
    explicit UserFoldersIn(const QString &home)
        : config("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/config"))),
          data("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/data")))
    {
    }
    test::ScopedEnv config;
    test::ScopedEnv data;
};

}  // namespace

TEST(ProgramLocation, InstalledFoldersAreThoseUnderUsrAndOpt)
{
    const struct {
        const char *folder;
        bool installed;
    } cases[] = {
        {"/usr/bin", true},         {"/usr/local/bin", true}, {"/opt/velmorab2d/bin", true},
        {"/usr", true},             {"/usr/bin/../bin", true}, {"/home/ana/b2d/build/bin", false},
        {"/usrx/bin", false},       {"/optional/bin", false},  {"/tmp/usr/bin", false},
        {"", false},                {"/usr/../home/bin", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isInstalledProgramFolder(QString::fromUtf8(c.folder)), c.installed) << c.folder;
}

TEST(ProgramLocation, InstalledProgramLogsInThePerUserDataFolder)
{
    QTemporaryDir home;
    const UserFoldersIn user(home.path());
    QString note;
    const QString folder = RunLog::chooseLogFolder(QStringLiteral("/usr/bin"), &note);
    EXPECT_TRUE(folder.startsWith(home.path() + QStringLiteral("/data/"))) << folder.toStdString();
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/Logs"))) << folder.toStdString();
    EXPECT_FALSE(note.contains(QStringLiteral("/usr/bin"))) << note.toStdString();

    // A program run from a folder it can write in (its build folder) logs beside itself.
    QTemporaryDir build;
    EXPECT_EQ(RunLog::chooseLogFolder(build.path()), build.path() + QStringLiteral("/Logs"));
}

TEST(ProgramLocation, ConnectionsFilePerUserThenPerMachineWhenInstalled)
{
    QTemporaryDir home;
    QTemporaryDir build;
    const UserFoldersIn user(home.path());
    // Nothing per user: the installed program reads /etc, never the file beside it.
    EXPECT_EQ(Shell::defaultConnectionsFile(QStringLiteral("/usr/bin")),
              QLatin1String(kSystemConnectionsFile));
    EXPECT_EQ(Shell::defaultConnectionsFile(QStringLiteral("/opt/velmorab2d/bin")),
              QLatin1String(kSystemConnectionsFile));
    EXPECT_EQ(Shell::defaultConnectionsFile(build.path()),
              build.path() + QStringLiteral("/connections.ini"));

    // A per-user file wins everywhere.
    const QString perUser = home.path() + QStringLiteral("/config/VelmoraB2D/connections.ini");
    QDir().mkpath(QFileInfo(perUser).absolutePath());
    test::writeTextFile(perUser, QStringLiteral("[HISTORIAL]\n"));
    EXPECT_EQ(Shell::defaultConnectionsFile(QStringLiteral("/usr/bin")), perUser);
    EXPECT_EQ(Shell::defaultConnectionsFile(build.path()), perUser);
}

TEST(ProgramInfo, VersionShowsTheProgramAndTheInstalledUpdateVersion)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("version.ini"));
    test::writeTextFile(file, QStringLiteral("; installed release\n[Velmora]\nversion=17\n"));
    const QString expectedFirst = QStringLiteral("velmorab2d %1.%2.%3\n")
                                      .arg(B2D_VERSION_MAJOR)
                                      .arg(B2D_VERSION_MINOR)
                                      .arg(B2D_VERSION_REVISION);
    EXPECT_EQ(versionText(QStringLiteral("velmorab2d"), file),
              expectedFirst + QStringLiteral("installed update version: 17\n"));
    EXPECT_EQ(versionText(QStringLiteral("velmorab2d"), dir.filePath(QStringLiteral("none.ini"))),
              expectedFirst + QStringLiteral("installed update version: not recorded\n"));
}
