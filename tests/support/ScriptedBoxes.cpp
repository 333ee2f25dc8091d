#include "support/ScriptedBoxes.h"

namespace b2d {

BoxAnswer ScriptedBoxes::message(const QString &text, BoxButtons buttons, BoxIcon icon,
                                 const QString &title)
{
    Shown s{Shown::Message, text, title, icon, buttons, {}, {}};
    BoxAnswer a = BoxAnswer::Ok;
    if (buttons == BoxButtons::YesNo) {
        const bool yes = m_questions.isEmpty() ? m_defaultYes : m_questions.takeFirst();
        a = yes ? BoxAnswer::Yes : BoxAnswer::No;
        s.answer = yes ? QStringLiteral("Yes") : QStringLiteral("No");
    } else {
        s.answer = QStringLiteral("OK");
    }
    m_shown.push_back(s);
    return a;
}

QString ScriptedBoxes::input(const QString &prompt, const QString &title, const QString &defaultValue)
{
    QString typed = defaultValue;
    if (!m_inputs.isEmpty()) {
        const QString next = m_inputs.takeFirst();
        if (next != QString(QChar(0)))
            typed = next;
    }
    m_shown.push_back({Shown::Input, prompt, title, BoxIcon::None, BoxButtons::Ok, defaultValue, typed});
    return typed;
}

QList<ScriptedBoxes::Shown> ScriptedBoxes::messages() const
{
    QList<Shown> out;
    for (const Shown &s : m_shown)
        if (s.kind == Shown::Message)
            out << s;
    return out;
}

QStringList ScriptedBoxes::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out << s.text;
    return out;
}

}  // namespace b2d
