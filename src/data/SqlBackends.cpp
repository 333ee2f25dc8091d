#include "data/SqlBackends.h"

#include "data/TsqlRewriter.h"
#include "values/Values.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <sqlite3.h>
#include <atomic>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace b2d {

namespace {

QString uniqueConnectionName(const QString &entity)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("b2d-%1-%2").arg(entity).arg(++counter);
}

QString errorText(const QSqlError &e)
{
    const QString db = e.databaseText().trimmed();
    const QString driver = e.driverText().trimmed();
    if (db.isEmpty())
        return driver;
    if (driver.isEmpty())
        return db;
    return db + QStringLiteral(" (") + driver + QLatin1Char(')');
}

// Values as the recordset hands them out: null, integer, real, text or date-time.
QVariant normalized(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::Bool:
        return qlonglong(v.toBool() ? 1 : 0);
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        return u > qulonglong(std::numeric_limits<qlonglong>::max()) ? QVariant(double(u))
                                                                     : QVariant(qlonglong(u));
    }
    case QMetaType::Float:
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    default:
        return v;
    }
}

void collect(QSqlQuery &q, ResultSet &out)
{
    out = ResultSet{};
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        out.columns << record.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << normalized(q.value(i));
        out.rows << row;
    }
}

// A file name as an SQLite URI opened read-write: a missing file is an error, never created.
QString sqliteUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
           + QStringLiteral("?mode=rw");
}

QString quotedIdentifier(const QString &name)
{
    QString s = name;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The password keys of an ODBC connection string.
bool isPasswordKey(const QString &key)
{
    const QString k = key.trimmed();
    return k.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0
        || k.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0;
}

// The value of an attribute of `connection` that names where it connects (DRIVER, SERVER, DSN,
// FILEDSN), for a message.
QString describeOdbcTarget(const QString &connection)
{
    QStringList parts;
    for (const OdbcAttribute &a : odbcAttributes(connection)) {
        const QString key = a.key.trimmed().toUpper();
        if (key == QLatin1String("DRIVER") || key == QLatin1String("SERVER")
            || key == QLatin1String("DSN") || key == QLatin1String("FILEDSN"))
            parts << key + QLatin1Char('=') + a.value;
    }
    if (parts.isEmpty() && !connection.contains(QLatin1Char('=')))
        parts << QStringLiteral("DSN=") + connection.trimmed();
    return parts.join(QStringLiteral(", "));
}

}  // namespace

// A failure that means the connection itself is gone: the driver says so, the connection is no
// longer open, or the state is of the connection-exception class (SQLSTATE 08xxx, as ODBC drivers
// report a broken link).
static bool isConnectionLost(const QSqlDatabase &db, const QSqlError &e)
{
    return e.type() == QSqlError::ConnectionError || !db.isOpen()
        || e.nativeErrorCode().startsWith(QLatin1String("08"));
}

