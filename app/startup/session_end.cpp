#include "app/startup/session_end.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "app/main_form/form_main.h"
#include "services/guard.h"
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace {

// Write end of the self-pipe; the handler may touch nothing else.
volatile std::sig_atomic_t wakeFd = -1;

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // write() is async-signal-safe; a full pipe already holds a wake-up.
    [[maybe_unused]] ssize_t n = ::write(wakeFd, &byte, 1);
    errno = savedErrno;
}

void drain(int fd) {
    char buffer[64];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

void installOrderlyEnd(TForm_Main* form) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) == 0) {
        wakeFd = fds[1];
        auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, form);
        QObject::connect(notifier, &QSocketNotifier::activated, form, [form, fd = fds[0]] {
            drain(fd);
            guarded(form, [form] {
                form->close();
                // exit() ends every running loop, a modal box's included;
                // the queued quit() also ends the main loop when the signal
                // came before it started (a box shown during the first
                // showing runs its own loop).
                QCoreApplication::exit(0);
                QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            });
        });
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &action, nullptr);
    }

#if QT_CONFIG(sessionmanager)
    // The session may still be cancelled, so this saves without ending the
    // run; the window's own end saves again later.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, form,
                     [form](QSessionManager&) { guarded(form, [form] { form->SaveSettings(); }); });
#endif
}
