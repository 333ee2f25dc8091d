#pragma once

#include <QDateTime>

namespace b2d {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
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

}  // namespace b2d