QList<OdbcAttribute> odbcAttributes(const QString &connection)
{
    QList<OdbcAttribute> out;
    qsizetype i = 0;
    const qsizetype n = connection.size();
    while (i < n) {
        const qsizetype eq = connection.indexOf(QLatin1Char('='), i);
        const qsizetype semi = connection.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without '=': kept as a key without value.
            const qsizetype end = semi < 0 ? n : semi;
            if (!connection.mid(i, end - i).trimmed().isEmpty())
                out.append({connection.mid(i, end - i), QString(), false, false});
            i = end + 1;
            continue;
        }
        OdbcAttribute a;
        a.key = connection.mid(i, eq - i);
        qsizetype j = eq + 1;
        while (j < n && connection.at(j) == QLatin1Char(' '))
            ++j;
        if (j < n && connection.at(j) == QLatin1Char('{')) {
            // A braced value runs to the closing brace; "}}" inside stands for one brace.
            a.braced = true;
            ++j;
            while (j < n) {
                if (connection.at(j) == QLatin1Char('}')) {
                    if (j + 1 < n && connection.at(j + 1) == QLatin1Char('}')) {
                        a.value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                a.value += connection.at(j++);
            }
            // Anything up to the next ';' belongs to the same attribute.
            const qsizetype end = connection.indexOf(QLatin1Char(';'), j);
            a.value += connection.mid(j, (end < 0 ? n : end) - j);
            i = (end < 0 ? n : end) + 1;
        } else {
            const qsizetype end = connection.indexOf(QLatin1Char(';'), j);
            a.value = connection.mid(j, (end < 0 ? n : end) - j);
            i = (end < 0 ? n : end) + 1;
        }
        out.append(a);
    }
    return out;
}

QString withoutPassword(const QString &connection)
{
    QStringList parts;
    for (const OdbcAttribute &a : odbcAttributes(connection)) {
        if (isPasswordKey(a.key))
            parts << a.key + QStringLiteral("=***");
        else if (!a.hasValue)
            parts << a.key;
        else if (a.braced)
            parts << a.key + QStringLiteral("={") + QString(a.value).replace(QLatin1Char('}'), QLatin1String("}}"))
                    + QLatin1Char('}');
        else
            parts << a.key + QLatin1Char('=') + a.value;
    }
    return parts.join(QLatin1Char(';'));
}

QString withoutPasswordValues(const QString &text, const QString &connection)
{
    QString out = text;
    for (const OdbcAttribute &a : odbcAttributes(connection))
        if (isPasswordKey(a.key) && !a.value.isEmpty())
            out.replace(a.value, QStringLiteral("***"));
    return out;
}

// ---- SqlDatabaseBackend --------------------------------------------------------------------

SqlDatabaseBackend::SqlDatabaseBackend(const QString &qtDriver, const QString &entity,
                                       bool rewriteTsql)
    : m_connectionName(uniqueConnectionName(entity)), m_rewrite(rewriteTsql)
{
    QSqlDatabase::addDatabase(qtDriver, m_connectionName);
}

SqlDatabaseBackend::~SqlDatabaseBackend()
{
    m_prepared.reset();  // the engine closes only once no statement of it is left
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool SqlDatabaseBackend::query(const QString &sql, ResultSet &out, QString &error)
{
    return run(sql, &out, error);
}

bool SqlDatabaseBackend::execute(const QString &sql, QString &error)
{
    m_rowsAffected = -1;
    return run(sql, nullptr, error);
}

namespace {

// The engine under the in-memory connection, or null when the driver gives none.
sqlite3 *engineOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Whether every value is one the engine is handed directly below, as Qt's driver would bind it:
// null, text, bytes, whole numbers, reals and truth values.
bool boundDirectly(const QList<QVariantList> &rows)
{
    for (const QVariantList &row : rows)
        for (const QVariant &v : row)
            switch (v.typeId()) {
            case QMetaType::UnknownType:
            case QMetaType::QString:
            case QMetaType::QByteArray:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Bool:
            case QMetaType::Double:
                break;
            default:
                return false;
            }
    return true;
}

// Binds `v` to parameter `at` as Qt's SQLite driver binds it; the value must outlive the step.
// ASCII text, nearly all of the system's, goes to the engine as the bytes it keeps (UTF-8): the
// bytes its own conversion from UTF-16 would give, without that conversion. With `kept` (room
// reserved for every text bound before the statement runs), the bytes stay there and the engine
// does not copy them.
int bindText(sqlite3_stmt *stmt, int at, const QString &text, std::vector<std::string> *kept = nullptr)
{
    thread_local std::string scratch;
    std::string &narrow = kept ? kept->emplace_back() : scratch;
    const qsizetype n = text.size();
    const ushort *wide = text.utf16();
    narrow.resize(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        if (wide[i] >= 0x80)
            return sqlite3_bind_text16(stmt, at, wide, int(n * sizeof(QChar)), SQLITE_STATIC);
        narrow[size_t(i)] = char(wide[i]);
    }
    return sqlite3_bind_text(stmt, at, narrow.data(), int(n), kept ? SQLITE_STATIC : SQLITE_TRANSIENT);
}

// A text column's value as Qt's driver reads it (through UTF-16), taken directly when ASCII.
QString columnText(sqlite3_stmt *stmt, int i)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
    const int n = sqlite3_column_bytes(stmt, i);
    if (bytes && QtPrivate::isAscii(QLatin1StringView(bytes, n)))
        return QString::fromLatin1(bytes, n);
    return QString(static_cast<const QChar *>(sqlite3_column_text16(stmt, i)),
                   sqlite3_column_bytes16(stmt, i) / qsizetype(sizeof(QChar)));
}

int bindDirectly(sqlite3_stmt *stmt, int at, const QVariant &v, std::vector<std::string> *kept = nullptr)
{
    if (!v.isValid() || v.isNull())
        return sqlite3_bind_null(stmt, at);
    switch (v.typeId()) {
    case QMetaType::QString: {
        const QString *text = static_cast<const QString *>(v.constData());
        if (text->isNull())
            return sqlite3_bind_null(stmt, at);
        return bindText(stmt, at, *text, kept);
    }
    case QMetaType::QByteArray: {
        const QByteArray *bytes = static_cast<const QByteArray *>(v.constData());
        if (bytes->isNull())
            return sqlite3_bind_null(stmt, at);
        return sqlite3_bind_blob(stmt, at, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, at, v.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, at, v.toDouble());
    default:  // UInt, LongLong
        return sqlite3_bind_int64(stmt, at, v.toLongLong());
    }
}

// A read with its literals taken out as parameters: a quoted text anywhere after the statement's
// own WHERE, a whole number there right after a comparison. The system's reads differ from one
// item or subitem to the next only in such literals, so one compiled statement serves them all.
// Values are bound as the literal reads (text, integer) and neither a literal nor a parameter has
// an affinity or a collation of its own, so the engine answers exactly as it does for the
// literal. Not taken out: literals in the select list (they name their column), in ORDER BY or
// GROUP BY (a number there is a column's position), blob and other prefixed literals, numbers
// too long for an integer; none at all when the text holds a parameter of its own.
struct ReadShape {
    QString text;
    QVariantList values;  // QString or qlonglong, in the order of the ?
};

bool identifierChar(QChar c)
{
    return c.unicode() >= 0x80 || c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// With `everyLiteral`, every quoted text and whole number standing alone is taken out, wherever it
// stands, and its place marked by its kind (a character no statement holds outside a literal):
// the shape of a statement as the system writes it, before its adaptation.
constexpr char16_t kTextMark = u'\uE000';
constexpr char16_t kNumberMark = u'\uE001';

std::optional<ReadShape> shapeOf(QStringView sql, bool everyLiteral = false)
{
    if (everyLiteral && (sql.contains(QChar(kTextMark)) || sql.contains(QChar(kNumberMark))))
        return std::nullopt;
    ReadShape shape;
    const qsizetype n = sql.size();
    qsizetype copied = 0;  // sql[copied, i) is still to be appended to the shape
    const auto takeOut = [&](qsizetype from, qsizetype to, QVariant value) {
        shape.text += sql.mid(copied, from - copied);
        shape.text += !everyLiteral ? u'?' : value.typeId() == QMetaType::QString ? kTextMark : kNumberMark;
        shape.values << std::move(value);
        copied = to;
    };
    int depth = 0;
    bool afterWhere = false;
    QChar last;  // the last character of the text outside blanks and comments
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            i = end < 0 ? n : end;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            // A quoted text, or a quoted name ("..." `...` [...]); quotes doubled within.
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            for (;;) {
                const qsizetype k = sql.indexOf(close, j);
                if (k < 0)
                    return std::nullopt;  // unterminated: the engine says what is wrong
                j = k + 1;
                if (close == u']' || j >= n || sql[j] != close)
                    break;
                ++j;
            }
            if (c == u'\'' && (afterWhere || everyLiteral) && (i == 0 || !identifierChar(sql[i - 1])))
                takeOut(i, j, sql.mid(i + 1, j - i - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'")));
            last = c;
            i = j;
        } else if (c.unicode() < 0x80 && c.isDigit() && (i == 0 || !identifierChar(sql[i - 1]))) {
            qsizetype j = i;
            while (j < n && sql[j].unicode() < 0x80 && sql[j].isDigit())
                ++j;
            if (j < n && (identifierChar(sql[j]) || sql[j] == u'.')) {
                // 1.5, 1e3, 0x1F: kept as written
                while (j < n && (identifierChar(sql[j]) || sql[j] == u'.'))
                    ++j;
            } else if ((everyLiteral || (afterWhere && (last == u'=' || last == u'<' || last == u'>')))
                       && j - i <= 18) {
                takeOut(i, j, sql.mid(i, j - i).toLongLong());
            }
            last = u'0';
            i = j;
        } else if (c == u'?' || c == u':' || c == u'@' || c == u'$') {
            return std::nullopt;  // a parameter of the statement's own
        } else if (identifierChar(c)) {
            qsizetype j = i + 1;
            while (j < n && identifierChar(sql[j]))
                ++j;
            if (depth == 0 && j - i == 5 && sql.mid(i, 5).compare(u"WHERE", Qt::CaseInsensitive) == 0)
                afterWhere = true;
            last = c;
            i = j;
        } else {
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            last = c;
            ++i;
        }
    }
    if (shape.values.isEmpty())
        return std::nullopt;
    shape.text += sql.mid(copied);
    return shape;
}

}  // namespace

// The in-memory engine's reads compiled so far, by shape; finalized before the engine closes.
struct PreparedReads {
    static constexpr qsizetype kMost = 256;
    QHash<QString, sqlite3_stmt *> byShape;
    // The shape of a statement as written -> the shape of its adaptation, when every literal
    // written is a parameter of the latter, in the same order; empty when not.
    QHash<QString, QString> adapted;
    ~PreparedReads()
    {
        for (sqlite3_stmt *stmt : std::as_const(byShape))
            sqlite3_finalize(stmt);
    }
};

namespace {

// Compiles `text` as the one statement of a read: false with `error` set when it is not.
bool prepareRead(sqlite3 *engine, const QString &text, sqlite3_stmt *&stmt, QString &error)
{
    const void *tail = nullptr;
    if (sqlite3_prepare16_v2(engine, text.utf16(), int((text.size() + 1) * sizeof(QChar)), &stmt, &tail)
        != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(engine));
        sqlite3_finalize(stmt);
        stmt = nullptr;
        return false;
    }
    if (tail && !QString(static_cast<const QChar *>(tail)).trimmed().isEmpty()) {
        error = QStringLiteral("Unable to execute multiple statements at a time");
        sqlite3_finalize(stmt);
        stmt = nullptr;
        return false;
    }
    return true;
}

// The compiled form of `shape` with its values bound, from `reads` or compiled now and kept
// there; null when the shape does not compile (the read then compiles as written, and fails or
// not as the engine decides).
sqlite3_stmt *boundShape(sqlite3 *engine, const ReadShape &shape, PreparedReads &reads)
{
    sqlite3_stmt *stmt = reads.byShape.value(shape.text);
    if (!stmt) {
        QString ignored;
        if (reads.byShape.size() >= PreparedReads::kMost || !prepareRead(engine, shape.text, stmt, ignored))
            return nullptr;
        if (sqlite3_bind_parameter_count(stmt) != shape.values.size()) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        reads.byShape.insert(shape.text, stmt);
    }
    for (int i = 0; i < shape.values.size(); ++i) {
        const QVariant &v = shape.values[i];
        const int bound = v.typeId() == QMetaType::LongLong
            ? sqlite3_bind_int64(stmt, i + 1, v.toLongLong())
            : bindText(stmt, i + 1, *static_cast<const QString *>(v.constData()));
        if (bound != SQLITE_OK) {
            sqlite3_clear_bindings(stmt);
            return nullptr;
        }
    }
    return stmt;
}

bool stepRows(sqlite3 *engine, sqlite3_stmt *stmt, bool kept, ResultSet &out, QString &error);

// The same values of the same types, in the same order (QVariant's == takes "5" for 5).
bool sameValues(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].typeId() != b[i].typeId() || a[i] != b[i])
            return false;
    return true;
}

// A read as Qt's driver runs it, with forward-only rows and reals as doubles: one statement
// (anything but blanks after it is refused), an error on the first step fails it, an error on a
// later one ends the rows. Values as the recordset hands them out (see normalized). With `shape`
// and `reads`, the read runs on a statement compiled once for its shape.
bool readDirectly(sqlite3 *engine, const QString &text, const std::optional<ReadShape> &shape, ResultSet &out,
                  QString &error, PreparedReads *reads)
{
    sqlite3_stmt *stmt = shape && reads ? boundShape(engine, *shape, *reads) : nullptr;
    if (stmt)
        return stepRows(engine, stmt, true, out, error);
    out = ResultSet{};
    if (!prepareRead(engine, text, stmt, error))
        return false;
    if (sqlite3_bind_parameter_count(stmt) > 0) {
        error = QStringLiteral("Parameter count mismatch");  // Qt's driver binds nothing either
        sqlite3_finalize(stmt);
        return false;
    }
    return stepRows(engine, stmt, false, out, error);
}

// The rows of a compiled read; `kept`: the statement is one of PreparedReads, reset for its next
// use, else finalized.
bool stepRows(sqlite3 *engine, sqlite3_stmt *stmt, bool kept, ResultSet &out, QString &error)
{
    out = ResultSet{};
    const auto done = [&] {
        if (kept) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);  // the bound texts are the shape's, about to go
        } else {
            sqlite3_finalize(stmt);
        }
    };
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i)
        out.columns << QString(static_cast<const QChar *>(sqlite3_column_name16(stmt, i))).remove(QLatin1Char('"'));
    for (bool first = true;; first = false) {
        const int step = sqlite3_step(stmt);
        if (step != SQLITE_ROW) {
            if (first && step != SQLITE_DONE) {
                error = QString::fromUtf8(sqlite3_errmsg(engine));
                done();
                out = ResultSet{};
                return false;
            }
            break;
        }
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL:
                row << QVariant();
                break;
            case SQLITE_INTEGER:
                row << qlonglong(sqlite3_column_int64(stmt, i));
                break;
            case SQLITE_FLOAT:
                row << sqlite3_column_double(stmt, i);
                break;
            case SQLITE_BLOB:
                row << QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i));
                break;
            default:
                row << columnText(stmt, i);
                break;
            }
        }
        out.rows << row;
    }
    done();
    return true;
}

}  // namespace

