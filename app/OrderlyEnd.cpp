#include "OrderlyEnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end the signal handler wakes the event loop through; a signal handler may do no more.
int g_wakeFd = -1;

void OnSignal(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = write(g_wakeFd, &byte, 1);
}

} // namespace

COrderlyEnd::COrderlyEnd(QObject* parent) : QObject(parent) {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        return;
    }
    fcntl(pair[0], F_SETFL, O_NONBLOCK);
    fcntl(pair[1], F_SETFL, O_NONBLOCK);
    g_wakeFd = pair[0];
    m_notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (read(static_cast<int>(m_notifier->socket()), bytes, sizeof bytes) > 0) {
        }
        Request();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART | SA_RESETHAND; // the second one is not caught
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        sigaction(signal, &action, nullptr);
    }
    // A desktop logout: the session manager asks the program to save its data.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Request(); });

    m_retry = new QTimer(this);
    m_retry->setInterval(100);
    connect(m_retry, &QTimer::timeout, this, &COrderlyEnd::CloseWindows);
}

COrderlyEnd::~COrderlyEnd() {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        std::signal(signal, SIG_DFL);
    }
    if (m_notifier) {
        close(g_wakeFd);
        close(static_cast<int>(m_notifier->socket()));
        g_wakeFd = -1;
    }
}

void COrderlyEnd::Request() {
    m_requested = true;
    CloseWindows();
    m_retry->start();
}

void COrderlyEnd::CloseWindows() {
    // The innermost dialog first, so that each nested dialog returns to the one below it.
    bool open = false;
    for (int depth = 0; depth < 32; ++depth) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            break;
        }
        if (!modal->close()) {
            open = true;
            break;
        }
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !window->close()) {
            open = true;
        }
    }
    if (!open) {
        m_retry->stop();
    }
}
