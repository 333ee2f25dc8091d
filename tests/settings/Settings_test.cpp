#include "settings/Settings.h"

#include "platform/IniSettingsStore.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace b2d;

namespace {

void saveSetting(SettingsStore &store, const QString &key, const QString &value)
{
    store.save(QStringLiteral("VELMORAB2D"), QStringLiteral("GENERAL"), key, value);
}

TEST(Settings, SwitchIsOnOnlyForTextThatReadsAsOne)
{
    const struct {
        const char *stored;
        bool on;
    } cases[] = {
        {"1", true},   {" 1 ", true},  {"1.0", true},  {"1,0", true}, {"01", true},
        {"0", false},  {"2", false},   {"-1", false},  {"word", false}, {"", false},
        {"1.5", false}, {"1.234,5", false}, {"True", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(switchIsOn(QLatin1String(c.stored)), c.on);
    }
}

TEST(Settings, NothingSavedLoadsEmptyTextsAndSwitchesOff)
{
    test::TestRun run;
    run.rt.cfg.PREFIJO = QStringLiteral("stale");
    run.rt.cfg.REQDIIMPO = true;
    run.rt.cfg.INCLUIR900PENCARATULA = true;
    CargarConfiguracion(run.rt);
    for (const QString &key : settingKeys()) {
        SCOPED_TRACE(key.toStdString());
        const QString v = settingValueText(run.rt.cfg, key);
        EXPECT_TRUE(v.isEmpty() || v == QStringLiteral("0")) << v.toStdString();
    }
}

TEST(Settings, LoadsEveryKeyOfTheGeneralSection)
{
    test::TestRun run;
    for (const QString &key : settingKeys())
        saveSetting(run.store, key, QStringLiteral("1"));
    saveSetting(run.store, QStringLiteral("RUTAGENXML"), QStringLiteral("C:\\B2D\\OUT\\"));
    run.store.save(QStringLiteral("VELMORAB2D"), QStringLiteral("OTRA"), QStringLiteral("PREFIJO"),
                   QStringLiteral("elsewhere"));
    CargarConfiguracion(run.rt);
    EXPECT_EQ(run.rt.cfg.RUTAGENXML, QStringLiteral("C:\\B2D\\OUT\\"));
    for (const QString &key : settingKeys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(settingValueText(run.rt.cfg, key), key == QStringLiteral("RUTAGENXML")
                                                         ? QStringLiteral("C:\\B2D\\OUT\\")
                                                         : QStringLiteral("1"));
    }
    EXPECT_EQ(settingValueText(run.rt.cfg, QStringLiteral("NOSUCHKEY")), QString());
}

TEST(Settings, Incluir900PAcceptsBooleanWordsAndNumbers)
{
    const struct {
        const char *stored;  // nullptr: never saved
        bool on;
    } cases[] = {
        {"1", true},   {"True", true},    {"true", true},  {"-1", true}, {" TRUE ", true},
        {"0", false},  {"False", false},  {"", false},     {nullptr, false},
        {"word", false}, {"0.0", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        test::TestRun run;
        if (c.stored)
            saveSetting(run.store, QStringLiteral("INCLUIR900PENCARATULA"), QLatin1String(c.stored));
        saveSetting(run.store, QStringLiteral("FIXPROCESSREFERENCECODE"), QStringLiteral("1"));
        CargarConfiguracion(run.rt);
        EXPECT_EQ(run.rt.cfg.INCLUIR900PENCARATULA, c.on);
        // The keys after it are still loaded.
        EXPECT_TRUE(run.rt.cfg.FIXPROCESSREFERENCECODE);
    }
}

TEST(Settings, LoadsAHandWrittenIniFile)
{
    test::TestRun run;
    const QString path = run.dir.filePath(QStringLiteral("b2d.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[GENERAL]\r\nPREFIJO=ACME, S.A.\r\nRUTAGENXML=C:\\B2D\\OUT\\\r\nPAISESSIM=1\r\n"
            "REQDIIMPO=2\r\nINCLUIR900PENCARATULA=True\r\n");
    f.close();
    const auto store = openSettingsStore(path);
    Runtime rt(run.data.db(), run.boxes, *store, run.log, run.clock);
    CargarConfiguracion(rt);
    EXPECT_EQ(rt.cfg.PREFIJO, QStringLiteral("ACME, S.A."));
    EXPECT_EQ(rt.cfg.RUTAGENXML, QStringLiteral("C:\\B2D\\OUT\\"));
    EXPECT_TRUE(rt.cfg.PAISESSIM);
    EXPECT_FALSE(rt.cfg.REQDIIMPO);
    EXPECT_TRUE(rt.cfg.INCLUIR900PENCARATULA);
}

}  // namespace