bool SqlDatabaseBackend::run(const QString &sql, ResultSet *out, QString &error)
{
    const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    sqlite3 *const engine = out && m_readsDirect ? engineOf(db) : nullptr;
    // A read written as one adapted before, but for its literals, runs on the statement compiled
    // for that one with its own literals bound: the adaptation keeps each literal as written and
    // decides nothing by one.
    std::optional<ReadShape> written;
    if (engine && m_prepared && m_rewrite) {
        written = shapeOf(sql, true);
        if (written) {
            const ReadShape shape{m_prepared->adapted.value(written->text), written->values};
            if (!shape.text.isEmpty())
                if (sqlite3_stmt *stmt = boundShape(engine, shape, *m_prepared))
                    return stepRows(engine, stmt, true, *out, error);
        }
    }
    QString text = sql;
    if (m_rewrite) {
        text = TsqlRewriter::rewrite(sql);  // also turns date escapes among exec arguments into literals
        if (const auto call = TsqlRewriter::procedureCall(text))
            return runProcedure(*call, out, error);
    }
    if (engine) {
        text = text.trimmed();
        const std::optional<ReadShape> shape = m_prepared ? shapeOf(text) : std::nullopt;
        if (written && m_prepared->adapted.size() < PreparedReads::kMost && !m_prepared->adapted.contains(written->text))
            m_prepared->adapted.insert(written->text, shape && sameValues(shape->values, written->values) ? shape->text : QString());
        return readDirectly(engine, text, shape, *out, error, m_prepared.get());
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.exec(text)) {
        error = errorText(q.lastError());
        m_lost = isConnectionLost(db, q.lastError());
        return false;
    }
    // A server procedure may report row counts before its rows: skip to the first result with
    // columns.
    if (!out)
        m_rowsAffected = q.numRowsAffected();
    while (!q.isSelect() && q.nextResult()) {
    }
    if (out)
        collect(q, *out);
    return true;
}

