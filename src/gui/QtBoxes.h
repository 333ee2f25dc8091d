#pragma once

#include "platform/Boxes.h"

#include <QPointer>
#include <QWidget>

namespace b2d {

// The boxes of the window program: modal Qt message boxes with the system's icons, buttons and
// titles, and an input dialog that offers its default (Cancel answers the empty text).
class QtBoxes final : public Boxes {
public:
    explicit QtBoxes(QWidget *parent = nullptr) : m_parent(parent) {}

    // The window the boxes are shown over; without one, the active window.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    BoxAnswer message(const QString &text, BoxButtons buttons, BoxIcon icon,
                      const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultValue) override;

private:
    QWidget *parentWidget() const;
    QPointer<QWidget> m_parent;
};

}  // namespace b2d
