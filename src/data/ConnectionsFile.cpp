// The connections file: which database answers for each entity.
//
//   [HISTORIAL]
//   driver=sqlite
//   database=data/historial.db          ; relative to the connections file's folder
//
//   [NCM]
//   driver=odbc
//   connection="DRIVER={FreeTDS};SERVER=caldra-sql;PORT=1433;DATABASE=NCM;UID=b2d;PWD=..."
//   dialect=tsql                        ; optional, see below
//
// `working_set=off` (or no, false, 0; on, yes, true, 1 leave it on, the default) keeps the entity's
// reads out of the generation's working set: each goes to its database as the system asks it.
// Written before the first group, it turns the working set off for every entity, as
// --no-working-set does.
//
// The file is read here line by line rather than through QSettings, which would take a group
// named GENERAL for its root group and split an unquoted value at its commas. A value is the text
// after the first '=', trimmed; one pair of double quotes around it is removed and nothing else
// inside it is interpreted (backslashes, semicolons and '=' stay as written). Lines starting with
// ';' or '#' are comments. Group and key names are read without regard to case. A group may
// appear once; the file must be UTF-8.
//
// Two groups are not entities: [CALDRA] names the customs-management executable whose version
// start-up checks (`executable=`, relative to the file like the databases), and [update] belongs
// to the update check. Their keys are read by their owners, never opened as databases.
//
// `dialect` says what the database behind an ODBC entity speaks: `tsql` (the default: SQL Server,
// statements go as the system writes them) or `sqlite` (an SQLite file reached through an SQLite
// ODBC driver, as in the test suite: statements are rewritten from T-SQL and `exec` runs the
// procedures of b2d_procedures, as on the sqlite driver). The sqlite driver always speaks sqlite.

#include "data/DataAccess.h"

#include "data/SqlBackends.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringDecoder>

