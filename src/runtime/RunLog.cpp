#include "runtime/RunLog.h"

#include "data/FileWriter.h"
#include "platform/Clock.h"
#include "platform/ProgramLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace b2d {

namespace {

const QString kDateTimeFormat = QStringLiteral("dd/MM/yyyy HH:mm:ss");

QString dayFileName(const QDate &day)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".Log");
}

bool folderWritable(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.probe-XXXXXX"));
    return probe.open();
}

// Opening a file for reading with no sharing allowed, and closing it again at once.
struct ExclusiveOpen {
    enum Outcome { Opened, NotFound, InUse, Failed } outcome = Failed;
    qint64 size = 0;
    QString error;  // the system's text, for Failed
};

ExclusiveOpen openExclusively(const QString &path)
{
    ExclusiveOpen r;
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_INVALID_NAME)
            r.outcome = ExclusiveOpen::NotFound;
        else if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_ACCESS_DENIED)
            r.outcome = ExclusiveOpen::InUse;
        else
            r.error = qt_error_string(int(e));
        return r;
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size)) {
        r.outcome = ExclusiveOpen::Opened;
        r.size = size.QuadPart;
    } else {
        r.error = qt_error_string(int(GetLastError()));
    }
    CloseHandle(h);
#else
    // POSIX has no sharing modes: an exclusive advisory lock stands in for them, so a file held
    // locked by another program counts as in use.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR)
            r.outcome = ExclusiveOpen::NotFound;
        else if (e == EACCES || e == EPERM)
            r.outcome = ExclusiveOpen::InUse;
        else
            r.error = qt_error_string(e);
        return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        r.error = qt_error_string(errno);
    } else if (S_ISDIR(st.st_mode)) {
        r.error = qt_error_string(EISDIR);
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            r.outcome = ExclusiveOpen::InUse;
        else
            r.error = qt_error_string(errno);
    } else {
        r.outcome = ExclusiveOpen::Opened;
        r.size = st.st_size;
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
#endif
    return r;
}

QString &chosenFolderOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

void RunLog::setChosenFolderOverride(const QString &folder)
{
    chosenFolderOverride() = folder;
}

RunLog::RunLog(const Clock &clock, QString folder) : m_clock(clock)
{
    if (folder.isEmpty()) {
        m_folder = chooseLogFolder(&m_folderNote);
    } else {
        m_folder = std::move(folder);
        m_folderNote = QStringLiteral("Carpeta de log: ") + QDir::toNativeSeparators(m_folder);
    }
}

QString RunLog::chooseLogFolder(QString *note)
{
    if (const QString &folder = chosenFolderOverride(); !folder.isEmpty()) {
        if (note)
            *note = QStringLiteral("Carpeta de log: ") + QDir::toNativeSeparators(folder);
        return folder;
    }
    return chooseLogFolder(QCoreApplication::applicationDirPath(), note);
}

QString RunLog::chooseLogFolder(const QString &programFolder, QString *note)
{
    const bool installed = isInstalledProgramFolder(programFolder);
    const QString beside = programFolder + QStringLiteral("/Logs");
    if (!installed && !programFolder.isEmpty() && folderWritable(beside)) {
        if (note)
            *note = QStringLiteral("Carpeta de log: ") + QDir::toNativeSeparators(beside);
        return beside;
    }
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/VelmoraB2D");
    const QString fallback = data + QStringLiteral("/Logs");
    if (note) {
        *note = QStringLiteral("Carpeta de log: ") + QDir::toNativeSeparators(fallback);
        if (!installed)
            *note += QStringLiteral(" (no se puede escribir en ") + QDir::toNativeSeparators(beside)
                + QLatin1Char(')');
    }
    return fallback;
}

QString RunLog::NombreArchivoLog() const
{
    return dayFileName(m_clock.now().date());
}

QString RunLog::RutaArchivoLog()
{
    return RutaArchivoLog(m_clock.now().date());
}

