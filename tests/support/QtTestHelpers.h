// Helpers for widget tests.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>

// Lets the event loop run for a while, as a user would wait.
inline void RunEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs open(), which shows a modal dialog, and answers that dialog with handle once it is on the
// screen. True only when a dialog of type T came and handle ran, so that a test asserts on the
// result and an assertion inside handle cannot pass by never running. A modal widget of another
// type is closed (and the result is false), so that the test ends instead of waiting for ever.
template <class T>
bool AnswerModal(const std::function<void(T&)>& handle, const std::function<void()>& open) {
    bool answered = false;
    bool wrong = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            return;
        }
        poll.stop();
        if (T* dialog = qobject_cast<T*>(modal)) {
            answered = true;
            handle(*dialog);
        } else {
            wrong = true;
            modal->close();
        }
    });
    poll.start();
    open();
    poll.stop();
    return answered && !wrong;
}

// Renders the widget; CHRONOSCOPE_SCREENSHOTS names a folder to keep the picture in.
inline QImage RenderWidget(QWidget& widget, const QString& name) {
    QImage image = widget.grab().toImage();
    if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS")) {
        image.save(QString::fromUtf8(folder) + QLatin1Char('/') + name);
    }
    return image;
}

// A control of a window by its id, which is its object name.
template <class T = QWidget> T* ControlById(const QWidget& window, int id) {
    T* control = window.findChild<T*>(QString::number(id));
    if (!control) {
        std::abort(); // a test that asks for a control the window does not have is wrong
    }
    return control;
}
