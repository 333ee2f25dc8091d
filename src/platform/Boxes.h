#pragma once

#include <QString>

namespace b2d {

enum class BoxIcon { None, Information, Warning, Critical, Question };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// The modal boxes the system shows: message, question, input. The window shows Qt dialogs, the
// command line a scripted or terminal operator, tests a script that records every box.
class Boxes {
public:
    virtual ~Boxes() = default;

    // A message box; with YesNo it is a question and answers Yes or No.
    virtual BoxAnswer message(const QString &text, BoxButtons buttons, BoxIcon icon,
                              const QString &title) = 0;
    // An input box: the typed answer, or the empty text when Cancel was pressed.
    virtual QString input(const QString &prompt, const QString &title,
                          const QString &defaultValue) = 0;

    // Conveniences over message().
    void inform(const QString &text, BoxIcon icon, const QString &title)
    {
        message(text, BoxButtons::Ok, icon, title);
    }
    bool askYesNo(const QString &text, const QString &title)
    {
        return message(text, BoxButtons::YesNo, BoxIcon::Question, title) == BoxAnswer::Yes;
    }
};

}  // namespace b2d
