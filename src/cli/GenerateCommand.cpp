#include "cli/GenerateCommand.h"

#include "app/OperationsList.h"
#include "app/Processing.h"
#include "app/Startup.h"
#include "cli/CliOperator.h"
#include "declaration/StatusUpdates.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>
#include <unistd.h>

namespace b2d::cli {

namespace {

struct Tally {
    int written = 0;
    int cancelled = 0;
    int failed = 0;

    QString summary() const
    {
        return QStringLiteral("%1 written, %2 cancelled, %3 failed").arg(written).arg(cancelled).arg(failed);
    }
    // A failure outweighs a cancellation, which outweighs a written file.
    int status() const { return failed ? ExitFailed : cancelled ? ExitCancelled : ExitOk; }
};

const QString kPending = QStringLiteral("pending");
const QString kProgress = QStringLiteral("progress");
const QString kQuiet = QStringLiteral("quiet");

// The answers that name one operation's file or references: given for a whole batch they would
// be typed into every operation's prompt.
const QStringList kOneOperationKeys = {QStringLiteral("BrokerRC"), QStringLiteral("ProcessRC"),
                                       QStringLiteral("NombreArchivo")};

}  // namespace

QString GenerateCommand::description() const
{
    return QStringLiteral(
        "Generates the file of each operation NUMBER, one after another, as Enter on its row\n"
        "does, and prints the written file's full path. The operator's prompts are answered\n"
        "from --answers/--answer; a prompt without an answer accepts its default, a prompt\n"
        "shown again in the same generation is cancelled, every cancel question is answered\n"
        "Yes. Exit status: 0 written, 3 cancelled, 4 failed, 5 the program ended.\n"
        "With --pending instead of numbers: every operation of the list's range (--from, --to,\n"
        "--order as for list) not processed yet; one that another workstation processes\n"
        "meanwhile is skipped. BrokerRC, ProcessRC and NombreArchivo cannot be given then.");
}

QList<QCommandLineOption> GenerateCommand::options() const
{
    return CliOperator::answerOptions()
        << QCommandLineOption(kPending, QStringLiteral("Generate every operation of the range not processed yet."))
        << OperationsRange::options()
        << QCommandLineOption(kProgress, QStringLiteral("Print \"item n of N\" on standard error even when "
                                                        "it is not a terminal."))
        << QCommandLineOption(kQuiet, QStringLiteral("Print no progress (messages and the count line stay)."));
}

bool GenerateCommand::prepare(Invocation &inv, CliOperator &op, QString *error)
{
    m_pending = inv.parser.isSet(kPending);
    m_progress = !inv.parser.isSet(kQuiet) && (inv.parser.isSet(kProgress) || ::isatty(STDERR_FILENO));
    if (m_pending && !inv.arguments.isEmpty()) {
        *error = QStringLiteral("generate --pending takes no numbers, got \"%1\"")
                     .arg(inv.arguments.join(QLatin1Char(' ')));
        return false;
    }
    if (!m_pending && inv.arguments.isEmpty()) {
        *error = QStringLiteral("generate needs the number of at least one operation");
        return false;
    }
    if (!m_pending) {
        for (const QCommandLineOption &o : OperationsRange::options())
            if (inv.parser.isSet(o.names().first())) {
                *error = QStringLiteral("--%1 is only for generate --pending").arg(o.names().first());
                return false;
            }
    } else if (!m_range.read(inv.parser, inv.today, error)) {
        return false;
    }
    if (!op.applyAnswerOptions(inv.parser, error))
        return false;
    if (m_pending)
        for (const QString &key : kOneOperationKeys)
            if (op.answers().contains(key)) {
                *error = QStringLiteral("the answer %1 belongs to one operation and cannot be given "
                                        "with --pending")
                             .arg(key);
                return false;
            }
    return true;
}

int GenerateCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &op)
{
    Runtime &rt = shell.rt();
    QStringList numbers = inv.arguments;
    if (m_pending) {
        bool failed = false;
        const QList<QStringList> rows = CargarOperaciones(rt, m_range.from, m_range.to, m_range.order, &failed);
        if (failed)
            return ExitFailed;  // the list's error box says why
        numbers.clear();
        for (const QStringList &row : rows)
            if (row.value(7).isEmpty())  // Procesado
                numbers << row.value(0);
    }
    const bool summary = m_pending || numbers.size() > 1;
    auto writeSummary = [&](const Tally &tally) {
        if (summary) {
            inv.io.err << tally.summary() << '\n';
            inv.io.err.flush();
        }
    };

    // Progress lines stand outside the message blocks: each is a whole line of its own.
    QString current;
    if (m_progress)
        rt.onProgress = [&](int item, int items) {
            inv.io.err << current << QStringLiteral(": item %1 of %2").arg(item).arg(items) << '\n';
            inv.io.err.flush();
        };
    struct ProgressOff {
        Runtime &rt;
        ~ProgressOff() { rt.onProgress = nullptr; }
    } progressOff{rt};

    Tally tally;
    for (const QString &numero : numbers) {
        op.newGeneration();
        current = numero;
        // A number typed on the command line may be wrong (the window only offers numbers of its
        // list), and another workstation may have processed a pending one meanwhile.
        EstadoDespacho estado;
        try {
            estado = LeerEstadoDespacho(rt, numero);
        } catch (const B2DError &e) {
            inv.error(QStringLiteral("operation %1 could not be read: %2").arg(numero, e.description()));
            ++tally.failed;
            continue;
        }
        if (!estado.found) {
            inv.error(QStringLiteral("operation %1 has no declaration in HISTORIAL (CARATULA_CARATULA); "
                                     "nothing written")
                          .arg(numero));
            ++tally.failed;
            continue;
        }
        if (m_pending && !EsNulo(estado.procesado).trimmed().isEmpty()) {
            inv.error(QStringLiteral("operation %1 was processed meanwhile (%2); skipped")
                          .arg(numero, EsNulo(estado.procesado)));
            continue;
        }
        GenerationReport report;
        try {
            report = ProcesarOperacion(rt, numero);
        } catch (const ProgramEnd &) {
            writeSummary(tally);
            throw;
        }
        switch (report.outcome) {
        case GenerationReport::Written:
            ++tally.written;
            inv.io.out << QFileInfo(report.path).absoluteFilePath() << '\n';
            inv.io.out.flush();
            break;
        case GenerationReport::Cancelled:
            ++tally.cancelled;
            break;
        case GenerationReport::Failed:
            ++tally.failed;
            break;
        }
    }
    writeSummary(tally);
    return tally.status();
}

}  // namespace b2d::cli