bool SqlDatabaseBackend::runProcedure(const ProcedureCall &call, ResultSet *out, QString &error)
{
    const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QString body;
    {
        QSqlQuery find(db);
        find.setForwardOnly(true);
        if (!find.exec(QStringLiteral("SELECT body FROM b2d_procedures WHERE name = '")
                       + sqlQuote(call.name) + QLatin1Char('\''))) {
            error = QStringLiteral("No se puede leer el procedimiento almacenado %1: %2")
                        .arg(call.name, errorText(find.lastError()));
            return false;
        }
        if (!find.next()) {
            error = QStringLiteral("No existe el procedimiento almacenado %1").arg(call.name);
            return false;
        }
        body = find.value(0).toString();
    }
    const int parameters = TsqlRewriter::parameterCount(body);
    if (call.args.size() > parameters) {
        error = QStringLiteral("El procedimiento almacenado %1 recibe %2 argumentos y se le pasaron %3")
                    .arg(call.name)
                    .arg(parameters)
                    .arg(call.args.size());
        return false;
    }
    // The arguments go into the body as literals: the same values and types as bound ones, and
    // no placeholder handling of Qt or an ODBC driver in the way.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.exec(TsqlRewriter::bindArguments(body, call.args))) {
        error = QStringLiteral("Procedimiento almacenado %1: %2").arg(call.name, errorText(q.lastError()));
        return false;
    }
    if (out)
        collect(q, *out);
    return true;
}

