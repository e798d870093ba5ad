#include "Sound.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <mutex>

#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/File.h"
#include "platform/shell/WaveFormat.h"

namespace {

// However long the audio system takes to say a sound has ended (with no audio device it
// never says so), a waiting caller goes on this long after the sound's own length.
constexpr int kWaitSlackMs = 2000;

std::mutex gOutputMutex;
std::function<void(const SoundRequest&)> gOutput;

bool ToTestOutput(const SoundRequest& request) {
    std::function<void(const SoundRequest&)> output;
    {
        std::lock_guard<std::mutex> lock(gOutputMutex);
        output = gOutput;
    }
    if (!output) return false;
    output(request);
    return true;
}

// The one sound that plays, with its file held open meanwhile.
struct Playing {
    QPointer<QSoundEffect> effect;
    CFile file;
    uint32_t durationMs = 0;
    std::chrono::steady_clock::time_point started;
};

Playing& Current() {
    static Playing* playing = new Playing;  // lives as long as the process
    return *playing;
}

void StopCurrent() {
    Playing& playing = Current();
    if (playing.effect) {
        playing.effect->stop();
        playing.effect->deleteLater();
    }
    playing.effect = nullptr;
    playing.file.Close();
}

// The file's header when it is a playable WAV file of the device, which `file` holds open.
std::optional<WaveInfo> Inspect(std::string_view devicePath, CFile& file) {
    if (!file.Open(devicePath, CFile::modeRead)) return std::nullopt;
    const int64_t length = file.GetLength();
    if (length <= 0) return std::nullopt;
    std::string head(std::min<size_t>(static_cast<size_t>(length), kWaveHeadBytes), '\0');
    if (file.Read(head.data(), head.size()) != static_cast<ptrdiff_t>(head.size())) {
        return std::nullopt;
    }
    return ReadWaveInfo(head, static_cast<uint64_t>(length));
}

void WaitUntilPlayed(QSoundEffect* effect, int64_t deadlineMs) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto checkEnded = [effect, &loop] {
        if (effect->status() == QSoundEffect::Error ||
            (!effect->isPlaying() && effect->status() == QSoundEffect::Ready)) {
            loop.quit();
        }
    };
    QObject::connect(effect, &QSoundEffect::playingChanged, &loop, checkEnded);
    QObject::connect(effect, &QSoundEffect::statusChanged, &loop, checkEnded);
    deadline.start(static_cast<int>(deadlineMs));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void PlaySoundFile(std::string_view devicePath, SoundPlay how) {
    if (ToTestOutput({false, std::string(devicePath), how})) return;
    StopCurrent();
    if (QCoreApplication::instance() == nullptr) return;
    CFile file;
    const auto info = Inspect(devicePath, file);
    if (!info) return;
    Playing& playing = Current();
    playing.file = std::move(file);
    playing.durationMs = info->DurationMs();
    playing.started = std::chrono::steady_clock::now();
    // The very file that was looked at: nothing put under its name since (a FIFO, say) is
    // opened instead.
    const QString hostPath =
        QString::fromStdString(Format("/proc/self/fd/%d", playing.file.HostFd()));
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    playing.effect = effect;
    effect->setSource(QUrl::fromLocalFile(hostPath));
    effect->setLoopCount(how == SoundPlay::Loop ? QSoundEffect::Infinite : 1);
    effect->play();
    if (how == SoundPlay::Wait) {
        WaitUntilPlayed(effect, int64_t{info->DurationMs()} + kWaitSlackMs);
        if (playing.effect == effect) StopCurrent();
    }
}

void WaitForSoundToEnd() {
    if (ToTestOutput({false, {}, SoundPlay::Once, true})) return;
    Playing& playing = Current();
    if (!playing.effect) return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - playing.started)
                             .count();
    const int64_t left = int64_t{playing.durationMs} + kWaitSlackMs - elapsed;
    const bool ended = playing.effect->status() == QSoundEffect::Error ||
                       (!playing.effect->isPlaying() && playing.effect->status() == QSoundEffect::Ready);
    if (left > 0 && !ended) WaitUntilPlayed(playing.effect, left);
    StopCurrent();
}

void StopSound() {
    if (ToTestOutput({true, {}, SoundPlay::Once})) return;
    StopCurrent();
}

void SetSoundOutput(std::function<void(const SoundRequest&)> output) {
    std::lock_guard<std::mutex> lock(gOutputMutex);
    gOutput = std::move(output);
}
