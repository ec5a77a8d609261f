#pragma once
// Driving a window that runs modally: it has its own event loop, so a test acts on it from a
// timer once it is on top.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace linoveta {

// Runs `step` once a visible modal window of type T is on top. After a few seconds without it
// every modal window is closed, so a failing test ends instead of hanging.
template <typename T>
void whenModal(std::function<void(T *)> step)
{
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, step] {
        T *top = qobject_cast<T *>(QApplication::activeModalWidget());
        if (top && top->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            step(top);
            return;
        }
        if (clock->elapsed() > 3000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            ADD_FAILURE() << "expected modal window " << T::staticMetaObject.className() << " never came";
            while (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    timer->start();
}

} // namespace linoveta
