#include "settings/Settings.h"

#include "platform/SettingsStore.h"
#include "values/Values.h"

#include <variant>

namespace b2d {

namespace {

// How a key is loaded: a text as stored, a switch on "1", or the one switch stored as a Boolean
// text.
struct BooleanText {
    bool Settings::*member;
};
using Target = std::variant<QString Settings::*, bool Settings::*, BooleanText>;

struct SettingDef {
    const char *key;
    Target target;
};

// The settings in the order they are loaded.
const SettingDef kSettings[] = {
    {"PREFIJO", &Settings::PREFIJO},
    {"PREFIJOEXPO", &Settings::PREFIJOEXPO},
    {"PAISESSIM", &Settings::PAISESSIM},
    {"PAISESDESCRIPCION", &Settings::PAISESDESCRIPCION},
    {"CONCEPTOSSIM", &Settings::CONCEPTOSSIM},
    {"CONCEPTOSDESCRIPCION", &Settings::CONCEPTOSDESCRIPCION},
    {"TIPOOBLIGACION", &Settings::TIPOOBLIGACION},
    {"INCLUIRDETALLEJURIS", &Settings::INCLUIRDETALLEJURIS},
    {"IGNORARRELACIONCONCEPTO", &Settings::IGNORARRELACIONCONCEPTO},
    {"IGNORARRELACIONPAIS", &Settings::IGNORARRELACIONPAIS},
    {"IGNORARRELACIONMONEDA", &Settings::IGNORARRELACIONMONEDA},
    {"PREDETERMINARHORA", &Settings::PREDETERMINARHORA},
    {"INCLUIR900PENCARATULA", BooleanText{&Settings::INCLUIR900PENCARATULA}},
    {"FIXPROCESSREFERENCECODE", &Settings::FIXPROCESSREFERENCECODE},
    {"REQDIIMPO", &Settings::REQDIIMPO},
    {"REQCANALYFECHAS", &Settings::REQCANALYFECHAS},
    {"PERMITIRFECHASVACIAS", &Settings::PERMITIRFECHASVACIAS},
    {"OMITIRCODIGOALTERNATIVO", &Settings::OMITIRCODIGOALTERNATIVO},
    {"OMITIRRELACIONDJDI", &Settings::OMITIRRELACIONDJDI},
    {"RUTAB2D", &Settings::RUTAB2D},
    {"RUTAGENXML", &Settings::RUTAGENXML},
};

const SettingDef *findSetting(const QString &key)
{
    for (const SettingDef &d : kSettings)
        if (key.compare(QLatin1String(d.key), Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

// A Boolean stored as text: True/False in any case, or a number (any number but 0 is on).
// A missing, empty or unreadable text is off.
bool booleanTextIsOn(const QString &stored)
{
    const QString t = stored.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || !isNumeric(t))
        return false;
    const auto n = readNumber(t);
    return n && *n != 0;
}

}  // namespace

const QStringList &settingKeys()
{
    static const QStringList keys = [] {
        QStringList out;
        for (const SettingDef &d : kSettings)
            out << QLatin1String(d.key);
        return out;
    }();
    return keys;
}

bool switchIsOn(const QString &stored)
{
    const auto n = readNumber(stored);
    return n && *n == 1;
}

bool isSettingKey(const QString &key)
{
    return findSetting(key) != nullptr;
}

bool isSwitchSetting(const QString &key)
{
    const SettingDef *d = findSetting(key);
    return d && !std::holds_alternative<QString Settings::*>(d->target);
}

void applySetting(Settings &s, const QString &key, const QString &stored)
{
    const SettingDef *d = findSetting(key);
    if (!d)
        return;
    if (const auto text = std::get_if<QString Settings::*>(&d->target))
        s.*(*text) = stored;
    else if (const auto flag = std::get_if<bool Settings::*>(&d->target))
        s.*(*flag) = switchIsOn(stored);
    else
        s.*(std::get<BooleanText>(d->target).member) = booleanTextIsOn(stored);
}

Settings loadSettings(SettingsStore &store)
{
    Settings cfg;
    const QString app = QLatin1String(kSettingsApp);
    const QString section = QLatin1String(kSettingsSection);
    for (const QString &key : settingKeys())
        applySetting(cfg, key, store.get(app, section, key));
    return cfg;
}

void GuardarConfiguracion(SettingsStore &store, Settings &processWide, const Settings &values)
{
    const QString app = QLatin1String(kSettingsApp);
    const QString section = QLatin1String(kSettingsSection);
    for (const QString &key : settingKeys()) {
        const QString text = settingValueText(values, key);
        applySetting(processWide, key, text);
        store.save(app, section, key, text);
    }
}

bool storeSetting(SettingsStore &store, const QString &key, const QString &value, QString *error)
{
    const SettingDef *d = findSetting(key);
    if (!d) {
        *error = QStringLiteral("unknown setting %1").arg(key);
        return false;
    }
    QString text = value;
    if (isSwitchSetting(key)) {
        text = value.trimmed();
        if (text != QLatin1String("0") && text != QLatin1String("1")) {
            *error = QStringLiteral("%1 is a switch: its value is 0 or 1, not \"%2\"")
                         .arg(QLatin1String(d->key), value);
            return false;
        }
    }
    store.save(QLatin1String(kSettingsApp), QLatin1String(kSettingsSection), QLatin1String(d->key),
               text);
    return true;
}

QString settingValueText(const Settings &s, const QString &key)
{
    const SettingDef *d = findSetting(key);
    if (!d)
        return {};
    if (const auto text = std::get_if<QString Settings::*>(&d->target))
        return s.*(*text);
    const bool on = std::holds_alternative<bool Settings::*>(d->target)
        ? s.*(std::get<bool Settings::*>(d->target))
        : s.*(std::get<BooleanText>(d->target).member);
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace b2d
