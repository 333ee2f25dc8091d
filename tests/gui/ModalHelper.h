#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace b2d::test {

// Acts on the modal dialog of type T as soon as it is open, from inside its own event loop (a
// modal dialog's exec() returns only when it closes). Checks every few milliseconds.
template <typename T>
void whenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

}  // namespace b2d::test
