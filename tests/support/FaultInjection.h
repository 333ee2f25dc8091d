#pragma once

// Fault injection below the read cache and below the file writer: a database that refuses the
// Nth statement reaching it, or loses its connection there, and a disk that fails one step of
// writing a file, as a full or read-only disk does. Each installs itself for the whole process
// while it lives.

#include <QString>

namespace b2d::test {

class StatementFaults {
public:
    enum class Kind { Error, Drop };

    StatementFaults();
    ~StatementFaults();
    StatementFaults(const StatementFaults &) = delete;
    StatementFaults &operator=(const StatementFaults &) = delete;

    // The statement numbered `n` (from 1, every entity counted together, counted from now)
    // fails; 0 lets every statement through and only counts them.
    void failAt(int n, Kind kind);
    // Statements that reached a database since the last failAt.
    int reached() const { return m_reached; }

private:
    class Backend;
    int m_reached = 0;
    int m_at = 0;
    Kind m_kind = Kind::Error;
};

class WriterFaults {
public:
    enum class Step { Create, Write, Close, Rename };

    // Files written into `folder` fail at `step`; the others are written as usual.
    WriterFaults(const QString &folder, Step step);
    ~WriterFaults();
    WriterFaults(const WriterFaults &) = delete;
    WriterFaults &operator=(const WriterFaults &) = delete;

    // Files whose writing failed so far.
    int failed() const { return m_failed; }

private:
    class File;
    QString m_folder;
    Step m_step;
    int m_failed = 0;
};

}  // namespace b2d::test
