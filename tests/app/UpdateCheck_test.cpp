#include "app/UpdateCheck.h"

#include "platform/Error.h"
#include "platform/InstalledVersion.h"
#include "platform/WebFetch.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingBrowser.h"
#include "support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::LocalHttpServer;
using b2d::test::RecordingBrowser;
using b2d::test::TestRun;

namespace {

const QString kUpToDate = QStringLiteral("Ya tiene la última versión");
const QString kPageError = QStringLiteral("Error opening Web page");
QString actualizacionError(const char *what)
{
    return QStringLiteral("Error ") + QString::fromUtf8(what) + QStringLiteral(" in procedure Actualizacion of Formulario frmMain");
}

struct Outcome {
    QStringList boxes;
    QStringList opened;
    bool ended = false;
};

Outcome runCommand(TestRun &run, const QString &baseUrl, const QVariant &installed, RecordingBrowser &browser)
{
    QtWebFetcher web(400, 16 * 1024);
    UpdateServices services;
    services.baseUrl = baseUrl;
    services.web = &web;
    services.browser = &browser;
    services.installedVersion = [installed] { return installed; };
    Outcome out;
    try {
        UltimaVersion(run.rt, services);
    } catch (const ProgramEnd &) {
        out.ended = true;
    }
    out.boxes = run.boxes.texts();
    out.opened = browser.opened;
    return out;
}

}  // namespace