namespace b2d {

namespace {

const QString kSource = QStringLiteral("RecordGate.RGMain");

struct EntityConfig {
    QString entity;  // as the file writes it
    QString driver;
    QString database;
    QString connection;
    QString dialect;
    QString workingSet;  // as written, lower-cased; empty: on
};

struct ConnectionsConfig {
    QString file;
    QMap<QString, EntityConfig> entities;  // upper-cased entity -> configuration
    QString caldraExecutable;              // absolute; empty when [CALDRA] names none
    QString workingSet;                    // the whole file's switch, lower-cased; empty: on
};

const QString kCaldraGroup = QStringLiteral("CALDRA");
const QString kUpdateGroup = QStringLiteral("UPDATE");

bool isReservedGroup(const QString &upperName)
{
    return upperName == kCaldraGroup || upperName == kUpdateGroup;
}

// The words of an on/off switch, lower-cased.
bool isSwitchWord(const QString &word)
{
    static const QStringList words = {
        QStringLiteral("on"), QStringLiteral("yes"), QStringLiteral("true"), QStringLiteral("1"),
        QStringLiteral("off"), QStringLiteral("no"), QStringLiteral("false"), QStringLiteral("0")};
    return words.contains(word);
}

bool isOff(const QString &word)
{
    return word == QLatin1String("off") || word == QLatin1String("no") || word == QLatin1String("false")
        || word == QLatin1String("0");
}

[[noreturn]] void fail(long number, const QString &text)
{
    throw B2DError(number, kSource, text);
}

[[noreturn]] void failEntity(const ConnectionsConfig &cfg, const QString &entity,
                             const QString &what, long number = ErrNo::Database)
{
    fail(number, QStringLiteral("Entidad %1 del archivo de conexiones %2: %3")
                     .arg(entity, QDir::toNativeSeparators(cfg.file), what));
}

ConnectionsConfig readConnectionsFile(const QString &path)
{
    ConnectionsConfig cfg;
    cfg.file = QFileInfo(path).absoluteFilePath();
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        fail(ErrNo::FileNotFound, QStringLiteral("No se encuentra el archivo de conexiones %1")
                                      .arg(QDir::toNativeSeparators(cfg.file)));
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    const QList<QByteArray> lines = bytes.split('\n');
    QString group;         // upper-cased name of the group being read
    QString groupWritten;  // as the file writes it
    QMap<QString, int> groupLines;  // upper-cased group -> the line that opened it
    bool caldraExecutableGiven = false;
    for (int n = 0; n < lines.size(); ++n) {
        auto lineError = [&](const QString &what) {
            fail(ErrNo::Database, QStringLiteral("Archivo de conexiones %1, línea %2: %3")
                                      .arg(QDir::toNativeSeparators(cfg.file))
                                      .arg(n + 1)
                                      .arg(what));
        };
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = QString(utf8(lines.at(n))).trimmed();
        if (utf8.hasError())
            lineError(group.isEmpty()
                          ? QStringLiteral("bytes que no son UTF-8, antes de todo grupo")
                          : QStringLiteral("bytes que no son UTF-8 en el grupo [%1]").arg(groupWritten));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                lineError(QStringLiteral("falta ']' en el nombre de la entidad"));
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name.isEmpty())
                lineError(QStringLiteral("entidad sin nombre"));
            group = name.toUpper();
            groupWritten = name;
            if (groupLines.contains(group))
                lineError(QStringLiteral("el grupo [%1] ya figura en la línea %2")
                              .arg(name)
                              .arg(groupLines.value(group)));
            groupLines.insert(group, n + 1);
            if (!isReservedGroup(group))
                cfg.entities.insert(group, EntityConfig{name, {}, {}, {}, {}, {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            lineError(QStringLiteral("se espera [ENTIDAD] o clave=valor"));
        const QString key = line.left(eq).trimmed().toLower();
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (group.isEmpty()) {
            // Before any group, only the switch of the whole file.
            if (key != QLatin1String("working_set"))
                lineError(QStringLiteral("clave fuera de una entidad"));
            cfg.workingSet = value.trimmed().toLower();
            if (!isSwitchWord(cfg.workingSet))
                lineError(QStringLiteral("working_set \"%1\" desconocido (on u off)").arg(cfg.workingSet));
            continue;
        }
        if (group == kCaldraGroup) {
            if (key == QLatin1String("executable")) {
                if (value.trimmed().isEmpty())
                    lineError(QStringLiteral("executable= vacío en el grupo [%1]").arg(groupWritten));
                cfg.caldraExecutable = value;
                caldraExecutableGiven = true;
            }
            continue;
        }
        if (isReservedGroup(group))
            continue;  // read by the update check
        EntityConfig &e = cfg.entities[group];
        if (key == QLatin1String("driver"))
            e.driver = value.trimmed().toLower();
        else if (key == QLatin1String("database"))
            e.database = value;
        else if (key == QLatin1String("connection"))
            e.connection = value;
        else if (key == QLatin1String("dialect"))
            e.dialect = value.trimmed().toLower();
        else if (key == QLatin1String("working_set"))
            e.workingSet = value.trimmed().toLower();
        // Other keys are left for other tools.
    }

    const QDir folder = QFileInfo(cfg.file).absoluteDir();
    if (caldraExecutableGiven)
        cfg.caldraExecutable = QDir::cleanPath(folder.absoluteFilePath(cfg.caldraExecutable));
    for (EntityConfig &e : cfg.entities) {
        if (!e.workingSet.isEmpty() && !isSwitchWord(e.workingSet))
            failEntity(cfg, e.entity,
                       QStringLiteral("working_set \"%1\" desconocido (on u off)").arg(e.workingSet));
        if (e.driver == QLatin1String("sqlite")) {
            if (e.database.isEmpty())
                failEntity(cfg, e.entity, QStringLiteral("falta database="));
            e.database = QDir::cleanPath(folder.absoluteFilePath(e.database));
            if (!QFileInfo(e.database).isFile())
                failEntity(cfg, e.entity,
                           QStringLiteral("no existe la base de datos %1")
                               .arg(QDir::toNativeSeparators(e.database)),
                           ErrNo::FileNotFound);
            if (e.dialect.isEmpty())
                e.dialect = QStringLiteral("sqlite");
            if (e.dialect != QLatin1String("sqlite"))
                failEntity(cfg, e.entity,
                           QStringLiteral("el driver sqlite no admite dialect=%1").arg(e.dialect));
        } else if (e.driver == QLatin1String("odbc")) {
            if (e.connection.isEmpty())
                failEntity(cfg, e.entity, QStringLiteral("falta connection="));
            if (e.dialect.isEmpty())
                e.dialect = QStringLiteral("tsql");
            if (e.dialect != QLatin1String("tsql") && e.dialect != QLatin1String("sqlite"))
                failEntity(cfg, e.entity,
                           QStringLiteral("dialect \"%1\" desconocido (tsql o sqlite)").arg(e.dialect));
        } else if (e.driver.isEmpty()) {
            failEntity(cfg, e.entity, QStringLiteral("falta driver= (sqlite u odbc)"));
        } else {
            failEntity(cfg, e.entity,
                       QStringLiteral("driver \"%1\" desconocido (sqlite u odbc)").arg(e.driver));
        }
    }
    return cfg;
}

std::unique_ptr<Backend> openBackend(const ConnectionsConfig &cfg, const QString &entity)
{
    const auto it = cfg.entities.constFind(entity.toUpper());
    if (it == cfg.entities.constEnd())
        fail(ErrNo::Database, QStringLiteral("La entidad %1 no figura en el archivo de conexiones %2")
                                  .arg(entity, QDir::toNativeSeparators(cfg.file)));
    const EntityConfig &e = *it;
    QString error;
    if (e.driver == QLatin1String("sqlite")) {
        QList<SqliteBackend::Attachment> attachments;
        for (const EntityConfig &other : cfg.entities)
            if (other.driver == QLatin1String("sqlite") && &other != &e)
                attachments.push_back({other.entity, other.database});
        auto backend = std::make_unique<SqliteBackend>(e.entity, e.database);
        if (backend->open(attachments, error))
            return backend;
    } else {
        auto backend = std::make_unique<OdbcBackend>(e.entity, e.connection,
                                                     e.dialect == QLatin1String("sqlite"));
        if (backend->open(error))
            return backend;
    }
    failEntity(cfg, e.entity, QStringLiteral("no se pudo abrir la base de datos: %1").arg(error));
}

// The data access component over a connections file. LoadParameters opens every configured
// entity, so that a database that cannot be reached is reported at start-up.
class ConfiguredDataAccess final : public DataAccess {
public:
    explicit ConfiguredDataAccess(std::shared_ptr<const ConnectionsConfig> cfg)
        : DataAccess([cfg](const QString &entity) { return openBackend(*cfg, entity); }),
          m_cfg(std::move(cfg))
    {
        if (isOff(m_cfg->workingSet))
            setWorkingSetAllowed(false);
        for (const EntityConfig &e : m_cfg->entities)
            if (isOff(e.workingSet))
                setWorkingSetAllowedFor(e.entity, false);
    }

    void LoadParameters() override
    {
        for (const EntityConfig &e : m_cfg->entities)
            getDataConnectionByEntity(e.entity);
    }

private:
    std::shared_ptr<const ConnectionsConfig> m_cfg;
};

}  // namespace

std::unique_ptr<DataAccess> openConnectionsFile(const QString &path, QString *caldraExecutable)
{
    auto cfg = std::make_shared<const ConnectionsConfig>(readConnectionsFile(path));
    if (caldraExecutable)
        *caldraExecutable = cfg->caldraExecutable;
    return std::make_unique<ConfiguredDataAccess>(std::move(cfg));
}

}  // namespace b2d
