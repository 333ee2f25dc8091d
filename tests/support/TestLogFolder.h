#pragma once

#include "runtime/RunLog.h"

#include <QTemporaryDir>

namespace b2d::test {

// For the life of a test program, every run log that would choose its folder (beside the
// program, in the build tree) writes into a temporary folder removed at the end instead.
class TestLogFolder {
public:
    TestLogFolder() { RunLog::setChosenFolderOverride(m_dir.filePath(QStringLiteral("Logs"))); }
    ~TestLogFolder() { RunLog::setChosenFolderOverride({}); }

private:
    QTemporaryDir m_dir;
};

}  // namespace b2d::test
