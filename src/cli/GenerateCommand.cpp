#include "cli/GenerateCommand.h"

#include "app/Processing.h"
#include "app/Startup.h"
#include "cli/CliOperator.h"
#include "data/DataAccess.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

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

// A number typed on the command line may be wrong; the window only offers numbers of its list.
// Generating one that has no declaration would write an empty document and report success.
bool declarationExists(Runtime &rt, const QString &numero)
{
    Recordset rs;
    return openQuery(rt, QStringLiteral("HISTORIAL"),
                     QStringLiteral("Select DESPACHO From CARATULA_CARATULA Where DESPACHO = '")
                         + sqlQuote(numero) + QStringLiteral("'"),
                     rs);
}

}  // namespace

QString GenerateCommand::description() const
{
    return QStringLiteral(
        "Generates the file of each operation NUMBER, one after another, as Enter on its row\n"
        "does, and prints the written file's full path. The operator's prompts are answered\n"
        "from --answers/--answer; a prompt without an answer accepts its default, a prompt\n"
        "shown again in the same generation is cancelled, every cancel question is answered\n"
        "Yes. Exit status: 0 written, 3 cancelled, 4 failed, 5 the program ended.");
}

QList<QCommandLineOption> GenerateCommand::options() const
{
    return CliOperator::answerOptions();
}

bool GenerateCommand::prepare(Invocation &inv, CliOperator &op, QString *error)
{
    if (inv.arguments.isEmpty()) {
        *error = QStringLiteral("generate needs the number of at least one operation");
        return false;
    }
    return op.applyAnswerOptions(inv.parser, error);
}

int GenerateCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &op)
{
    const bool several = inv.arguments.size() > 1;
    Tally tally;
    for (const QString &numero : inv.arguments) {
        op.newGeneration();
        if (!declarationExists(shell.rt(), numero)) {
            inv.io.err << "velmorab2d-cli: operation " << numero
                       << " has no declaration in HISTORIAL (CARATULA_CARATULA); nothing written\n";
            inv.io.err.flush();
            ++tally.failed;
            continue;
        }
        GenerationReport report;
        try {
            report = ProcesarOperacion(shell.rt(), numero);
        } catch (const ProgramEnd &) {
            if (several) {
                inv.io.err << tally.summary() << '\n';
                inv.io.err.flush();
            }
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
    if (several) {
        inv.io.err << tally.summary() << '\n';
        inv.io.err.flush();
    }
    return tally.status();
}

}  // namespace b2d::cli
