#pragma once

#include <QString>

namespace b2d {

// The per-user settings store: application, section, key -> text. A missing key reads as the
// empty text. It hands back exactly the text that was saved or written by hand.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString get(const QString &app, const QString &section, const QString &key) const = 0;
    virtual void save(const QString &app, const QString &section, const QString &key,
                      const QString &value) = 0;
    // Every key of a section, in a stable order (for the debug window).
    virtual QStringList keys(const QString &app, const QString &section) const = 0;
};

}  // namespace b2d
