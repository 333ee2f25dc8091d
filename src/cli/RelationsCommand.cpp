#include "cli/RelationsCommand.h"

#include "app/Startup.h"

#include <QTextStream>

namespace b2d::cli {

namespace {

const struct {
    const char *name;
    Relacion kind;
} kKinds[] = {
    {"concept", Relacion::Concepto},
    {"currency", Relacion::Moneda},
    {"country", Relacion::Pais},
};

}  // namespace

QString RelationsCommand::description() const
{
    return QStringLiteral(
        "Lists, adds or removes code relations (concept, currency, country) with the statements\n"
        "of the configuration window. list prints the grid's headers and rows separated by\n"
        "tabs; add writes the origin and destination (SIM and ISO); remove deletes every row of\n"
        "the pair, without a question; a pair that is not there is reported (exit 4).");
}

bool RelationsCommand::prepare(Invocation &inv, CliOperator &, QString *error)
{
    const QStringList &args = inv.arguments;
    m_verb = args.value(0);
    const bool list = m_verb == QLatin1String("list");
    const bool write = m_verb == QLatin1String("add") || m_verb == QLatin1String("remove");
    if ((!list && !write) || args.size() != (list ? 2 : 4)) {
        *error = QStringLiteral("relations takes list KIND, add KIND ORIGIN DESTINATION or remove "
                                "KIND ORIGIN DESTINATION, got \"%1\"")
                     .arg(args.join(QLatin1Char(' ')));
        return false;
    }
    for (const auto &k : kKinds) {
        if (args.at(1) == QLatin1String(k.name)) {
            m_kind = k.kind;
            if (write) {
                m_origin = args.at(2);
                m_destination = args.at(3);
            }
            return true;
        }
    }
    *error = QStringLiteral("unknown relation \"%1\" (concept, currency or country)").arg(args.at(1));
    return false;
}

int RelationsCommand::executeWithShell(Invocation &inv, Shell &shell, CliOperator &)
{
    Runtime &rt = shell.rt();
    if (m_verb == QLatin1String("list")) {
        QStringList headers;
        for (const RelationColumn &c : relationTable(m_kind).columns)
            headers << c.header;
        inv.io.out << headers.join(QLatin1Char('\t')) << '\n';
        for (const QStringList &row : CargarRelaciones(rt, m_kind))
            inv.io.out << row.join(QLatin1Char('\t')) << '\n';
        inv.io.out.flush();
        return ExitOk;
    }
    QString error;
    int removed = -1;
    const bool ok = m_verb == QLatin1String("add")
        ? insertRelation(rt, m_kind, m_origin, m_destination, &error)
        : deleteRelation(rt, m_kind, m_origin, m_destination, &error, &removed);
    if (!ok) {
        inv.error(error);
        return ExitFailed;
    }
    // A pair that is not there is reported, so that a mistyped code is not taken for done.
    if (removed == 0) {
        inv.error(QStringLiteral("no %1 relation %2 -> %3; nothing removed")
                      .arg(relationTable(m_kind).name, m_origin, m_destination));
        return ExitFailed;
    }
    return ExitOk;
}

}  // namespace b2d::cli
