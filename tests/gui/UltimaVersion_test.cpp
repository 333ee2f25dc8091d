#include "gui/Frm_DEBUG.h"
#include "gui/Frm_Main.h"

#include "platform/WebFetch.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingBrowser.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

struct UpdateWindow : ::testing::Test {
    TestRun run;
    LocalHttpServer server;
    QtWebFetcher web{600, 16 * 1024};
    RecordingBrowser browser;

    UpdateServices services()
    {
        UpdateServices s;
        s.baseUrl = server.baseUrl();
        s.web = &web;
        s.browser = &browser;
        s.installedVersion = [] { return QVariant(93); };
        return s;
    }
    static QPushButton *command(Frm_Main &w)
    {
        auto *b = w.findChild<QPushButton *>(QStringLiteral("cmdUltimaVersion"));
        EXPECT_NE(b, nullptr);
        return b;
    }
};

}  // namespace

TEST_F(UpdateWindow, ANewerVersionOpensTheBrowserAndEndsTheProgramInOrder)
{
    server.answer(200, "94</>https://updates.example/velmora-94.exe");
    Frm_Main w(run.rt);
    w.setUpdateServices(services());
    w.show();
    QSignalSpy ended(&w, &Frm_Main::programEnded);
    EXPECT_EQ(command(w)->text(), QStringLiteral("Obtener última versión"));

    QTest::mouseClick(command(w), Qt::LeftButton);

    EXPECT_EQ(browser.opened, QStringList{QStringLiteral("https://updates.example/velmora-94.exe")});
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(run.logText().contains(QLatin1String("Finalizar Programa")));
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST_F(UpdateWindow, WhileTheFetchWaitsTheWindowTakesNoOtherCommand)
{
    server.silent();
    Frm_Main w(run.rt);
    w.setUpdateServices(services());
    w.show();
    auto *grid = w.findChild<QTableView *>(QStringLiteral("MsFgListaInternos"));
    bool enabledMeanwhile = true;
    QTimer::singleShot(150, &w, [&] {
        enabledMeanwhile = command(w)->isEnabled();
        QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(grid, Qt::Key_Escape);
    });

    QTest::mouseClick(command(w), Qt::LeftButton);

    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_FALSE(w.hasEnded());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(command(w)->isEnabled());
    EXPECT_FALSE(w.debugWindow().isVisible());
    EXPECT_EQ(run.boxes.texts(),
              (QStringList{QStringLiteral("Error opening Web page"),
                           QStringLiteral("Error 9 (Subscript out of range) in procedure Actualizacion of "
                                          "Formulario frmMain"),
                           QStringLiteral("Ya tiene la última versión")}));
    EXPECT_TRUE(browser.opened.isEmpty());
}

TEST_F(UpdateWindow, WithoutAnUpdateAddressTheCommandSaysSo)
{
    Frm_Main w(run.rt);
    w.show();
    QTest::mouseClick(command(w), Qt::LeftButton);
    EXPECT_EQ(run.boxes.texts(),
              QStringList{QStringLiteral("No hay una dirección de actualización configurada (clave base_url "
                                         "del grupo [update] del archivo de conexiones).")});
    EXPECT_FALSE(w.hasEnded());
}