TEST(UpdateCheck, TheCommandsOutcomesAgainstALocalServer)
{
    const struct Case {
        const char *name;
        int status;
        QByteArray body;
        QVariant installed;
        QStringList boxes;
        bool opens;
    } cases[] = {
        {"newer version", 200, "94</>http://updates.example/velmora-94.exe", 93, {}, true},
        {"newer than a missing installed value", 200, "94</>http://updates.example/velmora-94.exe\r\n",
         QVariant(), {}, true},
        {"installed as text", 200, " 94 </> http://updates.example/velmora-94.exe ", QStringLiteral("93"), {}, true},
        {"same version", 200, "94</>http://updates.example/velmora-94.exe", 94, {kUpToDate}, false},
        {"older announced", 200, "93</>http://updates.example/velmora-93.exe", QStringLiteral("94"), {kUpToDate}, false},
        // Whole numbers, not texts: 100 is newer than 99.
        {"compared as numbers", 200, "100</>http://updates.example/velmora-100.exe", QStringLiteral("99"), {}, true},
        {"no separator", 200, "94", 93, {actualizacionError("9 (Subscript out of range)"), kUpToDate}, false},
        {"field 0 not a number", 200, "9x4</>http://updates.example/v.exe", 93,
         {actualizacionError("13 (Type mismatch)"), kUpToDate}, false},
        {"address not http", 200, "94</>file:///C:/Windows/System32/calc.exe", 93,
         {actualizacionError("5 (La dirección de descarga no es una dirección http o https: "
                             "file:///C:/Windows/System32/calc.exe)"),
          kUpToDate},
         false},
        {"address a command", 200, "94</>calc.exe & del *.*", 93,
         {actualizacionError("5 (La dirección de descarga no es una dirección http o https: calc.exe & del *.*)"),
          kUpToDate},
         false},
        {"status 404", 404, "94</>http://updates.example/velmora-94.exe", 93,
         {kPageError, actualizacionError("9 (Subscript out of range)"), kUpToDate}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer server;
        server.answer(c.status, c.body);
        TestRun run;
        RecordingBrowser browser;
        const Outcome out = runCommand(run, server.baseUrl() + QLatin1Char('/'), c.installed, browser);
        EXPECT_EQ(server.requests(),
                  QStringList{QStringLiteral("GET /sistemas/DORVANE/VersionApp.xml HTTP/1.1")});
        EXPECT_EQ(out.boxes, c.boxes);
        EXPECT_EQ(out.opened, c.opens ? QStringList{QString(c.body).section(QStringLiteral("</>"), 1).trimmed()}
                                      : QStringList{});
        EXPECT_EQ(out.ended, c.opens);
        EXPECT_EQ(run.logText().contains(QLatin1String("Finalizar Programa")), c.opens);
    }
}

TEST(UpdateCheck, WithoutAServerThreeBoxesAndTheProgramGoesOn)
{
    TestRun run;
    RecordingBrowser browser;
    const Outcome out = runCommand(run, QStringLiteral("http://127.0.0.1:%1").arg(b2d::test::closedLocalPort()),
                                   93, browser);
    EXPECT_EQ(out.boxes, (QStringList{kPageError, actualizacionError("9 (Subscript out of range)"), kUpToDate}));
    EXPECT_FALSE(out.ended);
    EXPECT_TRUE(out.opened.isEmpty());
}

TEST(UpdateCheck, AnEndlessBodyOrASilentServerEndInABoxWithinTheBounds)
{
    for (const bool endless : {true, false}) {
        SCOPED_TRACE(endless ? "endless" : "silent");
        LocalHttpServer server;
        endless ? server.endless() : server.silent();
        TestRun run;
        RecordingBrowser browser;
        const Outcome out = runCommand(run, server.baseUrl(), 93, browser);
        EXPECT_EQ(out.boxes, (QStringList{kPageError, actualizacionError("9 (Subscript out of range)"), kUpToDate}));
        EXPECT_FALSE(out.ended);
    }
}

TEST(UpdateCheck, ABrowserThatCannotOpenKeepsTheProgramRunning)
{
    LocalHttpServer server;
    server.answer(200, "94</>https://updates.example/velmora-94.exe");
    TestRun run;
    RecordingBrowser browser;
    browser.works = false;
    const Outcome out = runCommand(run, server.baseUrl(), 93, browser);
    EXPECT_EQ(out.opened, QStringList{QStringLiteral("https://updates.example/velmora-94.exe")});
    EXPECT_EQ(out.boxes, QStringList{QStringLiteral("No se pudo abrir el navegador con la dirección de descarga:\n"
                                                    "https://updates.example/velmora-94.exe")});
    EXPECT_FALSE(out.ended);
    EXPECT_FALSE(run.logText().contains(QLatin1String("Finalizar Programa")));
}

TEST(UpdateCheck, WithoutAnAddressTheCommandSaysSoAndFetchesNothing)
{
    TestRun run;
    RecordingBrowser browser;
    const Outcome out = runCommand(run, QStringLiteral("  "), 93, browser);
    EXPECT_EQ(out.boxes, QStringList{QStringLiteral("No hay una dirección de actualización configurada (clave "
                                                    "base_url del grupo [update] del archivo de conexiones).")});
    EXPECT_FALSE(out.ended);
}

TEST(UpdateCheck, TheBaseAddressAndTheInstalledVersionComeFromTheirFiles)
{
    TestRun run;
    const QString connections = run.dir.filePath(QStringLiteral("connections.ini"));
    {
        QFile f(connections);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[HISTORIAL]\ndriver=sqlite\ndatabase=data/historial.db\n\n"
                "[Update]\nBASE_URL = http://updates.example:8080/ \n");
    }
    EXPECT_EQ(updateBaseUrl(connections), QStringLiteral("http://updates.example:8080/"));
    EXPECT_EQ(updateBaseUrl(run.dir.filePath(QStringLiteral("missing.ini"))), QString());
    EXPECT_EQ(updateBaseUrl(QString()), QString());

#ifndef Q_OS_WIN
    const QString version = run.dir.filePath(QStringLiteral("version.ini"));
    EXPECT_TRUE(LeerVersionInstalada(version).isNull());
    {
        QFile f(version);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; written by the package\n[Velmora]\nversion=94\n");
    }
    EXPECT_EQ(LeerVersionInstalada(version), QVariant(QStringLiteral("94")));
#endif
}
