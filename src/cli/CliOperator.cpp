#include "cli/CliOperator.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace b2d::cli {

namespace {

const QString kAnswersOption = QStringLiteral("answers");
const QString kAnswerOption = QStringLiteral("answer");
const QString kInteractiveOption = QStringLiteral("interactive");

// The input boxes of a generation by title, and the key that answers each.
const QList<std::pair<QString, QString>> &titleKeys()
{
    static const QList<std::pair<QString, QString>> table{
        {QStringLiteral("CANAL Despacho"), QStringLiteral("Canal")},
        {QStringLiteral("ProcessReferenceCode(waybillReferenceCode)"), QStringLiteral("ProcessRC")},
        {QStringLiteral("BrokerReferenceCode(waybillReferenceCode)"), QStringLiteral("BrokerRC")},
        {QStringLiteral("LIBERACION"), QStringLiteral("FechaLIB")},
        {QStringLiteral("CUMPLIDO"), QStringLiteral("FechaCumplido")},
        {QStringLiteral("PAGO"), QStringLiteral("FechaPago")},
        {QStringLiteral("Generar Archivo"), QStringLiteral("NombreArchivo")},
    };
    return table;
}

QString asShown(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

CliOperator::CliOperator(QTextStream &err, QTextStream *terminal) : m_err(err), m_terminal(terminal)
{
}

const QStringList &CliOperator::answerKeys()
{
    static const QStringList keys = [] {
        QStringList k;
        for (const auto &[title, key] : titleKeys())
            k << key;
        return k;
    }();
    return keys;
}

QString CliOperator::keyForTitle(const QString &title)
{
    for (const auto &[t, key] : titleKeys())
        if (t == title)
            return key;
    return {};
}

QString CliOperator::canonicalKey(const QString &key)
{
    for (const QString &k : answerKeys())
        if (k.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return k;
    return {};
}

QString CliOperator::iconName(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QStringLiteral("information");
    case BoxIcon::Warning:
        return QStringLiteral("warning");
    case BoxIcon::Critical:
        return QStringLiteral("critical");
    case BoxIcon::Question:
        return QStringLiteral("question");
    case BoxIcon::None:
        break;
    }
    return QStringLiteral("none");
}

void CliOperator::writeBlock(const QString &text, BoxIcon icon, const QString &title)
{
    m_err << "== " << iconName(icon) << ": " << title << '\n' << asShown(text) << "\n==\n";
    m_err.flush();
}

BoxAnswer CliOperator::message(const QString &text, BoxButtons buttons, BoxIcon icon,
                               const QString &title)
{
    ++m_messageCounts[int(icon)];
    writeBlock(text, icon, title);
    if (buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    // Every question of a generation asks whether to give up: the scripted operator does.
    return m_interactive ? askQuestion() : BoxAnswer::Yes;
}

QString CliOperator::input(const QString &prompt, const QString &title, const QString &defaultValue)
{
    if (m_interactive)
        return askInput(prompt, defaultValue);

    const QString key = keyForTitle(title);
    const QString shownAs = key.isEmpty() ? title : key;
    if (m_shownKeys.contains(shownAs))
        return {};  // asked again in the same generation: Cancel
    m_shownKeys.insert(shownAs);
    if (!key.isEmpty() && m_answers.contains(key))
        return m_answers.value(key);  // typed; the empty answer is Cancel
    return defaultValue;              // OK on the offered default
}

QString CliOperator::readTerminalLine(bool *atEnd)
{
    *atEnd = false;
    if (!m_terminal || m_terminal->atEnd()) {
        *atEnd = true;
        return {};
    }
    QString line;
    if (!m_terminal->readLineInto(&line)) {
        *atEnd = true;
        return {};
    }
    return line;
}

BoxAnswer CliOperator::askQuestion()
{
    for (;;) {
        m_err << "[Yes/no]: ";
        m_err.flush();
        bool atEnd = false;
        const QString answer = readTerminalLine(&atEnd).trimmed().toLower();
        if (atEnd) {
            m_err << '\n';
            return BoxAnswer::Yes;  // nobody left to answer: give up rather than loop
        }
        if (answer.isEmpty() || answer == QLatin1String("y") || answer == QLatin1String("yes")
            || answer == QLatin1String("s") || answer == QLatin1String("si")
            || answer == QStringLiteral("sí"))
            return BoxAnswer::Yes;
        if (answer == QLatin1String("n") || answer == QLatin1String("no")
            || answer == QLatin1String("-"))
            return BoxAnswer::No;
    }
}

QString CliOperator::askInput(const QString &prompt, const QString &defaultValue)
{
    m_err << asShown(prompt) << " [" << defaultValue << "]: ";
    m_err.flush();
    bool atEnd = false;
    const QString line = readTerminalLine(&atEnd);
    if (atEnd) {
        m_err << '\n';
        return {};
    }
    if (line.isEmpty())
        return defaultValue;
    if (line.trimmed() == QLatin1String("-"))
        return {};
    return line;
}

void CliOperator::setAnswer(const QString &key, const QString &value)
{
    const QString canonical = canonicalKey(key);
    m_answers.insert(canonical.isEmpty() ? key : canonical, value);
}

bool CliOperator::setAnswerPair(const QString &keyValue, QString *error)
{
    const qsizetype eq = keyValue.indexOf(QLatin1Char('='));
    if (eq < 0) {
        if (error)
            *error = QStringLiteral("--answer needs KEY=VALUE, got \"%1\"").arg(keyValue);
        return false;
    }
    const QString key = canonicalKey(keyValue.left(eq));
    if (key.isEmpty()) {
        if (error)
            *error = QStringLiteral("unknown answer key \"%1\" (keys: %2)")
                         .arg(keyValue.left(eq), answerKeys().join(QStringLiteral(", ")));
        return false;
    }
    m_answers.insert(key, keyValue.mid(eq + 1));
    return true;
}

bool CliOperator::loadAnswersFile(const QString &path, QString *error)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("answers file not found or unreadable: %1").arg(path);
        return false;
    }
    // An INI file read by hand, so that each value comes back exactly as written (no list
    // splitting at commas, no escapes).
    QTextStream in(&f);
    QString group;
    int lineNumber = 0;
    QMap<QString, QString> read;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        if (group.compare(QLatin1String("answers"), Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = canonicalKey(eq < 0 ? line : line.left(eq));
        if (eq < 0 || key.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1:%2: expected KEY=VALUE with KEY one of %3")
                             .arg(path)
                             .arg(lineNumber)
                             .arg(answerKeys().join(QStringLiteral(", ")));
            return false;
        }
        read.insert(key, unquoted(line.mid(eq + 1).trimmed()));
    }
    for (auto it = read.cbegin(); it != read.cend(); ++it)
        m_answers.insert(it.key(), it.value());
    return true;
}

QList<QCommandLineOption> CliOperator::answerOptions()
{
    return {
        QCommandLineOption(kAnswersOption,
                           QStringLiteral("INI file with the answers in group [answers]."),
                           QStringLiteral("FILE")),
        QCommandLineOption(kAnswerOption,
                           QStringLiteral("One answer (Canal, ProcessRC, BrokerRC, FechaLIB, "
                                          "FechaCumplido, FechaPago, NombreArchivo); repeatable; "
                                          "overrides the file. An empty VALUE presses Cancel."),
                           QStringLiteral("KEY=VALUE")),
        QCommandLineOption(kInteractiveOption,
                           QStringLiteral("Ask on the terminal instead (Enter: the default, "
                                          "-: Cancel).")),
    };
}

bool CliOperator::applyAnswerOptions(const QCommandLineParser &parser, QString *error)
{
    if (parser.isSet(kAnswersOption) && !loadAnswersFile(parser.value(kAnswersOption), error))
        return false;
    for (const QString &pair : parser.values(kAnswerOption))
        if (!setAnswerPair(pair, error))
            return false;
    setInteractive(parser.isSet(kInteractiveOption));
    return true;
}

}  // namespace b2d::cli
