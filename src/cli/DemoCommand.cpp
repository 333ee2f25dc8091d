#include "cli/DemoCommand.h"

#include "app/Startup.h"
#include "app/workspace/Workspace.h"
#include "cli/CommandLine.h"
#include "platform/PeVersion.h"
#include "runtime/Errors.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace b2d::cli {

namespace {

const QString kForce = QStringLiteral("force");

// The files a demo workspace consists of, relative to its folder.
const QString kDataFolder = QStringLiteral("data");
const QString kConnections = QStringLiteral("connections.ini");
const QString kSettings = QStringLiteral("settings.ini");
const QString kAnswers = QStringLiteral("answers.ini");
const QString kExecutable = QStringLiteral("caldra/caldra.exe");

void writeText(const QString &path, const QString &text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw B2DError(ErrNo::PathNotFound, QStringLiteral("demo"),
                       QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
}

bool hasCommand(const CommandTable &commands, const QString &name)
{
    for (const auto &c : commands)
        if (c->name() == name)
            return true;
    return false;
}

QString shellQuoted(const QString &text)
{
    static const QString plain = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-./=:@+,");
    for (const QChar c : text)
        if (!plain.contains(c))
            return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("'\\''"))
                + QLatin1Char('\'');
    return text;
}

}  // namespace

QString DemoCommand::description() const
{
    return QStringLiteral(
        "Creates a complete demo workspace in DIR (default ./demo).\n"
        "The three databases with sample operations dated around today, connections and\n"
        "settings files, output and send folders, an answers file and a stand-in\n"
        "customs-management executable. An existing DIR needs --force, which rebuilds the\n"
        "demo's own files and keeps everything else.");
}

QList<QCommandLineOption> DemoCommand::options() const
{
    return {QCommandLineOption(kForce, QStringLiteral("Rebuild the demo in an existing DIR."))};
}

QString DemoCommand::settingsText(const QString &dir)
{
    const QDir d(dir);
    QString text = QStringLiteral("[GENERAL]\n");
    const QList<std::pair<QString, QString>> values{
        {QStringLiteral("PREFIJO"), QStringLiteral("DVNI")},
        {QStringLiteral("PREFIJOEXPO"), QStringLiteral("DVNE")},
        {QStringLiteral("PAISESSIM"), QStringLiteral("1")},
        {QStringLiteral("PAISESDESCRIPCION"), QStringLiteral("1")},
        {QStringLiteral("CONCEPTOSSIM"), QStringLiteral("1")},
        {QStringLiteral("CONCEPTOSDESCRIPCION"), QStringLiteral("1")},
        {QStringLiteral("TIPOOBLIGACION"), QStringLiteral("0")},
        {QStringLiteral("INCLUIRDETALLEJURIS"), QStringLiteral("1")},
        {QStringLiteral("IGNORARRELACIONCONCEPTO"), QStringLiteral("0")},
        {QStringLiteral("IGNORARRELACIONPAIS"), QStringLiteral("0")},
        {QStringLiteral("IGNORARRELACIONMONEDA"), QStringLiteral("0")},
        {QStringLiteral("PREDETERMINARHORA"), QString()},
        {QStringLiteral("INCLUIR900PENCARATULA"), QStringLiteral("0")},
        {QStringLiteral("FIXPROCESSREFERENCECODE"), QStringLiteral("0")},
        {QStringLiteral("REQDIIMPO"), QStringLiteral("0")},
        {QStringLiteral("REQCANALYFECHAS"), QStringLiteral("0")},
        {QStringLiteral("PERMITIRFECHASVACIAS"), QStringLiteral("0")},
        {QStringLiteral("OMITIRCODIGOALTERNATIVO"), QStringLiteral("0")},
        {QStringLiteral("OMITIRRELACIONDJDI"), QStringLiteral("0")},
        {QStringLiteral("RUTAB2D"), d.absoluteFilePath(QStringLiteral("send")) + QLatin1Char('/')},
        {QStringLiteral("RUTAGENXML"), d.absoluteFilePath(QStringLiteral("out")) + QLatin1Char('/')},
    };
    for (const auto &[key, value] : values)
        text += key + QLatin1Char('=') + value + QLatin1Char('\n');
    return text;
}

