#pragma once

#include <QDateTime>

namespace b2d {

// The system's local time, to the second: within one second of UTC every call answers the
// first reading of that second (the run log asks the time for each of its thousands of lines,
// and each fresh local reading looks at the time-zone file again).
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;
};

// A clock that stands still at a given moment (tests, reproducible runs).
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }
    void set(const QDateTime &at) { m_at = at; }

private:
    QDateTime m_at;
};

// A clock that answers what another one answers: a program hands its clock on to a run it
// starts, so that a test pinning the program's clock pins the run's too.
class ClockRef final : public Clock {
public:
    explicit ClockRef(const Clock &clock) : m_clock(clock) {}
    QDateTime now() const override { return m_clock.now(); }

private:
    const Clock &m_clock;
};

}  // namespace b2d
