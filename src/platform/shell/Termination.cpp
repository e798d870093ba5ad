#include "Termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/fs/UniqueFd.h"
#include "platform/shell/TimedLaunch.h"

namespace {

// Written by the signal handler, read on the user-interface thread.
volatile sig_atomic_t gWakeFd = -1;

void OnSignal(int) {
    const int fd = gWakeFd;
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
}

constexpr int kSignals[] = {SIGTERM, SIGHUP};

struct PersistentHandler {
    UniqueFd readEnd;
    UniqueFd writeEnd;
    std::unique_ptr<QSocketNotifier> notifier;
};

PersistentHandler& Persistent() {
    static PersistentHandler* handler = new PersistentHandler;  // lives as long as the process
    return *handler;
}

}  // namespace

void SetTerminationRequestHandler(std::function<void()> handler) {
    PersistentHandler& current = Persistent();
    if (!handler) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::signal(signal, SIG_DFL);
        if (gWakeFd == current.writeEnd.Get()) gWakeFd = -1;
        current.notifier.reset();
        current.readEnd.Reset();
        current.writeEnd.Reset();
        return;
    }
    int ends[2];
    if (QCoreApplication::instance() == nullptr || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    PersistentHandler& persistent = Persistent();
    persistent.readEnd = UniqueFd(ends[0]);
    persistent.writeEnd = UniqueFd(ends[1]);
    persistent.notifier =
        std::make_unique<QSocketNotifier>(persistent.readEnd.Get(), QSocketNotifier::Read);
    QObject::connect(persistent.notifier.get(), &QSocketNotifier::activated,
                     [handler = std::move(handler)] {
                         char drained[16];
                         while (::read(Persistent().readEnd.Get(), drained, sizeof drained) > 0) {
                         }
                         if (handler) handler();
                     });
    gWakeFd = persistent.writeEnd.Get();
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

struct ScopedTerminationHandler::State {
    UniqueFd readEnd;
    UniqueFd writeEnd;
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous[std::size(kSignals)] = {};
    int previousWakeFd = -1;
};

ScopedTerminationHandler::ScopedTerminationHandler(std::function<void()> beforeEnd)
    : m_state(std::make_unique<State>()) {
    int ends[2];
    if (QCoreApplication::instance() == nullptr || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_state->readEnd = UniqueFd(ends[0]);
    m_state->writeEnd = UniqueFd(ends[1]);
    m_state->notifier =
        std::make_unique<QSocketNotifier>(m_state->readEnd.Get(), QSocketNotifier::Read);
    QObject::connect(m_state->notifier.get(), &QSocketNotifier::activated,
                     [beforeEnd = std::move(beforeEnd)] {
                         if (beforeEnd) beforeEnd();
                         FinishTimedLaunchRequests();
                         ::_exit(0);
                     });
    m_state->previousWakeFd = gWakeFd;
    gWakeFd = m_state->writeEnd.Get();
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &action, &m_state->previous[i]);
    }
}

ScopedTerminationHandler::~ScopedTerminationHandler() {
    if (!m_state->notifier) return;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &m_state->previous[i], nullptr);
    }
    gWakeFd = m_state->previousWakeFd;
}
