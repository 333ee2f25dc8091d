#include "data/SqlTrace.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <memory>

namespace b2d {

namespace {

QString jsonString(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Milliseconds with up to three decimals, no trailing zeros.
QString milliseconds(double ms)
{
    QString s = QString::number(ms < 0 ? 0.0 : ms, 'f', 3);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QLatin1String jsonBool(bool b)
{
    return b ? QLatin1String("true") : QLatin1String("false");
}

}  // namespace

QString jsonTraceLine(const StatementTrace &t)
{
    QString line = QStringLiteral("{\"entity\": ") + jsonString(t.entity)
                   + QStringLiteral(", \"sql\": ") + jsonString(t.sql)
                   + QStringLiteral(", \"rows\": ") + QString::number(t.rows)
                   + QStringLiteral(", \"ms\": ") + milliseconds(t.ms)
                   + QStringLiteral(", \"cached\": ") + jsonBool(t.cached)
                   + QStringLiteral(", \"ok\": ") + jsonBool(t.ok);
    if (!t.ok)
        line += QStringLiteral(", \"error\": ") + jsonString(t.error);
    line += QStringLiteral(", \"answered\": ");
    line += t.answered == Answered::Cache        ? QLatin1String("\"cache\"")
            : t.answered == Answered::WorkingSet ? QLatin1String("\"working set\"")
                                                 : QLatin1String("\"database\"");
    return line + QLatin1Char('}');
}

void addJsonTraceFile(DataAccess &db, const QString &path)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        throw B2DError(ErrNo::PathNotFound, QStringLiteral("RecordGate.RGMain"),
                       QStringLiteral("No se puede escribir la traza de sentencias en %1: %2")
                           .arg(QDir::toNativeSeparators(path), file->errorString()));
    db.addTraceSink([file](const StatementTrace &t) {
        file->write((jsonTraceLine(t) + QLatin1Char('\n')).toUtf8());
        file->flush();
    });
}

QString describeStatement(const StatementTrace &t)
{
    QString outcome;
    if (!t.ok)
        outcome = QStringLiteral("ERROR: ") + t.error;
    else if (t.write)
        outcome = QStringLiteral("ejecutada");
    else
        outcome = QStringLiteral("%1 %2").arg(t.rows).arg(t.rows == 1 ? QStringLiteral("fila")
                                                                       : QStringLiteral("filas"));
    if (t.cached)
        outcome += QStringLiteral(" (caché)");
    else if (t.answered == Answered::WorkingSet)
        outcome += QStringLiteral(" (conjunto de trabajo)");
    QString text = t.sql;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QStringLiteral("%1 | %2 | %3 ms | %4").arg(t.entity, outcome, milliseconds(t.ms), text);
}

}  // namespace b2d
