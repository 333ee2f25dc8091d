#pragma once

#include <QString>
#include <memory>

namespace b2d {

class Boxes;
class Clock;
class DataAccess;
class RunLog;
class Runtime;
class SettingsStore;

inline constexpr const char *kRequiredCaldraDbVersion = "361";
inline constexpr const char *kRequiredExchangeDbVersion = "2.04";
inline constexpr const char *kRequiredCaldraExeVersion = "3.4.0.120";

// Start-up checks shared by both programs (everything of the load but the window): connect, the
// two database versions, the executable version, the settings. A failed check shows its message
// and throws ProgramEnd through FinalizarPrograma. Any other failure (a B2DError, for instance a
// missing version column) is left to the caller, which reports it as the load's error.
void runStartupChecks(Runtime &rt);

// Has the data access component load its connection parameters (standard error box on failure).
void ConectarDB(Runtime &rt);

// The product version of the executable the connections file names ([CALDRA] executable=), else
// of %ProgramFiles%\Caldra\caldra.exe ("" when it has none; then the box
// "No Version Info available!" has been shown).
QString obtenerVersionDeCaldraExe(Runtime &rt);
// Numeric comparison, component by component (3.4.0.99 < 3.4.0.120 < 3.10.0.0).
int compareVersions(const QString &a, const QString &b);


// What a program passes to build its run.
struct ShellOptions {
    QString connectionsFile;  // empty: the default place
    QString settingsFile;     // empty: the per-user store
    QString traceSqlFile;     // empty: no JSON trace
    bool readCache = true;    // false: every read goes to the database
    bool workingSet = true;   // false: no working set (each read is sent as asked)
    QString logFolder;        // empty: RunLog::chooseLogFolder()
};

// The components of one run and the Runtime over them. Both programs create one.
class Shell {
public:
    Shell(const ShellOptions &options, Boxes &boxes, std::unique_ptr<Clock> clock = {});
    ~Shell();
    Shell(const Shell &) = delete;
    Shell &operator=(const Shell &) = delete;

    // Opens the connections file (throws B2DError naming the file and entity on failure) and
    // runs the start-up checks (throws ProgramEnd).
    void start();

    Runtime &rt() { return *m_rt; }
    RunLog &log() { return *m_log; }
    DataAccess &db() { return *m_db; }
    SettingsStore &store() { return *m_store; }

    // True once start() has created the Runtime.
    bool started() const { return m_rt != nullptr; }

    // The connections file used when none is given: connections.ini in the per-user
    // configuration folder, else beside the executable; an installed program (under /usr or
    // /opt) looks in the per-user folder, then kSystemConnectionsFile, never beside itself.
    // Without `programFolder`, the running executable's folder.
    static QString defaultConnectionsFile();
    static QString defaultConnectionsFile(const QString &programFolder);

private:
    ShellOptions m_options;
    Boxes &m_boxes;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<RunLog> m_log;
    std::unique_ptr<DataAccess> m_db;
    std::unique_ptr<Runtime> m_rt;
};

}  // namespace b2d
