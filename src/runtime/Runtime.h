#pragma once

#include "settings/Settings.h"

#include <QString>
#include <functional>

namespace b2d {

class Boxes;
class Clock;
class DataAccess;
class RunLog;
class SettingsStore;

inline constexpr const char *kAppName = "VelmoraB2D";

// The process-wide values of one run: components, settings and the state of the operation being
// generated. The shell creates one at start-up and passes it by reference to every builder; a
// test builds its own.
class Runtime {
public:
    Runtime(DataAccess &db, Boxes &boxes, SettingsStore &store, RunLog &log, const Clock &clock)
        : db(db), boxes(boxes), store(store), log(log), clock(clock)
    {
    }
    Runtime(const Runtime &) = delete;
    Runtime &operator=(const Runtime &) = delete;

    DataAccess &db;
    Boxes &boxes;
    SettingsStore &store;
    RunLog &log;
    const Clock &clock;

    Settings cfg;                 // loaded by CargarConfiguracion
    QString Despacho;             // the operation being generated
    QString subregimen;           // upper-cased sixth character of Despacho
    bool generacionCancelada = false;
    bool trazaDetallada = true;   // detailed progress lines in the run log
    QString programFiles;         // where the customs-management program is installed
    QString caldraExecutable;     // the executable the connections file names; empty: the one
                                  // under programFiles

    // major.minor.revision of the program.
    static QString version();
    // Application name + " - v." + version: the title of the error boxes.
    static QString appTitle();

    // Where a long generation is: told the item about to be built (from 1) and the number of
    // items, by the items loops of the three documents. The window shows it, the command line
    // prints it; nothing listens by default and the run log never sees it.
    std::function<void(int item, int items)> onProgress;
    void progress(int item, int items) const
    {
        if (onProgress)
            onProgress(item, items);
    }

    // Convenience: detailed progress line to the run log while the detailed trace is on.
    void trace(const QString &line);
};

// Reads the 21 settings from the store into rt.cfg.
void CargarConfiguracion(Runtime &rt);

}  // namespace b2d
