#include "TimedLaunch.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/base/Format.h"
#include "platform/base/MinuteText.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/ProgramOptions.h"
#include "platform/shell/Screen.h"
#include "platform/shell/TimedLaunchReconcile.h"
#include "platform/shell/TimedLaunchRecord.h"

using namespace launch_record;

namespace {

constexpr int kWatchPeriodMs = 5000;

// Carries out requests on a thread of its own, one reconcile at a time; any number of
// requests made meanwhile cost one more reconcile, of the latest record.
class RequestWorker {
  public:
    static RequestWorker& Instance() {
        static RequestWorker worker;
        return worker;
    }
    ~RequestWorker() { Finish(); }

    void Poke(const std::string& deviceDirectory) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = true;
        m_device = deviceDirectory;
        if (m_running) return;
        if (m_thread.joinable()) m_thread.join();
        m_running = true;
        m_thread = std::thread([this] { Loop(); });
    }

    bool Busy() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_running || m_pending;
    }

    void Finish() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_running; });
        if (m_thread.joinable()) m_thread.join();
    }

  private:
    void Loop() {
        for (;;) {
            std::string device;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_pending) {
                    m_running = false;
                    m_idle.notify_all();
                    return;
                }
                m_pending = false;
                device = m_device;
            }
            ReconcileTimedLaunch(device);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::thread m_thread;
    bool m_pending = false;
    bool m_running = false;
    std::string m_device;
};

void PokeAfterCommit(Registry& registry) {
    const std::string device = Device::HostDirectory();
    registry.AfterCommit([device] { RequestWorker::Instance().Poke(device); });
}

std::vector<std::string> AlarmLaunchCommand(std::string_view application) {
    std::vector<std::string> words = {std::string(application), std::string(kDeviceOption),
                                      Device::HostDirectory()};
    if (HasScreenOverride()) {
        const CSize screen = GetDeviceScreenSize();
        words.emplace_back(kScreenOption);
        words.push_back(Format("%dx%d", screen.cx, screen.cy));
    }
    words.emplace_back(kAlarmLaunchArgument);
    return words;
}

}  // namespace

void LookAtTimedLaunchRequest() {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return;
    const Record record = ReadRecord(*registry);
    SYSTEMTIME local{};
    int64_t when = 0;
    if (record.backend == std::string("self") && record.time && record.commandLine &&
        ParseTimeText(*record.time, local) && LocalTimeToUnixTime(local, when) &&
        record.handled != HandledText(when, *record.commandLine) && !IsInTheFuture(when)) {
        RequestWorker::Instance().Poke(Device::HostDirectory());
    }
}

bool RunAppAtTime(std::string_view application, const SYSTEMTIME* when) {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return false;
    RegistryTransaction transaction(registry);
    const bool recorded =
        when != nullptr
            ? WriteText(*registry, kTime, FormatMinuteText(*when)) &&
                  WriteText(*registry, kCommandLine, ShellJoin(AlarmLaunchCommand(application)))
            : Forget(*registry, {kTime, kCommandLine});
    PokeAfterCommit(*registry);
    return recorded && transaction.Commit();
}

bool TakeRunAppAtTimeRequest() {
    Registry* registry = Registry::OfDevice();
    return registry != nullptr && Forget(*registry, {kHandled});
}

std::string GetRunAppAtTimeBackend() {
    Registry* registry = Registry::OfDevice();
    return registry != nullptr ? ReadText(*registry, kBackend).value_or("") : std::string();
}

bool GetRunAppAtTimeRequest(SYSTEMTIME& when) {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return false;
    const auto text = ReadText(*registry, kTime);
    return text && ParseTimeText(*text, when);
}

void FinishTimedLaunchRequests() {
    RequestWorker::Instance().Finish();
}

bool TimedLaunchRequestsPending() {
    return RequestWorker::Instance().Busy();
}

std::string GetModuleFileName() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

void StartTimedLaunchWatch() {
    // A request whose time came while no window ran. (A request left half done is carried
    // out by the program's own request at its start.)
    LookAtTimedLaunchRequest();
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] { LookAtTimedLaunchRequest(); });
    timer->start(kWatchPeriodMs);
}
