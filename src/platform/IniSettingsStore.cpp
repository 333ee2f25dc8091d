#include "platform/IniSettingsStore.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace b2d {

namespace {

// An INI file held as its lines, so that a save rewrites one line and leaves the rest alone.
struct IniText {
    QStringList lines;
    QString eol = QStringLiteral("\n");
    bool bom = false;

    static IniText load(const QString &path)
    {
        IniText t;
#ifdef Q_OS_WIN
        t.eol = QStringLiteral("\r\n");
#endif
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return t;
        QByteArray bytes = f.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            t.bom = true;
            bytes.remove(0, 3);
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (utf8.hasError())
            text = QString::fromLatin1(bytes);
        if (const qsizetype lf = text.indexOf(QLatin1Char('\n')); lf >= 0)
            t.eol = (lf > 0 && text[lf - 1] == QLatin1Char('\r')) ? QStringLiteral("\r\n")
                                                                 : QStringLiteral("\n");
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        t.lines = text.split(QLatin1Char('\n'));
        if (!t.lines.isEmpty() && t.lines.last().isEmpty())
            t.lines.removeLast();
        return t;
    }

    static std::optional<QString> sectionOf(const QString &line)
    {
        const QString s = line.trimmed();
        if (s.size() >= 2 && s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']')))
            return s.mid(1, s.size() - 2).trimmed();
        return std::nullopt;
    }

    // The key of a `key=value` line (empty for comments, blanks and other lines).
    static QString keyOf(const QString &line)
    {
        const QString s = line.trimmed();
        if (s.startsWith(QLatin1Char(';')) || s.startsWith(QLatin1Char('#')))
            return {};
        const qsizetype eq = s.indexOf(QLatin1Char('='));
        return eq > 0 ? s.left(eq).trimmed() : QString();
    }

    static QString valueOf(const QString &line)
    {
        QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
            v = v.mid(1, v.size() - 2);
        return v;
    }

    static QString encode(QString value)
    {
        // One line per key: a line break inside a value cannot be kept in this format.
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        value.replace(QLatin1Char('\r'), QLatin1Char(' '));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
        const bool quoted = value.size() >= 2 && value.startsWith(QLatin1Char('"'))
            && value.endsWith(QLatin1Char('"'));
        if (quoted || value != value.trimmed())
            return QLatin1Char('"') + value + QLatin1Char('"');
        return value;
    }

    static bool same(const QString &a, const QString &b)
    {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }

    // Calls visit(index, key) for every key line of `section`, in order, until it answers true.
    template <typename F>
    void forEachKey(const QString &section, F &&visit) const
    {
        bool inSection = section.isEmpty();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (const auto s = sectionOf(lines[i])) {
                inSection = same(*s, section);
                continue;
            }
            if (!inSection)
                continue;
            const QString key = keyOf(lines[i]);
            if (!key.isEmpty() && visit(i, key))
                return;
        }
    }

    qsizetype find(const QString &section, const QString &key) const
    {
        qsizetype found = -1;
        forEachKey(section, [&](qsizetype i, const QString &k) {
            if (!same(k, key))
                return false;
            found = i;
            return true;
        });
        return found;
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        if (const qsizetype at = find(section, key); at >= 0) {
            lines[at] = keyOf(lines[at]) + QLatin1Char('=') + encode(value);
            return;
        }
        const QString line = key + QLatin1Char('=') + encode(value);
        // After the last non-blank line of the section's first appearance.
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const auto s = sectionOf(lines[i]);
            if (!s || !same(*s, section))
                continue;
            qsizetype last = i;
            for (qsizetype j = i + 1; j < lines.size() && !sectionOf(lines[j]); ++j)
                if (!lines[j].trimmed().isEmpty())
                    last = j;
            lines.insert(last + 1, line);
            return;
        }
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
    }

    bool save(const QString &path, QString &error) const
    {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("no se puede crear la carpeta ") + folder;
            return false;
        }
        QByteArray bytes = bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (const QString &l : lines)
            bytes += (l + eol).toUtf8();
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
            error = f.errorString();
            return false;
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<IniSettingsStore> IniSettingsStore::singleFile(const QString &path)
{
    return std::unique_ptr<IniSettingsStore>(
        new IniSettingsStore([path](const QString &) { return path; }));
}

std::unique_ptr<IniSettingsStore> IniSettingsStore::perApplication(const QString &folder)
{
    return std::unique_ptr<IniSettingsStore>(new IniSettingsStore([folder](const QString &app) -> QString {
        return folder + QLatin1Char('/') + app + QStringLiteral(".ini");
    }));
}

QString IniSettingsStore::get(const QString &app, const QString &section, const QString &key) const
{
    const IniText t = IniText::load(fileFor(app));
    const qsizetype at = t.find(section, key);
    return at >= 0 ? IniText::valueOf(t.lines[at]) : QString();
}

void IniSettingsStore::save(const QString &app, const QString &section, const QString &key,
                            const QString &value)
{
    const QString path = fileFor(app);
    IniText t = IniText::load(path);
    t.set(section, key, value);
    QString error;
    if (!t.save(path, error))
        throw B2DError(ErrNo::PermissionDenied, QStringLiteral("SaveSetting"),
                       QStringLiteral("No se puede guardar la configuración en ") + path
                           + QStringLiteral(" (") + error + QLatin1Char(')'));
}

QStringList IniSettingsStore::keys(const QString &app, const QString &section) const
{
    const IniText t = IniText::load(fileFor(app));
    QStringList out;
    t.forEachKey(section, [&](qsizetype, const QString &k) {
        if (!out.contains(k, Qt::CaseInsensitive))
            out << k;
        return false;
    });
    return out;
}

QString userConfigFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/VelmoraB2D");
}

#ifdef Q_OS_WIN
namespace {

// The store the office's earlier program used: the registry under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\APP\SECTION.
class RegistrySettingsStore final : public SettingsStore {
public:
    QString get(const QString &app, const QString &section, const QString &key) const override
    {
        const QSettings s(path(app, section), QSettings::NativeFormat);
        return s.value(key).toString();
    }
    void save(const QString &app, const QString &section, const QString &key,
              const QString &value) override
    {
        QSettings s(path(app, section), QSettings::NativeFormat);
        s.setValue(key, value);
        s.sync();
        if (s.status() != QSettings::NoError)
            throw B2DError(ErrNo::PermissionDenied, QStringLiteral("SaveSetting"),
                           QStringLiteral("No se puede guardar la configuración en ")
                               + path(app, section));
    }
    QStringList keys(const QString &app, const QString &section) const override
    {
        const QSettings s(path(app, section), QSettings::NativeFormat);
        return s.childKeys();
    }

private:
    static QString path(const QString &app, const QString &section)
    {
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + app
            + QLatin1Char('\\') + section;
    }
};

}  // namespace
#endif

std::unique_ptr<SettingsStore> openSettingsStore(const QString &settingsFile)
{
    if (!settingsFile.isEmpty())
        return IniSettingsStore::singleFile(settingsFile);
#ifdef Q_OS_WIN
    return std::make_unique<RegistrySettingsStore>();
#else
    return IniSettingsStore::perApplication(userConfigFolder());
#endif
}

}  // namespace b2d
