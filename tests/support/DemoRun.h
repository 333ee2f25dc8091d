#pragma once

#include "app/workspace/Workspace.h"
#include "data/DataAccess.h"
#include "platform/Clock.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedBoxes.h"

#include <QTemporaryDir>
#include <memory>

namespace b2d::test {

// A run over the demo workspace's three SQLite databases (dated around 10 March 2026), with
// scripted boxes, an in-memory settings store, a clock fixed at 10 March 2026 09:30 and a run
// log in the temporary folder.
struct DemoRun {
    DemoRun();
    QTemporaryDir dir;
    Workspace workspace;
    std::unique_ptr<DataAccess> db;
    ScriptedBoxes boxes;
    MemorySettingsStore store;
    FixedClock clock;
    RunLog log;
    Runtime rt;

    // Reads straight from an entity's database (no Runtime, nothing traced by the test).
    QList<QStringList> read(const QString &entity, const QString &sql);
    // Runs a statement straight on an entity's database; fails the test when refused.
    void exec(const QString &entity, const QString &sql);
};

}  // namespace b2d::test
