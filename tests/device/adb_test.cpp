// Where adb is found, the command line of every phone operation as adb
// receives it, and how a command that cannot start or never ends is told.
#include "device/adb.h"

#include <chrono>
#include <functional>

#include "device/adb_commands.h"
#include "device/device_fixture.h"

namespace sw::test {
namespace {

using device::AdbResult;
using device::RunAdb;

class AdbTest : public DeviceTest {};

TEST_F(AdbTest, TheProgramIsTheOverrideElseTheOneBesideTheProgramElseTheOneOnThePath) {
    EXPECT_EQ(device::AdbProgram(), phone_.program());

    ::unsetenv("SKINWRIGHT_ADB");
    EXPECT_EQ(device::AdbProgram(), "adb");

    const std::string beside = folder_ / "data/adb";
    WriteText(beside, "#!/bin/sh\n");
    EXPECT_EQ(device::AdbProgram(), "adb") << "a file that cannot run is not a program";
    std::filesystem::permissions(beside, std::filesystem::perms::owner_all);
    EXPECT_EQ(device::AdbProgram(), beside);

    ::setenv("SKINWRIGHT_ADB", phone_.program().c_str(), 1);
    EXPECT_EQ(device::AdbProgram(), phone_.program());
}

// Every operation reaches adb with exactly these words after the program.
TEST_F(AdbTest, EveryOperationReachesAdbWithItsWords) {
    const std::string apk = folder_ / "data/My Apps/ViveDereDodudo.apk";
    const std::string staging = folder_ / "home/themetool";
    struct Case {
        Words tail;
        Words expected;
    };
    const Case cases[] = {
        {device::ListDevicesCommand(), {"devices"}},
        {device::RemoveThemeDirCommand("1234"),
         {"shell", "rm", "-r", "//sdcard//.QuindoTheme//Download//themesuite//1234"}},
        {device::PushThemeCommand(staging, "0"),
         {"push", staging, "//sdcard//.QuindoTheme//Download//themesuite//0"}},
        {device::StopThemeCenterCommand(), {"shell", "am", "force-stop", "com.quindo.themecenter"}},
        {device::InstallIconReaderCommand(apk), {"install", "-r", apk}},
        {device::LaunchIconReaderCommand(),
         {"shell", "monkey", "-p", "com.pellor.vivederedodudo", "-c",
          "android.intent.category.LAUNCHER", "1"}},
        {device::CopyIconReaderApkCommand(apk), {"push", apk, "data/app"}},
        {device::PullIconNamesCommand(folder_ / "home/iconNames.xml"),
         {"pull", "sdcard/iconNames.xml", folder_ / "home/iconNames.xml"}},
    };
    for (const Case& c : cases) {
        phone_.ClearCalls();
        RunAdb("", c.tail, 5000);
        RunAdb("SIM001", c.tail, 5000);
        Words withSerial = {"-s", "SIM001"};
        withSerial.insert(withSerial.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(phone_.Calls(), (std::vector<Words>{c.expected, withSerial}));
    }
    // A path with blanks stays one word.
    EXPECT_EQ(device::AdbCommandLine("", device::InstallIconReaderCommand(apk)),
              (Words{phone_.program(), "install", "-r", apk}));
}

TEST_F(AdbTest, AResultCarriesTheExitCodeAndOutput) {
    AdbResult listed = RunAdb("", device::ListDevicesCommand(), 5000);
    EXPECT_TRUE(listed.ok());
    EXPECT_EQ(listed.output, "List of devices attached\nSIM001\tdevice\n\n");
    EXPECT_EQ(listed.LastLine(), "SIM001\tdevice");
    EXPECT_NE(log().find("INFO \tadb: " + phone_.program() + " devices\n"), std::string::npos);

    phone_.FailOn("push");
    AdbResult pushed = RunAdb("", device::PushThemeCommand(folder_ / "home", "1"), 5000);
    EXPECT_TRUE(pushed.started);
    EXPECT_FALSE(pushed.timed_out);
    EXPECT_EQ(pushed.exit_code, 1);
    EXPECT_FALSE(pushed.ok());
    EXPECT_EQ(pushed.LastLine(), "adb: error: simulated failure of push");
}

TEST_F(AdbTest, AnAdbThatCannotStartIsLoggedAsTheExecuteError) {
    ::setenv("SKINWRIGHT_ADB", (folder_ / "no/such/adb").c_str(), 1);
    AdbResult result = RunAdb("", device::ListDevicesCommand(), 5000);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(log().find("ERROR\texecute adb error.\n"), std::string::npos);
}

TEST_F(AdbTest, AHangingCommandEndsAtItsTimeLimit) {
    phone_.HangOn("rm");
    const auto start = std::chrono::steady_clock::now();
    AdbResult result = RunAdb("", device::RemoveThemeDirCommand("7"), 300);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.timed_out);
    EXPECT_FALSE(result.ok());
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_NE(log().find("adb gave no answer within 300 ms"), std::string::npos);
}

TEST(AdbTimeLimitTest, APushMayTakeLongerTheMoreItCarries) {
    device::AdbTimeLimits limits;
    limits.push_base = 1000;
    limits.push_per_mib = 200;
    device::SetAdbTimeLimits(limits);
    EXPECT_EQ(device::PushTimeLimit(0), 1000);
    EXPECT_EQ(device::PushTimeLimit(1), 1200);
    EXPECT_EQ(device::PushTimeLimit(10u * 1024 * 1024), 3000);
    EXPECT_EQ(device::PushTimeLimit(~0ull), 0x7fffffff);
    device::SetAdbTimeLimits(device::AdbTimeLimits());
}

}  // namespace
}  // namespace sw::test
