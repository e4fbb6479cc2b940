// Ends the program as its close box does when the system asks: SIGTERM (a shutdown, systemctl
// stop), SIGHUP (the terminal went away), SIGINT (Ctrl+C) and a desktop logout close every window,
// so that the recording stops and the workspace is written. A second signal ends the program at
// once, should the first not get through.
#pragma once

#include <QObject>

#include <atomic>

class QSocketNotifier;
class QTimer;

class COrderlyEnd : public QObject {
    Q_OBJECT
public:
    explicit COrderlyEnd(QObject* parent = nullptr);
    ~COrderlyEnd() override;

    // Whether an end was asked for: the program then does not start its window again.
    bool Requested() const { return m_requested; }
    // Closes the windows as the close box does, again and again until they are gone (a window
    // whose stop is still in progress refuses once).
    void Request();

private:
    void CloseWindows();

    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_retry = nullptr;
    bool m_requested = false;
};