// ---- SqliteBackend -------------------------------------------------------------------------

SqliteBackend::SqliteBackend(const QString &entity, const QString &path)
    : SqlDatabaseBackend(QStringLiteral("QSQLITE"), entity, true), m_path(path)
{
}

bool SqliteBackend::open(const QList<Attachment> &attachments, QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName(), false);
    if (!db.isValid()) {
        error = QStringLiteral("El controlador QSQLITE de Qt no está disponible");
        return false;
    }
    // Another program (the window and the command line) may hold the file for a moment.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    db.setDatabaseName(sqliteUri(m_path));
    if (!db.open()) {
        error = errorText(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    // Reading the schema proves the file is a database.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        error = errorText(q.lastError());
        return false;
    }
    const QString self = QFileInfo(m_path).canonicalFilePath();
    for (const Attachment &a : attachments) {
        if (QFileInfo(a.path).canonicalFilePath() == self)
            continue;  // the same file under two names needs no attachment
        QSqlQuery attach(db);
        if (!attach.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + quotedIdentifier(a.entity))) {
            error = errorText(attach.lastError());
            return false;
        }
        attach.addBindValue(sqliteUri(a.path));
        if (!attach.exec()) {
            error = QStringLiteral("%1 (%2): %3").arg(a.entity, a.path, errorText(attach.lastError()));
            return false;
        }
    }
    return true;
}

