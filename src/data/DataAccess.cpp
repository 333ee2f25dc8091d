#include "data/DataAccess.h"

#include "data/WorkingSet.h"
#include "platform/Error.h"
#include "values/Values.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>

namespace b2d {

// ---- Recordset -----------------------------------------------------------------------------

void Recordset::open(ResultSet data)
{
    m_data = std::move(data);
    m_index.clear();
    for (int i = 0; i < m_data.columns.size(); ++i) {
        const QString key = upperCased(m_data.columns.at(i));
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

QHash<QString, int>::const_iterator Recordset::findColumn(const QString &name) const
{
    // The names are kept upper-cased; most callers ask in upper case already.
    const auto it = m_index.constFind(name);
    return it != m_index.constEnd() ? it : m_index.constFind(upperCased(name));
}

bool Recordset::hasField(const QString &name) const
{
    return findColumn(name) != m_index.constEnd();
}

QVariant Recordset::field(const QString &name) const
{
    const auto it = findColumn(name);
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
    refuseInGeneration(ok, error);
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
    refuseInGeneration(ok, error);
    return ok;
}

void Connection::refuseInGeneration(bool ok, const QString &error) const
{
    if (!ok && m_owner.inGeneration())
        throw StatementRefused(m_entity, sql, error);
}

// ---- DataAccess ----------------------------------------------------------------------------

namespace {

BackendWrapper &backendWrapper()
{
    static BackendWrapper wrapper;
    return wrapper;
}

}  // namespace

void setBackendWrapper(BackendWrapper wrapper)
{
    backendWrapper() = std::move(wrapper);
}

std::unique_ptr<Backend> DataAccess::openWrapped(const QString &entity)
{
    std::unique_ptr<Backend> backend = m_factory(entity);
    if (backend && backendWrapper())
        backend = backendWrapper()(entity, std::move(backend));
    return backend;
}

DataAccess::DataAccess(BackendFactory factory) : m_factory(std::move(factory)) {}

DataAccess::~DataAccess()
{
    qDeleteAll(m_connections);
}

Connection &DataAccess::getDataConnectionByEntity(const QString &entity)
{
    // Names are kept upper-cased; the callers' constants are upper-cased already.
    auto it = m_connections.constFind(entity);
    if (it != m_connections.constEnd())
        return **it;
    const QString key = entity.toUpper();
    it = m_connections.constFind(key);
    if (it != m_connections.constEnd())
        return **it;
    std::unique_ptr<Backend> backend = openWrapped(entity);
    if (!backend)
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"),
                       QStringLiteral("No hay conexion configurada para la entidad %1").arg(entity));
    auto *c = new Connection(*this, key, std::move(backend));
    m_connections.insert(key, c);
    return *c;
}

void DataAccess::setWorkingSetAllowedFor(const QString &entity, bool allowed)
{
    if (allowed)
        m_noWorkingSet.remove(entity.toUpper());
    else
        m_noWorkingSet.insert(entity.toUpper());
}

void DataAccess::beginGeneration()
{
    clearCache();
    m_cacheOn = m_cacheAllowed;
    m_workingSet.reset();
    if (m_workingSetAllowed)
        m_workingSet = std::make_unique<WorkingSet>(
            [this](Connection &c, const QString &sql, ResultSet &out, QString &error) {
                return sendQuery(c, sql, out, error);
            });
    m_generation = true;
}

void DataAccess::endGeneration()
{
    clearCache();
    m_cacheOn = false;
    m_workingSet.reset();
    m_generation = false;
}

bool DataAccess::reconnectIfLost(Connection &c, QString &error)
{
    if (!c.m_backend->connectionLost())
        return true;
    std::unique_ptr<Backend> fresh;
    try {
        fresh = openWrapped(c.entity());
    } catch (const B2DError &e) {
        error = e.description();
        return false;
    }
    if (!fresh) {
        error = QStringLiteral("No hay conexion configurada para la entidad %1").arg(c.entity());
        return false;
    }
    c.m_backend = std::move(fresh);
    ++m_reconnections;
    return true;
}

namespace {

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
    return c.isLetterOrNumber();
}

// A word's upper-cased form as a number (FNV-1a): the cache's index needs only to find every
// answer naming a word, and a number found for another word as well only drops one more answer.
// ASCII words are upper-cased in place, others as upperCased() does.
quint64 wordKey(QStringView word)
{
    quint64 h = 14695981039346656037ull;
    const auto add = [&h](char16_t c) {
        h = (h ^ c) * 1099511628211ull;
    };
    for (const QChar c : word) {
        if (c.unicode() >= 0x80) {
            h = 14695981039346656037ull;
            for (const QChar u : upperCased(word.toString()))
                add(u.unicode());
            return h;
        }
        add(asciiUpper(c.unicode()));
    }
    return h;
}

// The words of a statement (runs of letters, digits and '_'), each once, as wordKey() numbers.
QList<quint64> statementWords(const QString &sql)
{
    QList<quint64> words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= sql.size(); ++i) {
        const bool word = i < sql.size() && isWordChar(sql.at(i));
        if (word && start < 0) {
            start = i;
        } else if (!word && start >= 0) {
            words << wordKey(QStringView(sql).sliced(start, i - start));
            start = -1;
        }
    }
    // Sorting drops the repeats in n log n: a long statement repeats many of its words.
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

}  // namespace

QString DataAccess::writtenTable(const QString &sql)
{
    static const QRegularExpression write(
        QStringLiteral("^\\s*(?:UPDATE|INSERT\\s+INTO|DELETE\\s+FROM|DELETE)\\s+([^\\s(]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = write.match(sql);
    if (!m.hasMatch())
        return {};
    QString name = m.captured(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QLatin1Char('"'));
    return name.toUpper();
}

bool DataAccess::isProcedureCall(const QString &sql)
{
    static const QRegularExpression call(QStringLiteral("^\\s*(?:\\{\\s*call\\b|exec(?:ute)?\\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return call.match(sql).hasMatch();
}

void DataAccess::clearCache()
{
    m_cache.clear();
    m_cacheByWord.clear();
}

void DataAccess::cacheAnswer(const QString &key, const QString &sql, const ResultSet &rows)
{
    m_cache.insert(key, rows);
    for (const quint64 w : statementWords(sql))
        m_cacheByWord[w].append(key);
}

void DataAccess::dropCachedAnswersNaming(const QString &table)
{
    if (table.isEmpty()) {
        // A write whose table cannot be told: nothing cached can be trusted any more.
        clearCache();
        return;
    }
    const QStringList keys = m_cacheByWord.take(wordKey(table));
    for (const QString &key : keys)
        m_cache.remove(key);
    // Keys left under other words of the dropped statements are harmless: a later answer of the
    // same statement is cached again under the same key, and a drop of a key no longer cached
    // does nothing.
}

void DataAccess::trace(const StatementTrace &t)
{
    for (const auto &sink : m_sinks)
        sink(t);
}

bool DataAccess::sendQuery(Connection &c, const QString &sql, ResultSet &out, QString &error)
{
    ++m_run;
    QElapsedTimer timer;
    timer.start();
    const bool ok = reconnectIfLost(c, error) && c.backend().query(sql, out, error);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    trace({c.entity(), sql, ok ? int(out.rows.size()) : 0, ms, false, ok, false, error,
           Answered::Database});
    return ok;
}

bool DataAccess::runQuery(Connection &c, const QString &sql, ResultSet &out, QString &error)
{
    ++m_asked;
    const QString key = c.entity() + QLatin1Char('\n') + sql;
    if (m_cacheOn) {
        const auto hit = m_cache.constFind(key);
        if (hit != m_cache.constEnd()) {
            out = *hit;
            trace({c.entity(), sql, int(out.rows.size()), 0.0, true, true, false, {}, Answered::Cache});
            return true;
        }
    }
    const bool procedure = isProcedureCall(sql);
    if (m_workingSet && !procedure && !m_noWorkingSet.contains(c.entity())) {
        QElapsedTimer timer;
        timer.start();
        switch (m_workingSet->answer(c, sql, out, error)) {
        case WorkingSet::Outcome::Answered:
            if (m_cacheOn)
                cacheAnswer(key, sql, out);
            trace({c.entity(), sql, int(out.rows.size()), double(timer.nsecsElapsed()) / 1e6, false,
                   true, false, {}, Answered::WorkingSet});
            return true;
        case WorkingSet::Outcome::Refused:
            // The read it needed was refused (traced as the database's answer): so is this one.
            trace({c.entity(), sql, 0, double(timer.nsecsElapsed()) / 1e6, false, false, false,
                   error, Answered::WorkingSet});
            return false;
        case WorkingSet::Outcome::ToDatabase:
            out = ResultSet{};
            break;
        }
    }
    // A procedure may change what it reads: the working set holds nothing across one.
    if (m_workingSet && procedure)
        m_workingSet->written(c.entity(), sql, false);
    const bool ok = sendQuery(c, sql, out, error);
    if (ok && m_cacheOn && !procedure)
        cacheAnswer(key, sql, out);
    return ok;
}

bool DataAccess::runExecute(Connection &c, const QString &sql, QString &error)
{
    ++m_asked;
    ++m_run;
    dropCachedAnswersNaming(writtenTable(sql));
    QElapsedTimer timer;
    timer.start();
    const bool ok = reconnectIfLost(c, error) && c.backend().execute(sql, error);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    trace({c.entity(), sql, 0, ms, false, ok, true, error, Answered::Database});
    // The held rows follow the write once the database has it (and are dropped after a refusal,
    // which may leave the database's rows unknown).
    if (m_workingSet)
        m_workingSet->written(c.entity(), sql, ok);
    return ok;
}

}  // namespace b2d
