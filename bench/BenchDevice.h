#pragma once

// A device of its own for a benchmark: a fresh temporary folder mounted as the device, and
// removed again afterwards.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/fs/Device.h"

class BenchDevice {
  public:
    BenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillo-bench-XXXXXX");
        m_folder = ::mkdtemp(pattern.data());
        // Without its device a benchmark would measure nothing.
        if (!Device::Mount(m_folder + "/device")) std::abort();
    }
    ~BenchDevice() {
        Device::Unmount();
        std::filesystem::remove_all(m_folder);
    }
    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;
    const std::string& Folder() const { return m_folder; }

  private:
    std::string m_folder;
};