// ---- MemorySqliteBackend -------------------------------------------------------------------

MemorySqliteBackend::MemorySqliteBackend(const QString &name)
    : SqlDatabaseBackend(QStringLiteral("QSQLITE"), name, true)
{
}

bool MemorySqliteBackend::open(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName(), false);
    if (!db.isValid()) {
        error = QStringLiteral("El controlador QSQLITE de Qt no está disponible");
        return false;
    }
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open()) {
        error = errorText(db.lastError());
        return false;
    }
    m_readsDirect = true;
    m_prepared = std::make_unique<PreparedReads>();
    return true;
}


bool MemorySqliteBackend::insertRows(const QString &table, const QStringList &columns,
                                     const QList<QVariantList> &rows, QString &error)
{
    if (rows.isEmpty() || columns.isEmpty())
        return true;
    QSqlDatabase db = QSqlDatabase::database(connectionName(), false);
    QStringList names;
    for (const QString &c : columns)
        names << quotedIdentifier(c);
    const QString head = QStringLiteral("INSERT OR REPLACE INTO %1 (%2) VALUES ")
                             .arg(quotedIdentifier(table), names.join(QLatin1Char(',')));
    const QString marks = QLatin1Char('(') + QStringLiteral("?,").repeated(columns.size() - 1)
                          + QStringLiteral("?)");
    const auto statementFor = [&](qsizetype count) -> QString {
        QStringList groups;
        for (qsizetype r = 0; r < count; ++r)
            groups << marks;
        return head + groups.join(QLatin1Char(','));
    };
    // Many rows a statement, each value bound as it is: far fewer statements than rows.
    const qsizetype perStatement = std::max<qsizetype>(1, 900 / columns.size());
    db.transaction();

    // Handed to the engine itself where it can be: Qt's binding of each value costs more than
    // inserting it.
    if (sqlite3 *engine = engineOf(db); engine && boundDirectly(rows)) {
        sqlite3_stmt *stmt = nullptr;
        qsizetype prepared = 0;
        std::vector<std::string> texts;  // the bytes of the texts bound, until the statement runs
        const auto fail = [&] {
            error = QString::fromUtf8(sqlite3_errmsg(engine));
            sqlite3_finalize(stmt);
            db.rollback();
            return false;
        };
        for (qsizetype first = 0; first < rows.size(); first += perStatement) {
            const qsizetype count = std::min(perStatement, rows.size() - first);
            if (count != prepared) {
                sqlite3_finalize(stmt);
                stmt = nullptr;
                const QString sql = statementFor(count);
                if (sqlite3_prepare16_v2(engine, sql.utf16(), int(sql.size() * sizeof(QChar)), &stmt, nullptr)
                    != SQLITE_OK)
                    return fail();
                prepared = count;
            } else {
                sqlite3_reset(stmt);
            }
            int position = 1;
            texts.clear();
            texts.reserve(size_t(count * columns.size()));
            for (qsizetype r = first; r < first + count; ++r) {
                const QVariantList &row = rows.at(r);
                for (int i = 0; i < columns.size(); ++i)
                    if (bindDirectly(stmt, position++, row.value(i), &texts) != SQLITE_OK)
                        return fail();
            }
            if (sqlite3_step(stmt) != SQLITE_DONE)
                return fail();
        }
        sqlite3_finalize(stmt);
        db.commit();
        return true;
    }

    QSqlQuery q(db);
    qsizetype prepared = 0;  // rows of the statement prepared in q
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const qsizetype count = std::min(perStatement, rows.size() - first);
        if (count != prepared) {
            if (!q.prepare(statementFor(count))) {
                error = errorText(q.lastError());
                db.rollback();
                return false;
            }
            prepared = count;
        }
        int position = 0;
        for (qsizetype r = first; r < first + count; ++r) {
            const QVariantList &row = rows.at(r);
            for (int i = 0; i < columns.size(); ++i)
                q.bindValue(position++, row.value(i));
        }
        if (!q.exec()) {
            error = errorText(q.lastError());
            db.rollback();
            return false;
        }
    }
    db.commit();
    return true;
}

