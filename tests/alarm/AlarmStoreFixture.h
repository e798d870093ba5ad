#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "alarm/AlarmStore.h"
#include "alarm/AlarmTime.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/ui/WinApp.h"
#include "support/HeldProfile.h"
#include "support/LaunchRecorder.h"
#include "support/LocalTime.h"
#include "support/TempDevice.h"

// A device with an application object and memo files to put alarms on; the system's timed
// launch is recorded, not carried out.
class AlarmStoreTest : public ::testing::Test {
  protected:
    static constexpr const char* kSectionKey = "Software\\Vornak\\quillo\\MemoNotify";

    void SetUp() override {
        m_app.SetRegistryKey("Vornak");
        std::filesystem::create_directories(m_device.Host("My Documents/Quillo"));
    }
    void TearDown() override { SetFixedLocalTime(nullptr); }

    // A memo file that exists; its device path.
    std::string Memo(const std::string& name) {
        WriteHostFile(m_device.Host("My Documents/Quillo/" + name + ".bmp"), "BM");
        return "\\My Documents\\Quillo\\" + name + ".bmp";
    }
    void RemoveMemo(const std::string& name) {
        std::filesystem::remove(m_device.Host("My Documents/Quillo/" + name + ".bmp"));
    }

    void SetClock(const SYSTEMTIME& time) { SetFixedLocalTime(&time); }

    std::optional<RegistryValue> Stored(const std::string& name) {
        return m_app.GetRegistry()->Read(Hive::CurrentUser, kSectionKey, name);
    }
    std::string StoredText(const std::string& name) {
        const auto value = Stored(name);
        const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
        return text != nullptr ? *text : "(none)";
    }
    int StoredInt(const std::string& name) {
        const auto value = Stored(name);
        const auto* number = value ? std::get_if<int32_t>(&*value) : nullptr;
        return number != nullptr ? *number : -999;
    }
    std::string RequestedTime() {
        const auto value =
            m_app.GetRegistry()->Read(Hive::LocalMachine, "Software\\Quillo\\RunAppAtTime", "Time");
        const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
        return text != nullptr ? *text : "(none)";
    }

    TempDevice m_device;
    LaunchRecorder m_launches;
    CWinApp m_app{"quillo"};
    CAlarmStore m_store;
};