QString RunLog::filePath(const QDate &day) const
{
    return m_folder + QStringLiteral("/VelmoraB2D_") + dayFileName(day);
}

QString RunLog::RutaArchivoLog(const QDate &day)
{
    if (!QDir().mkpath(m_folder))
        return {};
    const QString path = filePath(day);
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
    const QDateTime now = m_clock.now();
    writeStamped(now.date(), stampOf(now), message);
}

const QString &RunLog::stampOf(const QDateTime &moment)
{
    // The stamp shows the local date and time to the second, nothing else of the moment.
    const QTime time = moment.time();
    const int second = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : -1;
    if (second < 0 || second != m_stampSecond || moment.date() != m_stampDay) {
        m_stampDay = moment.date();
        m_stampSecond = second;
        m_stamp = moment.toString(kDateTimeFormat);
    }
    return m_stamp;
}

void RunLog::writeStamped(const QDate &day, const QString &stamp, const QString &message)
{
    // As in the documents: what ISO-8859-1 cannot hold is kept as a character reference.
    writeLine(day, toLatin1WithReferences(stamp + QStringLiteral(" - ") + message + QStringLiteral("\r\n")));
}

void RunLog::holdFile()
{
    ++m_holds;
}

void RunLog::releaseFile()
{
    if (m_holds > 0 && --m_holds == 0)
        m_file.close();
}

void RunLog::writeLine(const QDate &day, const QByteArray &line)
{
    if (m_holds > 0) {
        // A generation writes thousands of lines: the day's file stays open (unbuffered, so each
        // line reaches it at once) until the generation ends or the date changes.
        if (m_file.isOpen() && m_fileDay != day)
            m_file.close();
        if (!m_file.isOpen()) {
            const QString path = RutaArchivoLog(day);
            if (path.isEmpty())
                return;
            m_file.setFileName(path);
            if (!m_file.open(QIODevice::Append | QIODevice::Unbuffered))
                return;
            m_fileDay = day;
        }
        if (m_file.write(line) != line.size())
            m_file.close();  // the next line tries the file afresh
        return;
    }
#ifndef Q_OS_WIN
    // Most lines go to a day's file that exists already: open it for appending, write, close,
    // with no look at the folder.
    const int fd = ::open(QFile::encodeName(filePath(day)).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        for (qsizetype done = 0; done < line.size();) {
            const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        ::close(fd);
        return;
    }
#endif
    // The first line of a day creates the folder and the file with its header.
    const QString path = RutaArchivoLog(day);
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::Append))
        return;
    f.write(line);
}

void RunLog::EscribirLogDebug(const QString &message)
{
    // One reading of the clock for both: the debug window shows the moment, a blank and the
    // message.
    const QDateTime now = m_clock.now();
    const QString stamp = stampOf(now);
    writeStamped(now.date(), stamp, message);
    if (debugWanted())
        debugOnly(stamp + QLatin1Char(' ') + message);
}

void RunLog::debugOnly(const QString &line)
{
    if (m_sinks.empty()) {
        if (m_early.size() < kEarlyLines)
            m_early << line;
        return;
    }
    for (const auto &sink : m_sinks)
        sink(line);
}

void RunLog::addDebugSink(DebugSink sink)
{
    m_sinks.push_back(std::move(sink));
    const QStringList early = std::exchange(m_early, {});
    for (const QString &line : early)
        m_sinks.back()(line);
}

bool RunLog::ArchivoEnUso(const QString &path)
{
    const ExclusiveOpen r = openExclusively(path);
    switch (r.outcome) {
    case ExclusiveOpen::Opened:
        EscribirLogDebug(QStringLiteral("Archivo:") + path + QLatin1Char(' ') + QString::number(r.size)
                         + QStringLiteral(" bytes"));
        return false;
    case ExclusiveOpen::NotFound:
        return false;
    case ExclusiveOpen::InUse:
        return true;
    case ExclusiveOpen::Failed:
        EscribirLogDebug(r.error);
        return true;
    }
    return true;
}

}  // namespace b2d
