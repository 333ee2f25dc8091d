// The command line of the window program, read before the application object exists.
#include "gui/GuiCommandLine.h"

#include "data/SqlFixture.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

struct Parsed {
    GuiCommandLine line;
    QString out;
    QString err;
};

Parsed parse(const QStringList &arguments, const QString &versionFile = QStringLiteral("/nonexistent/version.ini"))
{
    Parsed p;
    QTextStream out(&p.out);
    QTextStream err(&p.err);
    p.line = parseGuiCommandLine(arguments, out, err, versionFile);
    return p;
}

}  // namespace

TEST(GuiCommandLine, HelpVersionAndWrongUsageEndTheProgram)
{
    const struct {
        QStringList arguments;
        int status;
        const char *outStart;  // empty: nothing on standard output
        const char *errPart;   // empty: nothing on standard error
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "usage: velmorab2d [options]\n", ""},
        {{QStringLiteral("-h")}, 0, "usage: velmorab2d [options]\n", ""},
        {{QStringLiteral("--settings"), QStringLiteral("s.ini"), QStringLiteral("--help")}, 0,
         "usage: velmorab2d [options]\n", ""},
        {{QStringLiteral("--version")}, 0, "velmorab2d ", ""},
        {{QStringLiteral("--bogus")}, 1, "", "Unknown option 'bogus'"},
        {{QStringLiteral("--connections")}, 1, "", "Missing value after '--connections'"},
        {{QStringLiteral("stray")}, 1, "", "unexpected argument stray"},
    };
    for (const auto &c : cases) {
        const Parsed p = parse(c.arguments);
        const QString label = c.arguments.join(QLatin1Char(' '));
        ASSERT_TRUE(p.line.exitStatus.has_value()) << label.toStdString();
        EXPECT_EQ(*p.line.exitStatus, c.status) << label.toStdString();
        if (*c.outStart)
            EXPECT_TRUE(p.out.startsWith(QString::fromUtf8(c.outStart))) << p.out.toStdString();
        else
            EXPECT_TRUE(p.out.isEmpty()) << p.out.toStdString();
        if (*c.errPart)
            EXPECT_TRUE(p.err.contains(QString::fromUtf8(c.errPart))) << p.err.toStdString();
        else
            EXPECT_TRUE(p.err.isEmpty()) << p.err.toStdString();
    }
}

TEST(GuiCommandLine, HelpNamesEveryOption)
{
    const QString help = parse({QStringLiteral("--help")}).out;
    for (const char *option : {"--connections FILE", "--settings FILE", "--trace-sql FILE",
                               "--screenshot FILE", "--screenshot-config FILE",
                               "--screenshot-viewer FILE", "--interno INTERNO", "--version"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(option))) << option;
}

TEST(GuiCommandLine, VersionReadsTheInstalledVersionFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("version.ini"));
    test::writeTextFile(file, QStringLiteral("[Velmora]\nversion=42\n"));
    EXPECT_TRUE(parse({QStringLiteral("--version")}, file)
                    .out.endsWith(QStringLiteral("\ninstalled update version: 42\n")));
}

TEST(GuiCommandLine, OptionsReachTheRun)
{
    const Parsed p = parse({QStringLiteral("--connections"), QStringLiteral("c.ini"),
                            QStringLiteral("--settings=s.ini"), QStringLiteral("--trace-sql"),
                            QStringLiteral("t.jsonl"), QStringLiteral("--screenshot-viewer"),
                            QStringLiteral("v.png"), QStringLiteral("--interno"),
                            QStringLiteral("123")});
    EXPECT_FALSE(p.line.exitStatus.has_value());
    EXPECT_EQ(p.line.options.connectionsFile, QStringLiteral("c.ini"));
    EXPECT_EQ(p.line.options.settingsFile, QStringLiteral("s.ini"));
    EXPECT_EQ(p.line.options.traceSqlFile, QStringLiteral("t.jsonl"));
    EXPECT_EQ(p.line.screenshotViewer, QStringLiteral("v.png"));
    EXPECT_EQ(p.line.interno, QStringLiteral("123"));
    EXPECT_TRUE(p.line.screenshot.isEmpty());
    EXPECT_TRUE(p.out.isEmpty() && p.err.isEmpty());
}
