// What the device tests share: data and home folders of their own, the log
// in the home folder, short adb time limits and the phone simulator in adb's
// place.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/temp_folder.h"
#include "device/adb.h"
#include "device/phone_simulator.h"

namespace sw::test {

class DeviceTest : public ::testing::Test {
  protected:
    DeviceTest() : phone_(PhoneFolder()) {
        SetDataFolder(folder_ / "data");
        SetHomeFolder(folder_ / "home");
        std::filesystem::create_directories(folder_ / "data");
        std::filesystem::create_directories(folder_ / "home");
        SetLogFilePath(folder_ / "home/runtime.log");
        device::AdbTimeLimits limits;
        limits.devices = 5000;
        limits.command = 5000;
        limits.install = 5000;
        limits.push_base = 5000;
        device::SetAdbTimeLimits(limits);
    }
    ~DeviceTest() override {
        device::SetAdbTimeLimits(device::AdbTimeLimits());
        SetLogFilePath("");
        SetDataFolder("");
        SetHomeFolder("");
    }

    std::string log() const { return ReadText(folder_ / "home/runtime.log"); }

    // The folder of the simulator's state, made before the simulator.
    std::string PhoneFolder() {
        std::filesystem::create_directories(folder_ / "phone");
        return folder_ / "phone";
    }

    TempFolder folder_;
    PhoneSimulator phone_;
};

// Words of a command line, for comparisons.
using Words = std::vector<std::string>;

}  // namespace sw::test
