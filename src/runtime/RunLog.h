#pragma once

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace b2d {

class Clock;

// The daily run log: Logs/VelmoraB2D_yyyymmdd.Log, a header of 94 dashes when a day's file is
// created. Outside a generation each line opens the file, appends and closes it; while a
// generation runs (holdFile .. releaseFile) the day's file stays open, each line still written
// through at once, and a change of date closes it and opens the next day's. EscribirLogDebug also
// feeds the debug sinks (the debug window subscribes to them).
class RunLog {
public:
    using DebugSink = std::function<void(const QString &line)>;

    // `folder` is the log folder; empty means chooseLogFolder().
    RunLog(const Clock &clock, QString folder = {});

    // The program's folder + "Logs" when it can be written, else the per-user data folder + "Logs";
    // an installed program (isInstalledProgramFolder) always uses the per-user data folder.
    // `note`, when given, receives a line saying which one was chosen. Without `programFolder`,
    // the running executable's folder.
    static QString chooseLogFolder(QString *note = nullptr);
    static QString chooseLogFolder(const QString &programFolder, QString *note = nullptr);
    // Every later log that chooses its own folder uses `folder` instead (empty: the rule above
    // again). The test programs send their logs to a temporary folder of their own this way.
    static void setChosenFolderOverride(const QString &folder);
    // Where the log goes and why, for the debug trace at start-up.
    const QString &folderNote() const { return m_folderNote; }

    QString NombreArchivoLog() const;   // yyyymmdd.Log
    QString CarpetaLog() const { return m_folder; }
    QString RutaArchivoLog();           // creates the day's file with its header when missing
    QString RutaArchivoLog(const QDate &day);
    void EscribirLog(const QString &message);
    void EscribirLogDebug(const QString &message);
    // The day's file stays open from holdFile until as many releaseFile calls (a generation).
    void holdFile();
    void releaseFile();
    bool fileHeld() const { return m_file.isOpen(); }

    // True when the file is in use by another process; logs "Archivo:PATH N bytes" when free.
    bool ArchivoEnUso(const QString &path);

    // Lines sent while no sink was listening (the start-up trace) go to the first sink added.
    void addDebugSink(DebugSink sink);
    // Statement trace and other support lines that go to the debug sinks only, not the file.
    void debugOnly(const QString &line);
    // False when a debug line would be dropped (no sink, and the early lines are full): the
    // caller can spare itself composing it.
    bool debugWanted() const { return !m_sinks.empty() || m_early.size() < kEarlyLines; }

private:
    static constexpr qsizetype kEarlyLines = 1000;
    QString filePath(const QDate &day) const;  // the folder + "/VelmoraB2D_" + yyyymmdd.Log
    void writeStamped(const QDate &day, const QString &stamp, const QString &message);
    const QString &stampOf(const QDateTime &moment);
    void writeLine(const QDate &day, const QByteArray &line);

    const Clock &m_clock;
    QString m_folder;
    QString m_folderNote;
    std::vector<DebugSink> m_sinks;
    QStringList m_early;
    int m_holds = 0;
    QFile m_file;     // the day's file while held and written to
    QDate m_fileDay;  // the day m_file belongs to
    // The text of the last second stamped: a generation writes many lines within each second.
    QDate m_stampDay;
    int m_stampSecond = -1;
    QString m_stamp;
};

}  // namespace b2d
