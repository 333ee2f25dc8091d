#include "cli/CliOperator.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::cli;

namespace {

struct Operator {
    explicit Operator(QString typed = {}) : terminalText(std::move(typed)) {}

    QString errText;
    QTextStream err{&errText};
    QString terminalText;  // what the terminal will read
    QTextStream terminal{&terminalText, QIODevice::ReadOnly};
    CliOperator op{err, &terminal};

    QString errors()
    {
        err.flush();
        return errText;
    }
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
    return path;
}

}  // namespace

TEST(CliOperator, AnswersEachPromptOnceByItsKeyThenCancels)
{
    struct Step {
        const char *title;
        const char *offered;   // the box's default
        const char *expected;  // what the operator answers ("" is Cancel)
    };
    const Step steps[] = {
        {"CANAL Despacho", "VERDE", "V"},                                   // typed answer
        {"ProcessReferenceCode(waybillReferenceCode)", "HAWB-1", "HAWB-1"},  // OK on the default
        {"BrokerReferenceCode(waybillReferenceCode)", "26-0412", ""},        // given as empty: Cancel
        {"LIBERACION", "", "10/03/2026"},
        {"CANAL Despacho", "VERDE", ""},                                    // shown again: Cancel
        {"ProcessReferenceCode(waybillReferenceCode)", "HAWB-1", ""},
        {"Otra pregunta", "x", "x"},                                        // no key: default once
        {"Otra pregunta", "x", ""},
    };
    Operator o;
    o.op.setAnswer(QStringLiteral("canal"), QStringLiteral("V"));
    o.op.setAnswer(QStringLiteral("BrokerRC"), QString());
    o.op.setAnswer(QStringLiteral("FechaLIB"), QStringLiteral("10/03/2026"));
    for (const Step &s : steps) {
        SCOPED_TRACE(s.title);
        EXPECT_EQ(o.op.input(QStringLiteral("prompt"), QString::fromUtf8(s.title), QString::fromUtf8(s.offered)),
                  QString::fromUtf8(s.expected));
    }
    // A new generation answers every prompt once more.
    o.op.newGeneration();
    EXPECT_EQ(o.op.input(QStringLiteral("p"), QStringLiteral("CANAL Despacho"), QStringLiteral("VERDE")),
              QStringLiteral("V"));
    EXPECT_TRUE(o.errors().isEmpty()) << "inputs write nothing in scripted mode";
}

TEST(CliOperator, TitlesMapToTheAnswerKeys)
{
    const std::pair<const char *, const char *> titles[] = {
        {"CANAL Despacho", "Canal"},
        {"ProcessReferenceCode(waybillReferenceCode)", "ProcessRC"},
        {"BrokerReferenceCode(waybillReferenceCode)", "BrokerRC"},
        {"LIBERACION", "FechaLIB"},
        {"CUMPLIDO", "FechaCumplido"},
        {"PAGO", "FechaPago"},
        {"Generar Archivo", "NombreArchivo"},
        {"PAGO ", ""},
    };
    for (const auto &[title, key] : titles) {
        SCOPED_TRACE(title);
        EXPECT_EQ(CliOperator::keyForTitle(QString::fromUtf8(title)), QString::fromUtf8(key));
    }
}

TEST(CliOperator, MessagesAreBlocksOnTheErrorStreamAndQuestionsAreAnsweredYes)
{
    Operator o;
    EXPECT_EQ(o.op.message(QStringLiteral("El archivo se ha generado,\r\n Ubicacion: /x/A.XML"),
                           BoxButtons::Ok, BoxIcon::Information, QStringLiteral("VelmoraB2D - v.1.0.0")),
              BoxAnswer::Ok);
    EXPECT_EQ(o.op.message(QStringLiteral("No ingreso 'ProcessReferenceCode'(waybillReferenceCode), desea cancelar?"),
                           BoxButtons::YesNo, BoxIcon::Question, QStringLiteral("VelmoraB2D - v.1.0.0")),
              BoxAnswer::Yes);
    EXPECT_EQ(o.op.message(QStringLiteral("Error: ITRValue X devolvio 2 registros."), BoxButtons::Ok,
                           BoxIcon::None, QString()),
              BoxAnswer::Ok);
    EXPECT_EQ(o.op.message(QStringLiteral("uno\rdos\n"), BoxButtons::Ok, BoxIcon::Critical, QStringLiteral("T")),
              BoxAnswer::Ok);
    EXPECT_EQ(o.errors(),
              QStringLiteral("== information: VelmoraB2D - v.1.0.0\n"
                             "El archivo se ha generado,\n Ubicacion: /x/A.XML\n"
                             "==\n"
                             "== question: VelmoraB2D - v.1.0.0\n"
                             "No ingreso 'ProcessReferenceCode'(waybillReferenceCode), desea cancelar?\n"
                             "==\n"
                             "== none: \n"
                             "Error: ITRValue X devolvio 2 registros.\n"
                             "==\n"
                             "== critical: T\n"
                             "uno\ndos\n\n"
                             "==\n"));
    EXPECT_EQ(o.op.messagesShown(BoxIcon::Critical), 1);
    EXPECT_EQ(o.op.messagesShown(BoxIcon::Warning), 0);
}

