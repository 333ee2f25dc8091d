#include "cli/ConfigCommand.h"

#include "platform/Error.h"
#include "platform/IniSettingsStore.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QTextStream>

namespace b2d::cli {

QString ConfigCommand::description() const
{
    return QStringLiteral(
        "Shows the 21 settings (show) or stores one (set KEY VALUE), as the configuration\n"
        "window does: a text as given, a switch as 0 or 1. With --settings FILE the INI file is\n"
        "the store; otherwise the per-user store.");
}

int ConfigCommand::execute(Invocation &inv)
{
    const QStringList &args = inv.arguments;
    const QString verb = args.value(0);
    const bool show = verb == QLatin1String("show") && args.size() == 1;
    const bool set = verb == QLatin1String("set") && args.size() == 3;
    if (!show && !set)
        return inv.usageError(args.isEmpty()
                                  ? QStringLiteral("config needs show or set KEY VALUE")
                                  : QStringLiteral("config takes show or set KEY VALUE, got \"%1\"")
                                        .arg(args.join(QLatin1Char(' '))),
                              name());
    const QString &file = inv.common.settingsFile;
    if (!file.isEmpty() && !QFileInfo(file).isFile())
        return inv.usageError(QStringLiteral("settings file not found: %1").arg(file), name());

    try {
        const auto store = openSettingsStore(file);
        if (show) {
            const Settings loaded = loadSettings(*store);
            for (const QString &key : settingKeys())
                inv.io.out << key << '=' << settingValueText(loaded, key) << '\n';
            inv.io.out.flush();
            return ExitOk;
        }
        QString error;
        if (!storeSetting(*store, args.at(1), args.at(2), &error))
            return inv.usageError(error, name());
        return ExitOk;
    } catch (const B2DError &e) {
        inv.error(e.description());
        return ExitFailed;
    }
}

}  // namespace b2d::cli
