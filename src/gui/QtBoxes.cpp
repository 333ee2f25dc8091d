#include "gui/QtBoxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace b2d {

namespace {

QMessageBox::Icon qtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Critical:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QWidget *QtBoxes::parentWidget() const
{
    if (m_parent && m_parent->isVisible())
        return m_parent;
    return QApplication::activeWindow();
}

BoxAnswer QtBoxes::message(const QString &text, BoxButtons buttons, BoxIcon icon,
                           const QString &title)
{
    QMessageBox box(parentWidget());
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(qtIcon(icon));
    if (buttons == BoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return BoxAnswer::Ok;
}

QString QtBoxes::input(const QString &prompt, const QString &title, const QString &defaultValue)
{
    QInputDialog dialog(parentWidget());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultValue);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

}  // namespace b2d