TEST(CliOperator, InteractiveAsksOnTheTerminal)
{
    struct Case {
        const char *typed;     // the terminal's line ("" is Enter alone); nullptr: no input left
        const char *expected;
    };
    const Case cases[] = {
        {"", "VERDE"},       // Enter accepts the default
        {"R", "R"},
        {"-", ""},           // Cancel
        {" Pérez, Juan ", " Pérez, Juan "},
        {nullptr, ""},       // end of input is Cancel
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "(end)");
        const QString line = c.typed ? QString::fromUtf8(c.typed) + QLatin1Char('\n') : QString();
        Operator o(line + line);
        o.op.setInteractive(true);
        // Asked every time: the repeat rule is the scripted operator's.
        for (int time = 0; time < 2; ++time)
            EXPECT_EQ(o.op.input(QStringLiteral("Ingrese CANAL / DECLARATION CHANNEL"),
                                 QStringLiteral("CANAL Despacho"), QStringLiteral("VERDE")),
                      QString::fromUtf8(c.expected));
        EXPECT_TRUE(o.errors().startsWith(QStringLiteral("Ingrese CANAL / DECLARATION CHANNEL [VERDE]: ")));
    }

    struct Question {
        const char *typed;
        BoxAnswer expected;
    };
    const Question questions[] = {
        {"quizas\nno\n", BoxAnswer::No},  // asked until it is a yes or a no
        {"\n", BoxAnswer::Yes},
        {"s\n", BoxAnswer::Yes},
        {"", BoxAnswer::Yes},              // nobody to answer: give up
    };
    for (const Question &q : questions) {
        SCOPED_TRACE(q.typed);
        Operator o{QString::fromUtf8(q.typed)};
        o.op.setInteractive(true);
        EXPECT_EQ(o.op.message(QStringLiteral("desea cancelar?"), BoxButtons::YesNo, BoxIcon::Question,
                               QStringLiteral("T")),
                  q.expected);
        EXPECT_TRUE(o.errors().startsWith(QStringLiteral("== question: T\ndesea cancelar?\n==\n[Yes/no]: ")));
    }
}

TEST(CliOperator, AnswersComeFromTheFileAndTheCommandLine)
{
    QTemporaryDir dir;
    const QString file = writeFile(
        dir, QStringLiteral("answers.ini"),
        QStringLiteral("; demo answers\n[other]\nCanal=X\n[answers]\ncanal = V\nProcessRC=Pérez, Juan\n"
                       "BrokerRC=\nFechaPago=\"09/03/2026\"\n"));
    const QString badKey =
        writeFile(dir, QStringLiteral("bad.ini"), QStringLiteral("[answers]\nChannel=V\n"));

    struct Case {
        QStringList arguments;
        bool ok;
        QMap<QString, QString> answers;
        bool interactive = false;
    };
    const QString prog = QStringLiteral("velmorab2d-cli");
    const Case cases[] = {
        {{prog, QStringLiteral("--answers"), file},
         true,
         {{QStringLiteral("Canal"), QStringLiteral("V")},
          {QStringLiteral("ProcessRC"), QStringLiteral("Pérez, Juan")},
          {QStringLiteral("BrokerRC"), QString()},
          {QStringLiteral("FechaPago"), QStringLiteral("09/03/2026")}}},
        {{prog, QStringLiteral("--answer"), QStringLiteral("Canal=R"), QStringLiteral("--answers"), file,
          QStringLiteral("--answer"), QStringLiteral("fechalib=1/3/2026"), QStringLiteral("--interactive")},
         true,
         {{QStringLiteral("Canal"), QStringLiteral("R")},
          {QStringLiteral("ProcessRC"), QStringLiteral("Pérez, Juan")},
          {QStringLiteral("BrokerRC"), QString()},
          {QStringLiteral("FechaPago"), QStringLiteral("09/03/2026")},
          {QStringLiteral("FechaLIB"), QStringLiteral("1/3/2026")}},
         true},
        {{prog, QStringLiteral("--answer"), QStringLiteral("NombreArchivo=a=b")},
         true,
         {{QStringLiteral("NombreArchivo"), QStringLiteral("a=b")}}},
        {{prog, QStringLiteral("--answer"), QStringLiteral("Canal")}, false, {}},
        {{prog, QStringLiteral("--answer"), QStringLiteral("Channel=V")}, false, {}},
        {{prog, QStringLiteral("--answers"), badKey}, false, {}},
        {{prog, QStringLiteral("--answers"), dir.filePath(QStringLiteral("missing.ini"))}, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        QCommandLineParser parser;
        parser.addOptions(CliOperator::answerOptions());
        ASSERT_TRUE(parser.parse(c.arguments));
        Operator o;
        QString error;
        EXPECT_EQ(o.op.applyAnswerOptions(parser, &error), c.ok);
        EXPECT_EQ(error.isEmpty(), c.ok) << error.toStdString();
        if (c.ok) {
            EXPECT_EQ(o.op.answers(), c.answers);
            EXPECT_EQ(o.op.interactive(), c.interactive);
        }
    }
}
