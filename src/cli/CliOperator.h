#pragma once

#include "platform/Boxes.h"

#include <QCommandLineOption>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

class QCommandLineParser;
class QTextStream;

namespace b2d::cli {

// The operator of the command line: answers the boxes of a generation without a window.
//
// Scripted (the default): an input box is answered by the answer given for its key (Canal,
// ProcessRC, BrokerRC, FechaLIB, FechaCumplido, FechaPago, NombreArchivo, found from the box's
// title) the first time it is shown in a generation; with no answer given, OK is pressed on the
// default the box offers; an answer given as the empty text presses Cancel. Every later showing of
// the same box in the same generation presses Cancel, so a prompt that keeps asking cannot loop.
// Every question is answered Yes.
//
// Interactive: inputs and questions are asked on the terminal; Enter alone accepts the default,
// a lone "-" is Cancel.
//
// In both modes every message box is written to the error stream as one block:
//   == ICON: TITLE
//   the text, its line breaks as line breaks
//   ==
class CliOperator final : public Boxes {
public:
    // `err` receives the blocks (and the interactive prompts); `terminal` is read in interactive
    // mode.
    explicit CliOperator(QTextStream &err, QTextStream *terminal = nullptr);

    BoxAnswer message(const QString &text, BoxButtons buttons, BoxIcon icon,
                      const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultValue) override;

    // The answer keys, in their canonical spelling.
    static const QStringList &answerKeys();
    // The key an input box answers, from its title; empty for a box no key answers.
    static QString keyForTitle(const QString &title);
    // The canonical spelling of a key given in any case; empty when it is not a key.
    static QString canonicalKey(const QString &key);
    // The ICON word of a block.
    static QString iconName(BoxIcon icon);

    // Answers. A key is matched without regard to case. False with `error` for an unknown key,
    // a missing or unreadable file, or a pair without "=".
    void setAnswer(const QString &key, const QString &value);
    bool setAnswerPair(const QString &keyValue, QString *error);
    bool loadAnswersFile(const QString &path, QString *error);
    const QMap<QString, QString> &answers() const { return m_answers; }

    void setInteractive(bool on) { m_interactive = on; }
    bool interactive() const { return m_interactive; }

    // A new generation starts: every prompt may be answered once again.
    void newGeneration() { m_shownKeys.clear(); }

    // How many message boxes of an icon were shown so far (for the commands' statuses).
    int messagesShown(BoxIcon icon) const { return m_messageCounts.value(int(icon)); }

    // The options of a command that asks the operator: --answers FILE, --answer KEY=VALUE
    // (repeatable, overriding the file), --interactive.
    static QList<QCommandLineOption> answerOptions();
    // Applies those options: the file first, then each --answer in order. False with `error`
    // when one of them is wrong.
    bool applyAnswerOptions(const QCommandLineParser &parser, QString *error);

private:
    void writeBlock(const QString &text, BoxIcon icon, const QString &title);
    QString readTerminalLine(bool *atEnd);
    BoxAnswer askQuestion();
    QString askInput(const QString &prompt, const QString &defaultValue);

    QTextStream &m_err;
    QTextStream *m_terminal;
    bool m_interactive = false;
    QMap<QString, QString> m_answers;  // canonical key -> answer
    QSet<QString> m_shownKeys;         // prompts shown in this generation (key or title)
    QHash<int, int> m_messageCounts;
};

}  // namespace b2d::cli
