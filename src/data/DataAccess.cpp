#include "data/DataAccess.h"

#include "platform/Error.h"

#include <QElapsedTimer>

namespace b2d {

// ---- Recordset -----------------------------------------------------------------------------

void Recordset::open(ResultSet data)
{
    m_data = std::move(data);
    m_index.clear();
    for (int i = 0; i < m_data.columns.size(); ++i) {
        const QString key = m_data.columns.at(i).toUpper();
        if (!m_index.contains(key))
            m_index.insert(key, i);
    }
    m_pos = 0;
    m_open = true;
}

void Recordset::Close()
{
    m_data = {};
    m_index.clear();
    m_pos = 0;
    m_open = false;
}

bool Recordset::hasField(const QString &name) const
{
    return m_index.contains(name.toUpper());
}

QVariant Recordset::field(const QString &name) const
{
    const auto it = m_index.constFind(name.toUpper());
    if (it == m_index.constEnd())
        throw B2DError(3265, QStringLiteral("ADODB.Recordset"),
                       QStringLiteral("Item cannot be found in the collection corresponding to the "
                                      "requested name or ordinal. (%1)")
                           .arg(name));
    return field(*it);
}

QVariant Recordset::field(int index) const
{
    if (EOF_() || m_pos < 0)
        throw B2DError(3021, QStringLiteral("ADODB.Recordset"),
                       QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                      "deleted."));
    const QVariantList &row = m_data.rows.at(m_pos);
    if (index < 0 || index >= row.size())
        throw B2DError(3265, QStringLiteral("ADODB.Recordset"),
                       QStringLiteral("Item cannot be found in the collection corresponding to the "
                                      "requested name or ordinal. (%1)")
                           .arg(index));
    return row.at(index);
}

// ---- Connection ----------------------------------------------------------------------------

Connection::Connection(DataAccess &owner, QString entity, std::unique_ptr<Backend> backend)
    : m_owner(owner), m_entity(std::move(entity)), m_backend(std::move(backend))
{
}

Connection::~Connection() = default;

bool Connection::crearrs(Recordset &rs)
{
    ResultSet out;
    QString error;
    const bool ok = m_owner.runQuery(*this, sql, out, error);
    m_lastError = error;
    if (!ok || out.rows.isEmpty()) {
        rs.Close();
        return false;
    }
    rs.open(std::move(out));
    return true;
}

bool Connection::ejecutar()
{
    QString error;
    const bool ok = m_owner.runExecute(*this, sql, error);
    m_lastError = error;
    m_rowsAffected = ok ? m_backend->rowsAffected() : -1;
    return ok;
}

// ---- DataAccess ----------------------------------------------------------------------------

DataAccess::DataAccess(BackendFactory factory) : m_factory(std::move(factory)) {}

DataAccess::~DataAccess()
{
    qDeleteAll(m_connections);
}

Connection &DataAccess::getDataConnectionByEntity(const QString &entity)
{
    const QString key = entity.toUpper();
    auto it = m_connections.find(key);
    if (it != m_connections.end())
        return **it;
    std::unique_ptr<Backend> backend = m_factory(entity);
    if (!backend)
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"),
                       QStringLiteral("No hay conexion configurada para la entidad %1").arg(entity));
    auto *c = new Connection(*this, key, std::move(backend));
    m_connections.insert(key, c);
    return *c;
}

void DataAccess::beginGeneration()
{
    m_cache.clear();
    m_cacheOn = true;
}

void DataAccess::endGeneration()
{
    m_cache.clear();
    m_cacheOn = false;
}

void DataAccess::trace(const StatementTrace &t)
{
    for (const auto &sink : m_sinks)
        sink(t);
}

bool DataAccess::runQuery(Connection &c, const QString &sql, ResultSet &out, QString &error)
{
    ++m_asked;
    const QString key = c.entity() + QLatin1Char('\n') + sql;
    if (m_cacheOn) {
        const auto hit = m_cache.constFind(key);
        if (hit != m_cache.constEnd()) {
            out = *hit;
            trace({c.entity(), sql, int(out.rows.size()), 0.0, true, true, false, {}});
            return true;
        }
    }
    ++m_run;
    QElapsedTimer timer;
    timer.start();
    const bool ok = c.backend().query(sql, out, error);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (ok && m_cacheOn)
        m_cache.insert(key, out);
    trace({c.entity(), sql, ok ? int(out.rows.size()) : 0, ms, false, ok, false, error});
    return ok;
}

bool DataAccess::runExecute(Connection &c, const QString &sql, QString &error)
{
    ++m_asked;
    ++m_run;
    m_cache.clear();
    QElapsedTimer timer;
    timer.start();
    const bool ok = c.backend().execute(sql, error);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    trace({c.entity(), sql, 0, ms, false, ok, true, error});
    return ok;
}

}  // namespace b2d
