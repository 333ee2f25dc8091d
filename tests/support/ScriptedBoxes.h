#pragma once

#include "platform/Boxes.h"

#include <QList>
#include <QStringList>

namespace b2d {

// Boxes answered from a script, recording every box shown. With nothing scripted, a question is
// answered `defaultAnswer` and an input box accepts its default.
class ScriptedBoxes final : public Boxes {
public:
    struct Shown {
        enum Kind { Message, Input } kind;
        QString text;   // message text or input prompt
        QString title;
        BoxIcon icon = BoxIcon::None;
        BoxButtons buttons = BoxButtons::Ok;
        QString defaultValue;
        QString answer;  // what was typed, or "Yes"/"No"/"OK"
    };

    BoxAnswer message(const QString &text, BoxButtons buttons, BoxIcon icon,
                      const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultValue) override;

    // The next input box gets this answer (empty = Cancel).
    void type(const QString &answer) { m_inputs.push_back(answer); }
    // The next input box accepts its default.
    void acceptDefault() { m_inputs.push_back(QString(QChar(0))); }
    // The next question is answered Yes / No.
    void answer(bool yes) { m_questions.push_back(yes); }
    void setDefaultQuestionAnswer(bool yes) { m_defaultYes = yes; }

    const QList<Shown> &shown() const { return m_shown; }
    QList<Shown> messages() const;   // message boxes only
    QStringList texts() const;       // every text or prompt, in order
    void clear() { m_shown.clear(); }
    int pendingInputs() const { return int(m_inputs.size()); }

private:
    QList<QString> m_inputs;
    QList<bool> m_questions;
    QList<Shown> m_shown;
    bool m_defaultYes = true;
};

}  // namespace b2d