QString DemoCommand::answersText(const QDate &today)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    return QStringLiteral(
               "; Answers of the scripted operator for generating the demo operations.\n"
               "; The reference codes are remembered with each declaration, so their prompts\n"
               "; accept the offered default; none is given here, so the file also serves\n"
               "; generate --pending. An empty value presses Cancel.\n"
               "[answers]\n"
               "Canal=V\n")
        + QStringLiteral("FechaLIB=") + today.toString(format) + QLatin1Char('\n')
        + QStringLiteral("FechaCumplido=") + today.toString(format) + QLatin1Char('\n')
        + QStringLiteral("FechaPago=") + today.addDays(-1).toString(format) + QLatin1Char('\n');
}

int DemoCommand::execute(Invocation &inv)
{
    if (inv.arguments.size() > 1)
        return inv.usageError(QStringLiteral("demo takes one folder, got \"%1\"")
                                  .arg(inv.arguments.join(QLatin1Char(' '))),
                              name());
    const QString dir = QDir::cleanPath(
        QDir::current().absoluteFilePath(inv.arguments.value(0, QStringLiteral("demo"))));
    const bool force = inv.parser.isSet(kForce);
    const QFileInfo info(dir);
    if (info.exists() && !force)
        return inv.usageError(
            QStringLiteral("%1 already exists; use --force to rebuild the demo in it").arg(dir),
            name());
    if (info.exists() && !info.isDir())
        return inv.usageError(QStringLiteral("%1 exists and is not a folder").arg(dir), name());

    const QDir root(dir);
    try {
        const Workspace workspace(root.filePath(kDataFolder));
        // --force rebuilds only what the demo itself consists of; any other file stays.
        for (const QString &entity : workspaceEntities())
            QFile::remove(workspace.databaseFile(entity));
        for (const QString &file : {kConnections, kSettings, kAnswers, kExecutable})
            QFile::remove(root.filePath(file));
        for (const QString &folder : {QStringLiteral("out"), QStringLiteral("send")})
            if (!root.mkpath(folder))
                throw B2DError(ErrNo::PathNotFound, QStringLiteral("demo"),
                               QStringLiteral("cannot create %1").arg(root.filePath(folder)));

        workspace.create();
        workspace.loadDemoData(inv.today);
        // The connections file names the stand-in executable: no environment variable needed.
        workspace.writeConnectionsFile(root.filePath(kConnections), root.filePath(kExecutable));
        writeText(root.filePath(kSettings), settingsText(dir));
        writeText(root.filePath(kAnswers), answersText(inv.today));
        if (!writeStandInExecutable(root.filePath(kExecutable),
                                    QLatin1String(kRequiredCaldraExeVersion)))
            throw B2DError(ErrNo::PathNotFound, QStringLiteral("demo"),
                           QStringLiteral("cannot write %1").arg(root.filePath(kExecutable)));
    } catch (const B2DError &e) {
        inv.error(QStringLiteral("the demo could not be built: %1").arg(e.description()));
        return ExitFailed;
    }

    const QString common = QStringLiteral(" --connections ") + shellQuoted(root.filePath(kConnections))
        + QStringLiteral(" --settings ") + shellQuoted(root.filePath(kSettings));
    QTextStream &out = inv.io.out;
    out << "Demo workspace created in " << dir << '\n'
        << "  databases  " << root.filePath(kDataFolder) << " (historial.db, internos.db, ncm.db)\n"
        << "  output     " << root.filePath(QStringLiteral("out")) << "/\n"
        << "  send       " << root.filePath(QStringLiteral("send")) << "/\n"
        << "  answers    " << root.filePath(kAnswers) << '\n'
        << "  operations 26001IC04000123A, 26001IC04000131C, 26073IC04000088F (imports),\n"
        << "             26001EC01000045B (export), 26001DJAI000007K (licence)\n"
        << "\nUse it with:\n"
        << "  " << inv.programPath << common << " list\n";
    if (hasCommand(inv.commands, QStringLiteral("generate")))
        out << "  " << inv.programPath << common
            << " generate 26001IC04000123A --answers " << shellQuoted(root.filePath(kAnswers)) << '\n';
    if (hasCommand(inv.commands, QStringLiteral("send")))
        out << "  " << inv.programPath << common << " send 26001IC04000123A\n";
    const QString window = QFileInfo(inv.programPath).path() == QLatin1String(".")
        ? QStringLiteral("velmorab2d")
        : QDir(QFileInfo(inv.programPath).path()).filePath(QStringLiteral("velmorab2d"));
    out << "  " << window << common << '\n';
    out.flush();
    return ExitOk;
}

}  // namespace b2d::cli
