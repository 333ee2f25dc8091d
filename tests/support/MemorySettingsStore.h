#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

namespace b2d {

// A settings store held in memory (tests; a machine where nothing was ever saved).
class MemorySettingsStore final : public SettingsStore {
public:
    QString get(const QString &app, const QString &section, const QString &key) const override
    {
        return m_values.value(path(app, section, key));
    }
    void save(const QString &app, const QString &section, const QString &key,
              const QString &value) override
    {
        m_values.insert(path(app, section, key), value);
    }
    QStringList keys(const QString &app, const QString &section) const override
    {
        QStringList out;
        const QString prefix = app.toUpper() + QLatin1Char('/') + section.toUpper() + QLatin1Char('/');
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            if (it.key().startsWith(prefix))
                out << it.key().mid(prefix.size());
        return out;
    }

private:
    static QString path(const QString &app, const QString &section, const QString &key)
    {
        return app.toUpper() + QLatin1Char('/') + section.toUpper() + QLatin1Char('/') + key.toUpper();
    }
    QMap<QString, QString> m_values;
};

}  // namespace b2d
