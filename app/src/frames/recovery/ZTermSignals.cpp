#include "frames/ZTermSignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "frames/ZAutoSave.h"

namespace {

int g_pipe[2] = {-1, -1};
// Ctrl+C and Ctrl+\ in the terminal end the program as a termination does,
// after the recovery copies.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

void onSignal(int signal) {
    // Only what is safe in a signal handler: one write, errno kept.
    const int saved = errno;
    const char number = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

} // namespace

ZTermSignals::ZTermSignals(ZAutoSave* saver, QObject* parent) : QObject(parent), saver_(saver) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ZTermSignals::caught);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

ZTermSignals::~ZTermSignals() {
    if (!notifier_)
        return;
    for (int s : kSignals)
        ::signal(s, SIG_DFL);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ZTermSignals::caught() {
    char number = 0;
    if (::read(g_pipe[0], &number, 1) != 1)
        return;
    notifier_->setEnabled(false);
    if (saver_)
        saver_->writeAllCopies();
    // End as the signal would have ended the program, so that whoever sent it
    // sees the usual status; the copies stay for the next start to offer.
    ::signal(number, SIG_DFL);
    ::raise(number);
}
