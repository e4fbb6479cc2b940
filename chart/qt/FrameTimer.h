// Work done at the screen's next frame: however often it is asked for before that frame, the
// latest work runs once.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

// One frame of the screen the widget is on, in whole milliseconds.
int g_FrameIntervalMs(const QWidget& widget);

class CFrameTimer {
public:
    explicit CFrameTimer(QWidget& shown) : m_shown(shown) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (const std::function<void()> work = std::exchange(m_work, {})) {
                work();
            }
        });
    }
    bool Schedule(std::function<void()> work) {
        m_work = std::move(work);
        if (!m_timer.isActive()) {
            m_timer.start(g_FrameIntervalMs(m_shown));
        }
        return true;
    }

private:
    QWidget& m_shown;
    QTimer m_timer;
    std::function<void()> m_work;
};
