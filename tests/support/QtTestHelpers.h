// Helpers for widget tests.
#pragma once

#include <QEventLoop>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

// Lets the event loop run for a while, as a user would wait.
inline void RunEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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
