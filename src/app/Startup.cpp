#include "app/Startup.h"

#include "data/DataAccess.h"
#include "data/SqlTrace.h"
#include "platform/Boxes.h"
#include "platform/Clock.h"
#include "platform/IniSettingsStore.h"
#include "platform/PeVersion.h"
#include "platform/ProgramLocation.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "settings/Settings.h"
#include "values/Values.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace b2d {

namespace {

// The plain message box of the start-up checks, then the orderly end.
[[noreturn]] void refuse(Runtime &rt, const QString &text)
{
    rt.boxes.message(text, BoxButtons::Ok, BoxIcon::None, Runtime::appTitle());
    FinalizarPrograma(rt, text);
}

// A database version below the required one: numerically when both read as numbers, else as text.
bool databaseVersionBelow(const QVariant &value, const QString &required)
{
    if (isNumeric(value) && isNumeric(required)) {
        const auto have = readNumber(value);
        const auto need = readNumber(required);
        if (have && need)
            return *have < *need;
    }
    return EsNulo(value) < required;
}

// Reads `column` of the version query's first row; skipped when the query gives no recordset.
void checkDatabaseVersion(Runtime &rt, const QString &entity, const QString &sql,
                          const QString &column, const QString &required, const QString &message)
{
    Recordset rs;
    if (!openQuery(rt, entity, sql, rs))
        return;
    const QVariant value = rs.field(column);
    rs.Close();
    if (databaseVersionBelow(value, required))
        refuse(rt, message + required);
}

// One version component: digits compare as numbers (without overflow, whatever their length).
int compareComponent(QString a, QString b)
{
    a = a.trimmed();
    b = b.trimmed();
    if (a.isEmpty())
        a = QStringLiteral("0");
    if (b.isEmpty())
        b = QStringLiteral("0");
    auto allDigits = [](const QString &s) {
        return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (allDigits(a) && allDigits(b)) {
        auto strip = [](const QString &s) {
            qsizetype i = 0;
            while (i + 1 < s.size() && s[i] == u'0')
                ++i;
            return s.mid(i);
        };
        a = strip(a);
        b = strip(b);
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int compareVersions(const QString &a, const QString &b)
{
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(pa.size(), pb.size()); ++i)
        if (const int c = compareComponent(pa.value(i), pb.value(i)); c != 0)
            return c;
    return 0;
}

void ConectarDB(Runtime &rt)
{
    trapStandard(rt, QStringLiteral("ConectarDB"), QStringLiteral("Mod_Main"), 0, [&] {
        rt.db.LoadParameters();
        return 0;
    });
}

QString obtenerVersionDeCaldraExe(Runtime &rt)
{
    QString path = rt.caldraExecutable;
    if (path.isEmpty()) {
        path = rt.programFiles + QStringLiteral("\\Caldra\\caldra.exe");
#ifndef Q_OS_WIN
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    }
    const auto version = readProductVersion(path);
    if (!version) {
        rt.boxes.message(QStringLiteral("No Version Info available!"), BoxButtons::Ok, BoxIcon::None,
                         Runtime::appTitle());
        return {};
    }
    return *version;
}

void runStartupChecks(Runtime &rt)
{
    rt.trazaDetallada = true;
    ConectarDB(rt);
    checkDatabaseVersion(rt, QStringLiteral("INTERNOS"),
                         QStringLiteral("SELECT valor from version where propiedad = 'version'"),
                         QStringLiteral("Valor"), QLatin1String(kRequiredCaldraDbVersion),
                         QStringLiteral("Necesita tener la versión de base de datos del CALDRA actualizada a nro: "));
    checkDatabaseVersion(rt, QStringLiteral("HISTORIAL"), QStringLiteral("exec versionbd"),
                         QStringLiteral("Version"), QLatin1String(kRequiredExchangeDbVersion),
                         QStringLiteral("Necesita tener la versión de base de datos del ARDENXML actualizada a nro: "));
    const QString required = QLatin1String(kRequiredCaldraExeVersion);
    if (compareVersions(obtenerVersionDeCaldraExe(rt), required) < 0)
        refuse(rt, QStringLiteral("Necesita tener la versión del CALDRA actualizada a nro: ") + required);
    CargarConfiguracion(rt);
}

// ---- Shell ---------------------------------------------------------------------------------

Shell::Shell(const ShellOptions &options, Boxes &boxes, std::unique_ptr<Clock> clock)
    : m_options(options),
      m_boxes(boxes),
      m_clock(clock ? std::move(clock) : std::make_unique<Clock>()),
      m_store(openSettingsStore(options.settingsFile)),
      m_log(std::make_unique<RunLog>(*m_clock, options.logFolder))
{
}

Shell::~Shell() = default;

void Shell::start()
{
    m_log->debugOnly(m_log->folderNote());
    const QString connections =
        m_options.connectionsFile.isEmpty() ? defaultConnectionsFile() : m_options.connectionsFile;
    QString caldraExecutable;
    m_db = openConnectionsFile(connections, &caldraExecutable);
    RunLog &log = *m_log;
    m_db->addTraceSink([&log](const StatementTrace &t) {
        if (log.debugWanted())
            log.debugOnly(describeStatement(t));
    });
    m_db->setReadCacheAllowed(m_options.readCache);
    if (!m_options.workingSet)
        m_db->setWorkingSetAllowed(false);
    if (!m_options.traceSqlFile.isEmpty())
        addJsonTraceFile(*m_db, m_options.traceSqlFile);
    m_rt = std::make_unique<Runtime>(*m_db, m_boxes, *m_store, *m_log, *m_clock);
    m_rt->programFiles = qEnvironmentVariable("ProgramFiles");
    m_rt->caldraExecutable = caldraExecutable;
    runStartupChecks(*m_rt);
}

QString Shell::defaultConnectionsFile()
{
    return defaultConnectionsFile(QCoreApplication::applicationDirPath());
}

QString Shell::defaultConnectionsFile(const QString &programFolder)
{
    const QString perUser = userConfigFolder() + QStringLiteral("/connections.ini");
    if (QFileInfo::exists(perUser))
        return perUser;
    if (isInstalledProgramFolder(programFolder))
        return QLatin1String(kSystemConnectionsFile);
    return programFolder + QStringLiteral("/connections.ini");
}

}  // namespace b2d
