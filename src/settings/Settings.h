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

}  // namespace b2d
