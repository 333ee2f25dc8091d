#include "app/workspace/Workspace.h"

#include "runtime/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace b2d {

namespace {

const QString kSource = QStringLiteral("Workspace");

[[noreturn]] void fail(const QString &description)
{
    throw B2DError(ErrNo::Database, kSource, description);
}

QString resourceText(const QString &name)
{
    QFile f(QStringLiteral(":/workspace/") + name);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("The SQL text %1 is missing from the program.").arg(name));
    return QString::fromUtf8(f.readAll());
}

QString canonicalEntity(const QString &entity)
{
    const QString upper = entity.trimmed().toUpper();
    if (!workspaceEntities().contains(upper))
        fail(QStringLiteral("Unknown entity \"%1\": a workspace holds HISTORIAL, INTERNOS and NCM.")
                 .arg(entity));
    return upper;
}

// One SQLite connection for the life of a scope, removed from Qt's registry afterwards.
class ScopedSqlite {
public:
    ScopedSqlite(const QString &entity, const QString &path)
        : m_name(QStringLiteral("b2d-workspace-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            fail(QStringLiteral("%1: cannot open %2: %3").arg(entity, path, db.lastError().text()));
    }
    ~ScopedSqlite()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedSqlite(const ScopedSqlite &) = delete;
    ScopedSqlite &operator=(const ScopedSqlite &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

void runStatements(const QString &entity, const QString &path, const QString &sql)
{
    ScopedSqlite conn(entity, path);
    QSqlDatabase db = conn.db();
    if (!db.transaction())
        fail(QStringLiteral("%1: cannot start a transaction on %2: %3")
                 .arg(entity, path, db.lastError().text()));
    for (const QString &statement : splitSqlStatements(sql)) {
        QSqlQuery q(db);
        if (!q.exec(statement)) {
            const QString error = q.lastError().text();
            q.finish();
            db.rollback();
            fail(QStringLiteral("%1: %2\nin %3\nstatement: %4")
                     .arg(entity, error, path, statement.left(400)));
        }
    }
    if (!db.commit())
        fail(QStringLiteral("%1: cannot commit on %2: %3").arg(entity, path, db.lastError().text()));
}

}  // namespace

const QStringList &workspaceEntities()
{
    static const QStringList entities{QStringLiteral("HISTORIAL"), QStringLiteral("INTERNOS"),
                                      QStringLiteral("NCM")};
    return entities;
}

QString workspaceSchema(const QString &entity)
{
    return resourceText(canonicalEntity(entity).toLower() + QStringLiteral(".sql"));
}

QString workspaceDemoData(const QString &entity, const QDate &today)
{
    return placeDates(
        resourceText(QStringLiteral("demo_") + canonicalEntity(entity).toLower() + QStringLiteral(".sql")),
        today);
}

QString placeDates(const QString &sql, const QDate &today)
{
    static const QRegularExpression placeholder(
        QStringLiteral(R"(\{TODAY(?:([+-])(\d+))?(?::([^}]*))?\})"));
    QString out;
    qsizetype last = 0;
    auto it = placeholder.globalMatch(sql);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(sql).mid(last, m.capturedStart() - last);
        qint64 days = m.captured(2).isEmpty() ? 0 : m.captured(2).toLongLong();
        if (m.captured(1) == QLatin1String("-"))
            days = -days;
        const QDate date = today.addDays(days);
        const QString format = m.captured(3);
        out += date.toString(format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : format);
        last = m.capturedEnd();
    }
    out += QStringView(sql).mid(last);
    return out;
}

QStringList splitSqlStatements(const QString &sql)
{
    QStringList statements;
    QString current;
    const qsizetype n = sql.size();
    auto flush = [&] {
        const QString s = current.trimmed();
        if (!s.isEmpty())
            statements << s;
        current.clear();
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            // Line comment: dropped up to the line break.
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            i += 2;
            while (i + 1 < n && !(sql.at(i) == QLatin1Char('*') && sql.at(i + 1) == QLatin1Char('/')))
                ++i;
            ++i;
            current += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')
            || c == QLatin1Char('`')) {
            // A literal or a quoted name runs to its closing character; a doubled quote inside
            // stands for the quote itself.
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            current += c;
            ++i;
            while (i < n) {
                current += sql.at(i);
                if (sql.at(i) == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && sql.at(i + 1) == close) {
                        current += sql.at(++i);
                    } else {
                        break;
                    }
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char(';')) {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return statements;
}

Workspace::Workspace(QString folder) : m_folder(std::move(folder)) {}

QString Workspace::databaseFile(const QString &entity) const
{
    return QDir(m_folder).filePath(canonicalEntity(entity).toLower() + QStringLiteral(".db"));
}

bool Workspace::exists() const
{
    for (const QString &entity : workspaceEntities())
        if (QFileInfo::exists(databaseFile(entity)))
            return true;
    return false;
}

void Workspace::create() const
{
    if (!QDir().mkpath(m_folder))
        fail(QStringLiteral("Cannot create the folder %1.").arg(m_folder));
    for (const QString &entity : workspaceEntities()) {
        const QString path = databaseFile(entity);
        if (QFileInfo::exists(path))
            fail(QStringLiteral("%1: the database %2 already exists; nothing was created over it.")
                     .arg(entity, path));
    }
    for (const QString &entity : workspaceEntities())
        runStatements(entity, databaseFile(entity), workspaceSchema(entity));
}

void Workspace::runSql(const QString &entity, const QString &sql) const
{
    const QString name = canonicalEntity(entity);
    const QString path = databaseFile(name);
    if (!QFileInfo::exists(path))
        fail(QStringLiteral("%1: the database %2 does not exist.").arg(name, path));
    runStatements(name, path, sql);
}

void Workspace::loadDemoData(const QDate &today) const
{
    for (const QString &entity : workspaceEntities())
        runSql(entity, workspaceDemoData(entity, today));
}

void Workspace::writeConnectionsFile(const QString &path, const QString &caldraExecutable) const
{
    const QDir base = QFileInfo(path).absoluteDir();
    QString text;
    if (!caldraExecutable.isEmpty())
        text += QStringLiteral("[CALDRA]\nexecutable=")
            + base.relativeFilePath(QFileInfo(caldraExecutable).absoluteFilePath()) + QStringLiteral("\n\n");
    for (const QString &entity : workspaceEntities()) {
        text += QLatin1Char('[') + entity + QStringLiteral("]\n");
        text += QStringLiteral("driver=sqlite\n");
        text += QStringLiteral("database=")
            + base.relativeFilePath(QFileInfo(databaseFile(entity)).absoluteFilePath())
            + QStringLiteral("\n\n");
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        fail(QStringLiteral("Cannot write the connections file %1: %2").arg(path, f.errorString()));
}

}  // namespace b2d
