#include "settings/Settings.h"

#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

using namespace b2d;

namespace {

const QString kApp = QStringLiteral("VELMORAB2D");
const QString kSection = QStringLiteral("GENERAL");

// A store that keeps every save in order.
class RecordingStore final : public SettingsStore {
public:
    QString get(const QString &a, const QString &s, const QString &k) const override
    {
        return m_inner.get(a, s, k);
    }
    void save(const QString &a, const QString &s, const QString &k, const QString &v) override
    {
        saves << (a + QLatin1Char('/') + s + QLatin1Char('/') + k + QLatin1Char('=') + v);
        m_inner.save(a, s, k, v);
    }
    QStringList keys(const QString &a, const QString &s) const override { return m_inner.keys(a, s); }

    QStringList saves;

private:
    MemorySettingsStore m_inner;
};

// The window's values: each text a text of its own (blanks kept), the switches alternating.
Settings distinctValues()
{
    Settings v;
    bool on = true;
    for (const QString &key : settingKeys()) {
        applySetting(v, key, isSwitchSetting(key) ? (on ? QStringLiteral("1") : QStringLiteral("0"))
                                                   : QStringLiteral(" ") + key.toLower() + QStringLiteral("\\x "));
        if (isSwitchSetting(key))
            on = !on;
    }
    return v;
}

}  // namespace

TEST(SettingsStorage, SavingStoresEveryKeyInTableOrderAndTakesItIntoTheRun)
{
    RecordingStore store;
    Settings run;  // the process-wide values: all off, all empty
    const Settings values = distinctValues();

    GuardarConfiguracion(store, run, values);

    // Named by hand in the order of the settings table: texts as typed, switches alternating.
    QStringList expected;
    for (const char *saved : {"PREFIJO= prefijo\\x ", "PREFIJOEXPO= prefijoexpo\\x ", "PAISESSIM=1",
                              "PAISESDESCRIPCION=0", "CONCEPTOSSIM=1", "CONCEPTOSDESCRIPCION=0", "TIPOOBLIGACION=1",
                              "INCLUIRDETALLEJURIS=0", "IGNORARRELACIONCONCEPTO=1", "IGNORARRELACIONPAIS=0",
                              "IGNORARRELACIONMONEDA=1", "PREDETERMINARHORA= predeterminarhora\\x ",
                              "INCLUIR900PENCARATULA=0", "FIXPROCESSREFERENCECODE=1", "REQDIIMPO=0",
                              "REQCANALYFECHAS=1", "PERMITIRFECHASVACIAS=0", "OMITIRCODIGOALTERNATIVO=1",
                              "OMITIRRELACIONDJDI=0", "RUTAB2D= rutab2d\\x ", "RUTAGENXML= rutagenxml\\x "})
        expected << kApp + QLatin1Char('/') + kSection + QLatin1Char('/') + QLatin1String(saved);
    EXPECT_EQ(store.saves, expected);
    for (const QString &key : settingKeys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(settingValueText(run, key), settingValueText(values, key));
    }
    EXPECT_EQ(run.PREFIJOEXPO, QStringLiteral(" prefijoexpo\\x "));
    EXPECT_TRUE(run.PAISESSIM);
    EXPECT_FALSE(run.PAISESDESCRIPCION);
    // Loading what was saved gives the same values back.
    const Settings reloaded = loadSettings(store);
    for (const QString &key : settingKeys())
        EXPECT_EQ(settingValueText(reloaded, key), settingValueText(values, key)) << key.toStdString();
}

TEST(SettingsStorage, TheSwitchStoredAsABooleanStaysOnThroughASave)
{
    for (const char *stored : {"True", "-1", "1"}) {
        SCOPED_TRACE(stored);
        MemorySettingsStore store;
        store.save(kApp, kSection, QStringLiteral("INCLUIR900PENCARATULA"), QLatin1String(stored));
        Settings run = loadSettings(store);
        ASSERT_TRUE(run.INCLUIR900PENCARATULA);
        GuardarConfiguracion(store, run, loadSettings(store));
        EXPECT_EQ(store.get(kApp, kSection, QStringLiteral("INCLUIR900PENCARATULA")), QStringLiteral("1"));
        EXPECT_TRUE(run.INCLUIR900PENCARATULA);
    }
}

TEST(SettingsStorage, OneKeyIsStoredByTheWindowsRulesOrRefused)
{
    const struct {
        const char *key;
        const char *value;
        bool ok;
        const char *storedKey;  // where it lands
        const char *stored;     // nullptr: nothing stored
    } cases[] = {
        {"PREFIJO", " DVN_ ", true, "PREFIJO", " DVN_ "},
        {"rutagenxml", "C:\\B2D\\OUT\\", true, "RUTAGENXML", "C:\\B2D\\OUT\\"},
        {"PREDETERMINARHORA", "", true, "PREDETERMINARHORA", ""},
        {"REQDIIMPO", "1", true, "REQDIIMPO", "1"},
        {"REQDIIMPO", " 0 ", true, "REQDIIMPO", "0"},
        {"INCLUIR900PENCARATULA", "1", true, "INCLUIR900PENCARATULA", "1"},
        {"REQDIIMPO", "2", false, "REQDIIMPO", nullptr},
        {"REQDIIMPO", "True", false, "REQDIIMPO", nullptr},
        {"REQDIIMPO", "", false, "REQDIIMPO", nullptr},
        {"INCLUIR900PENCARATULA", "True", false, "INCLUIR900PENCARATULA", nullptr},
        {"PREFIJOS", "X", false, "PREFIJOS", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        RecordingStore store;
        QString error;
        EXPECT_EQ(storeSetting(store, QLatin1String(c.key), QLatin1String(c.value), &error), c.ok);
        if (c.stored) {
            EXPECT_EQ(store.saves, QStringList{kApp + QLatin1Char('/') + kSection + QLatin1Char('/')
                                               + QLatin1String(c.storedKey) + QLatin1Char('=')
                                               + QLatin1String(c.stored)});
            EXPECT_TRUE(error.isEmpty());
        } else {
            EXPECT_TRUE(store.saves.isEmpty());
            EXPECT_TRUE(error.contains(QLatin1String(c.key))) << error.toStdString();
        }
    }
}
