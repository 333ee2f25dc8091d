#pragma once

#include "platform/SettingsStore.h"

#include <functional>
#include <memory>

namespace b2d {

// A settings store over INI files: `[SECTION]` groups, `KEY=value` lines, `;` and `#` comments.
// A value is handed back exactly as written between the `=` and the end of the line (blanks
// around it aside): commas, backslashes and a group named GENERAL mean nothing special. A value
// wholly enclosed in double quotes loses one pair of quotes, so that values with outer blanks
// can be saved. Sections and keys are matched without regard to case; the first of duplicated
// keys wins. The file is read as UTF-8 (ISO-8859-1 when it is not valid UTF-8) and saved as
// UTF-8, atomically; a save keeps every other line, comment, key and section as it was.
class IniSettingsStore final : public SettingsStore {
public:
    // One file for every application (the file given with --settings).
    static std::unique_ptr<IniSettingsStore> singleFile(const QString &path);
    // One file per application in `folder`: folder/APP.ini (the per-user store).
    static std::unique_ptr<IniSettingsStore> perApplication(const QString &folder);

    QString get(const QString &app, const QString &section, const QString &key) const override;
    // Throws B2DError naming the file when it cannot be written.
    void save(const QString &app, const QString &section, const QString &key,
              const QString &value) override;
    QStringList keys(const QString &app, const QString &section) const override;

    QString fileFor(const QString &app) const { return m_fileFor(app); }

private:
    explicit IniSettingsStore(std::function<QString(const QString &)> fileFor)
        : m_fileFor(std::move(fileFor))
    {
    }
    std::function<QString(const QString &app)> m_fileFor;
};

// The per-user folder of the program's own files (settings, connections).
QString userConfigFolder();

// The settings store of a run: the INI file `settingsFile` when given; otherwise the per-user
// store (on Windows the registry under HKEY_CURRENT_USER\Software\VB and VBA Program Settings,
// where the office's existing settings live; elsewhere userConfigFolder()/VELMORAB2D.ini).
std::unique_ptr<SettingsStore> openSettingsStore(const QString &settingsFile);

}  // namespace b2d
