#include "app/RunLog.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace b2d {

RunLog::RunLog(const Clock &clock, QString folder)
    : m_clock(clock), m_folder(folder.isEmpty() ? chooseLogFolder() : std::move(folder))
{
}

static bool folderWritable(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.probe-XXXXXX"));
    return probe.open();
}

QString RunLog::chooseLogFolder()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Logs");
    if (!QCoreApplication::applicationDirPath().isEmpty() && folderWritable(beside))
        return beside;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/VelmoraB2D");
    return data + QStringLiteral("/Logs");
}

QString RunLog::NombreArchivoLog() const
{
    return m_clock.now().date().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".Log");
}

QString RunLog::RutaArchivoLog()
{
    if (!QDir().mkpath(m_folder))
        return {};
    const QString path = m_folder + QStringLiteral("/VelmoraB2D_") + NombreArchivoLog();
    if (!QFileInfo::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::Append))
            return {};
        f.write(QByteArray(94, '-') + "\r\n");
    }
    return path;
}

void RunLog::EscribirLog(const QString &message)
{
    const QString path = RutaArchivoLog();
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append))
        return;
    const QDateTime now = m_clock.now();
    const QString line = now.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + QStringLiteral(" - ")
        + message + QStringLiteral("\r\n");
    f.write(line.toLatin1());
}

void RunLog::EscribirLogDebug(const QString &message)
{
    EscribirLog(message);
    debugOnly(m_clock.now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + QLatin1Char(' ')
              + message);
}

void RunLog::debugOnly(const QString &line)
{
    for (const auto &sink : m_sinks)
        sink(line);
}

bool RunLog::ArchivoEnUso(const QString &path)
{
    QFile f(path);
    if (!f.exists())
        return false;
    if (f.open(QIODevice::ReadOnly)) {
        const qint64 size = f.size();
        f.close();
        EscribirLogDebug(QStringLiteral("Archivo:") + path + QLatin1Char(' ') + QString::number(size)
                         + QStringLiteral(" bytes"));
        return false;
    }
    if (f.error() == QFileDevice::PermissionsError)
        return true;
    EscribirLogDebug(f.errorString());
    return true;
}

}  // namespace b2d
