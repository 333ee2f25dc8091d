#include "support/RecordingData.h"

namespace b2d {

class RecordingData::FakeBackend final : public Backend {
public:
    FakeBackend(RecordingData &owner, QString entity) : m_owner(owner), m_entity(std::move(entity)) {}

    bool query(const QString &sql, ResultSet &out, QString &error) override
    {
        m_owner.m_calls.push_back({m_entity, sql, false});
        m_owner.runHooks(m_entity, sql);
        if (refused(sql, error))
            return false;
        if (const Rule *r = m_owner.match(m_entity, sql))
            out = r->rows;
        return true;
    }

    bool execute(const QString &sql, QString &error) override
    {
        m_owner.m_calls.push_back({m_entity, sql, true});
        m_owner.runHooks(m_entity, sql);
        m_affected = -1;
        if (refused(sql, error))
            return false;
        if (const Rule *r = m_owner.match(m_entity, sql))
            m_affected = r->affected;
        return true;
    }

    int rowsAffected() const override { return m_affected; }
    bool connectionLost() const override { return m_lost; }
    SourceEngine sourceEngine() const override { return m_owner.m_engine; }

private:
    // True with `error` set for a statement that fails: on a lost connection, by a failing rule,
    // or by the rule that drops the connection.
    bool refused(const QString &sql, QString &error)
    {
        if (m_lost) {
            error = QStringLiteral("Conexion perdida");
            return true;
        }
        const Rule *r = m_owner.match(m_entity, sql);
        if (!r || !(r->fail || (r->drop && !r->spent)))
            return false;
        if (r->drop) {
            r->spent = true;
            m_lost = true;
        }
        error = r->error;
        return true;
    }

    RecordingData &m_owner;
    QString m_entity;
    int m_affected = -1;
    bool m_lost = false;
};

RecordingData::RecordingData()
    : m_db(std::make_unique<DataAccess>([this](const QString &entity) -> std::unique_ptr<Backend> {
          ++m_opened;
          return std::make_unique<FakeBackend>(*this, entity.toUpper());
      }))
{
}

RecordingData::~RecordingData() = default;

void RecordingData::onExact(const QString &entity, const QString &sql, ResultSet rows)
{
    m_rules.push_back({entity.toUpper(), sql, true, false, std::move(rows), {}});
}

void RecordingData::onContains(const QString &entity, const QString &fragment, ResultSet rows)
{
    m_rules.push_back({entity.toUpper(), fragment, false, false, std::move(rows), {}});
}

void RecordingData::failOn(const QString &entity, const QString &fragment, const QString &error)
{
    m_rules.push_back({entity.toUpper(), fragment, false, true, {}, error});
}

void RecordingData::dropConnectionOn(const QString &entity, const QString &fragment, const QString &error)
{
    Rule r{entity.toUpper(), fragment, false, false, {}, error};
    r.drop = true;
    m_rules.push_back(std::move(r));
}

void RecordingData::changesNoRow(const QString &entity, const QString &fragment)
{
    Rule r{entity.toUpper(), fragment, false, false, {}, {}};
    r.affected = 0;
    m_rules.push_back(std::move(r));
}

void RecordingData::whenRun(const QString &entity, const QString &fragment, std::function<void()> action)
{
    m_hooks.push_back({entity.toUpper(), fragment, std::move(action)});
}

void RecordingData::runHooks(const QString &entity, const QString &sql) const
{
    for (const Hook &h : m_hooks)
        if (h.entity == entity && sql.contains(h.fragment))
            h.action();
}

// The last matching rule wins, so a test can override an earlier script.
const RecordingData::Rule *RecordingData::match(const QString &entity, const QString &sql) const
{
    for (auto it = m_rules.crbegin(); it != m_rules.crend(); ++it) {
        if (it->entity != entity || (it->drop && it->spent))
            continue;
        if (it->exact ? sql == it->text : sql.contains(it->text))
            return &*it;
    }
    return nullptr;
}

QStringList RecordingData::statements() const
{
    QStringList out;
    for (const Call &c : m_calls)
        out << c.sql;
    return out;
}

QStringList RecordingData::statements(const QString &entity) const
{
    QStringList out;
    for (const Call &c : m_calls)
        if (c.entity == entity.toUpper())
            out << c.sql;
    return out;
}

QStringList RecordingData::writes() const
{
    QStringList out;
    for (const Call &c : m_calls)
        if (c.write)
            out << c.sql;
    return out;
}

ResultSet rows(const QStringList &columns, const QList<QVariantList> &values)
{
    return ResultSet{columns, values};
}

}  // namespace b2d
