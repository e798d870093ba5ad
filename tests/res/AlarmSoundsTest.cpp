// The program's own alarm sounds: made by the generator, installed into \Windows, playable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/fs/Device.h"
#include "platform/shell/Sound.h"
#include "platform/shell/WaveFormat.h"
#include "res/AlarmSoundData.h"
#include "res/AlarmSounds.h"
#include "support/TempDevice.h"

namespace {

void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "alarm-tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

// The strength of `frequency` in 16-bit mono samples (Goertzel).
double Strength(const std::string& wave, const WaveInfo& info, double frequency, size_t count) {
    const double w = 2.0 * M_PI * frequency / info.sampleRate;
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = info.dataOffset + 2 * i;
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(wave[at]) |
                                                 static_cast<uint8_t>(wave[at + 1]) << 8);
        const double s0 = sample + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
}

// The loudest frequency of the first quarter second, in 10 Hz steps from 200 to 4000 Hz.
double DominantFrequency(const std::string& wave) {
    const auto info = ReadWaveInfo(wave);
    double best = 0.0, bestStrength = -1.0;
    const size_t count = std::min<size_t>(info->sampleRate / 4, info->dataBytes / 2);
    for (double f = 200.0; f <= 4000.0; f += 10.0) {
        const double strength = Strength(wave, *info, f, count);
        if (strength > bestStrength) {
            bestStrength = strength;
            best = f;
        }
    }
    return best;
}

}  // namespace

TEST(AlarmSounds, WhatIsInstalledIsWhatTheGeneratorMakes) {
    TempFolder generated;
    const std::string command = std::string(QUILLO_SOUND_GENERATOR) + " --wav '" +
                                generated.Path().string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    TempDevice device;
    InstallAlarmSounds();
    ASSERT_GE(BundledAlarmSounds().size(), 3u);
    for (const BundledSound& sound : BundledAlarmSounds()) {
        const std::string name(sound.fileName);
        EXPECT_EQ(ReadHostFile(device.Host("Windows/" + name)),
                  ReadHostFile(generated.Path() / name))
            << name;
    }
}

TEST(AlarmSounds, EachIsShortPcmAndATuneOfItsOwn) {
    std::vector<double> dominant;
    for (const BundledSound& sound : BundledAlarmSounds()) {
        const std::string bytes(sound.bytes);
        const auto info = ReadWaveInfo(bytes);
        ASSERT_TRUE(info) << sound.fileName;
        EXPECT_EQ(info->bitsPerSample, 16) << sound.fileName;
        EXPECT_LT(info->DurationMs(), 2000u) << sound.fileName;
        EXPECT_GT(info->DurationMs(), 300u) << sound.fileName;
        dominant.push_back(DominantFrequency(bytes));
    }
    for (size_t i = 0; i < dominant.size(); ++i) {
        for (size_t j = i + 1; j < dominant.size(); ++j) {
            EXPECT_GT(std::fabs(dominant[i] - dominant[j]), 100.0)
                << BundledAlarmSounds()[i].fileName << " and " << BundledAlarmSounds()[j].fileName
                << " sound alike: " << dominant[i] << " Hz";
        }
    }
}

TEST(AlarmSounds, MissingOnesComeBackAndTheUsersOwnStay) {
    TempDevice device;
    const std::string first(BundledAlarmSounds()[0].fileName);
    const std::string second(BundledAlarmSounds()[1].fileName);
    InstallAlarmSounds();
    std::filesystem::remove(device.Host("Windows/" + first));
    WriteHostFile(device.Host("Windows/" + second), "my own sound");
    InstallAlarmSounds();
    EXPECT_EQ(ReadHostFile(device.Host("Windows/" + first)),
              std::string(BundledAlarmSounds()[0].bytes));
    EXPECT_EQ(ReadHostFile(device.Host("Windows/" + second)), "my own sound");
}

TEST(AlarmSounds, QtLoadsThemAndAWaitingPlayEndsByItsDeadline) {
    EnsureCoreApplication();
    TempDevice device;
    InstallAlarmSounds();
    for (const BundledSound& sound : BundledAlarmSounds()) {
        const std::string name(sound.fileName);
        QSoundEffect probe;
        probe.setSource(QUrl::fromLocalFile(QString::fromStdString(device.Host("Windows/" + name))));
        QEventLoop loop;
        QObject::connect(&probe, &QSoundEffect::statusChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        if (probe.status() == QSoundEffect::Loading) loop.exec();
        EXPECT_EQ(probe.status(), QSoundEffect::Ready) << name;

        // With no audio device the toolkit may say "playing" for ever; the play still ends.
        const auto info = ReadWaveInfo(std::string(sound.bytes));
        QElapsedTimer clock;
        clock.start();
        PlaySoundFile("\\Windows\\" + name, SoundPlay::Wait);
        EXPECT_LE(clock.elapsed(), info->DurationMs() + 2000 + 3000) << name;
    }
}

TEST(AlarmSounds, AMissingOrTruncatedFileReturnsAtOnce) {
    EnsureCoreApplication();
    TempDevice device;
    const std::string whole(BundledAlarmSounds()[0].bytes);
    WriteHostFile(device.Host("Windows/Cut.wav"), whole.substr(0, whole.size() / 2));
    WriteHostFile(device.Host("Windows/Empty.wav"), "");
    for (const char* path : {"\\Windows\\Cut.wav", "\\Windows\\Empty.wav", "\\Windows\\None.wav"}) {
        QElapsedTimer clock;
        clock.start();
        PlaySoundFile(path, SoundPlay::Wait);
        EXPECT_LT(clock.elapsed(), 500) << path;
    }
    EXPECT_FALSE(ReadWaveInfo(whole.substr(0, whole.size() / 2)));
    EXPECT_FALSE(ReadWaveInfo(whole.substr(0, 44)));
    EXPECT_FALSE(ReadWaveInfo("RIFF\x10\0\0\0WAVEdata\0\0\0\0"));
}
