#pragma once

#include <QString>
#include <QStringList>

namespace b2d {

class SettingsStore;

inline constexpr const char *kSettingsApp = "VELMORAB2D";
inline constexpr const char *kSettingsSection = "GENERAL";

// The 21 settings, loaded at start-up by CargarConfiguracion.
struct Settings {
    QString PREFIJO;
    QString PREFIJOEXPO;
    bool PAISESSIM = false;
    bool PAISESDESCRIPCION = false;
    bool CONCEPTOSSIM = false;
    bool CONCEPTOSDESCRIPCION = false;
    bool TIPOOBLIGACION = false;
    bool INCLUIRDETALLEJURIS = false;
    bool IGNORARRELACIONCONCEPTO = false;
    bool IGNORARRELACIONPAIS = false;
    bool IGNORARRELACIONMONEDA = false;
    QString PREDETERMINARHORA;
    bool INCLUIR900PENCARATULA = false;
    bool FIXPROCESSREFERENCECODE = false;
    bool REQDIIMPO = false;
    bool REQCANALYFECHAS = false;
    bool PERMITIRFECHASVACIAS = false;
    bool OMITIRCODIGOALTERNATIVO = false;
    bool OMITIRRELACIONDJDI = false;
    QString RUTAB2D;
    QString RUTAGENXML;
};

// The keys in the order they are loaded.
const QStringList &settingKeys();

// Reads every key from the store.
Settings loadSettings(SettingsStore &store);
// The loaded value of a key as the debug window shows it ("1"/"0" for switches).
QString settingValueText(const Settings &s, const QString &key);
// A switch is on exactly when its text reads as the number 1.
bool switchIsOn(const QString &stored);

// True for one of the 21 keys (any case).
bool isSettingKey(const QString &key);
// True for the keys shown as check boxes (stored "1" or "0"); false for the text settings.
bool isSwitchSetting(const QString &key);
// Sets one setting from its stored text, by the rule the loader reads that key with. An unknown
// key changes nothing.
void applySetting(Settings &s, const QString &key, const QString &stored);

// Saving, as the configuration window does it: every key in the order of the table, a text as
// typed and a switch as "1" or "0"; each key is taken into `processWide` as it is stored, so the
// next generation of the run uses it. Throws B2DError when the store cannot be written.
void GuardarConfiguracion(SettingsStore &store, Settings &processWide, const Settings &values);
// Stores one key by the same rules, for the command line: a text as given, a switch only as
// "0" or "1" (blanks around it trimmed). False with `error` set for an unknown key or another
// switch value; nothing is stored then.
bool storeSetting(SettingsStore &store, const QString &key, const QString &value, QString *error);

}  // namespace b2d