// ---- OdbcBackend ---------------------------------------------------------------------------

OdbcBackend::OdbcBackend(const QString &entity, const QString &connection, bool rewriteTsql)
    : SqlDatabaseBackend(QStringLiteral("QODBC"), entity, rewriteTsql), m_connection(connection)
{
}

bool OdbcBackend::open(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName(), false);
    if (!db.isValid()) {
        error = QStringLiteral("El controlador QODBC de Qt no está disponible");
        return false;
    }
    // Qt's ODBC driver builds the string it hands to the driver manager from the database name:
    // a name holding ".dsn" gets "FILEDSN=" put in front, one holding DRIVER= or SERVER= goes as
    // it is, anything else gets "DSN=" put in front. Pick the name that makes the result the
    // configured string exactly.
    const QString &c = m_connection;
    QString name;
    if (c.contains(QLatin1String(".dsn"), Qt::CaseInsensitive)) {
        if (c.startsWith(QLatin1String("FILEDSN="), Qt::CaseInsensitive))
            name = c.mid(8);
    } else if (c.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
               || c.contains(QLatin1String("SERVER="), Qt::CaseInsensitive)) {
        name = c;
    } else if (c.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive)) {
        name = c.mid(4);
    } else if (!c.contains(QLatin1Char('='))) {
        name = c;  // a bare data source name
    }
    if (name.isEmpty()) {
        error = QStringLiteral("La cadena de conexión debe empezar por DSN= o FILEDSN=, o "
                               "contener DRIVER=: %1")
                    .arg(withoutPassword(c));
        return false;
    }
    db.setDatabaseName(name);
    if (!db.open()) {
        // The driver's own words, with any password it might echo hidden.
        const QString target = describeOdbcTarget(c);
        error = (target.isEmpty() ? QString() : QLatin1Char('(') + target + QStringLiteral(") "))
            + withoutPasswordValues(errorText(db.lastError()), c);
        return false;
    }
    // Qt's ODBC driver tells the DBMS from the name the data source gives (SQL_DBMS_NAME).
    if (db.driver() && db.driver()->dbmsType() == QSqlDriver::MSSqlServer)
        m_engine = SourceEngine::SqlServer;
    return true;
}

}  // namespace b2d
