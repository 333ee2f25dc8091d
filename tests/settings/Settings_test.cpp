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

// The fields as the program reads them, named here by hand (not through the settings' own key
// table), so that a key wired to the wrong field fails.
struct TextField {
    const char *key;
    QString Settings::*field;
};
const TextField kTextFields[] = {
    {"PREFIJO", &Settings::PREFIJO},
    {"PREFIJOEXPO", &Settings::PREFIJOEXPO},
    {"PREDETERMINARHORA", &Settings::PREDETERMINARHORA},
    {"RUTAB2D", &Settings::RUTAB2D},
    {"RUTAGENXML", &Settings::RUTAGENXML},
};
struct SwitchField {
    const char *key;
    bool Settings::*field;
};
const SwitchField kSwitchFields[] = {
    {"PAISESSIM", &Settings::PAISESSIM},
    {"PAISESDESCRIPCION", &Settings::PAISESDESCRIPCION},
    {"CONCEPTOSSIM", &Settings::CONCEPTOSSIM},
    {"CONCEPTOSDESCRIPCION", &Settings::CONCEPTOSDESCRIPCION},
    {"TIPOOBLIGACION", &Settings::TIPOOBLIGACION},
    {"INCLUIRDETALLEJURIS", &Settings::INCLUIRDETALLEJURIS},
    {"IGNORARRELACIONCONCEPTO", &Settings::IGNORARRELACIONCONCEPTO},
    {"IGNORARRELACIONPAIS", &Settings::IGNORARRELACIONPAIS},
    {"IGNORARRELACIONMONEDA", &Settings::IGNORARRELACIONMONEDA},
    {"INCLUIR900PENCARATULA", &Settings::INCLUIR900PENCARATULA},
    {"FIXPROCESSREFERENCECODE", &Settings::FIXPROCESSREFERENCECODE},
    {"REQDIIMPO", &Settings::REQDIIMPO},
    {"REQCANALYFECHAS", &Settings::REQCANALYFECHAS},
    {"PERMITIRFECHASVACIAS", &Settings::PERMITIRFECHASVACIAS},
    {"OMITIRCODIGOALTERNATIVO", &Settings::OMITIRCODIGOALTERNATIVO},
    {"OMITIRRELACIONDJDI", &Settings::OMITIRRELACIONDJDI},
};

TEST(Settings, EveryKeyReachesItsOwnField)
{
    EXPECT_EQ(std::size(kTextFields) + std::size(kSwitchFields), std::size_t(settingKeys().size()));

    // Each text key a value of its own; a switch stale in the run and keys of another section
    // are not what is loaded.
    test::TestRun texts;
    texts.rt.cfg.REQDIIMPO = true;
    for (const TextField &t : kTextFields) {
        saveSetting(texts.store, QLatin1String(t.key), QStringLiteral("value of ") + QLatin1String(t.key));
        texts.store.save(QStringLiteral("VELMORAB2D"), QStringLiteral("OTRA"), QLatin1String(t.key),
                         QStringLiteral("elsewhere"));
    }
    CargarConfiguracion(texts.rt);
    for (const TextField &t : kTextFields)
        EXPECT_EQ(texts.rt.cfg.*(t.field), QStringLiteral("value of ") + QLatin1String(t.key)) << t.key;
    for (const SwitchField &s : kSwitchFields)
        EXPECT_FALSE(texts.rt.cfg.*(s.field)) << s.key;

    // Each switch on alone: only its own field is on.
    for (const SwitchField &on : kSwitchFields) {
        SCOPED_TRACE(on.key);
        test::TestRun run;
        for (const SwitchField &s : kSwitchFields)
            saveSetting(run.store, QLatin1String(s.key), &s == &on ? QStringLiteral("1") : QStringLiteral("0"));
        CargarConfiguracion(run.rt);
        for (const SwitchField &s : kSwitchFields)
            EXPECT_EQ(run.rt.cfg.*(s.field), &s == &on) << s.key;
        for (const TextField &t : kTextFields)
            EXPECT_EQ(run.rt.cfg.*(t.field), QString()) << t.key;
    }
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
