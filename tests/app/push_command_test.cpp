// skinwright push and skinwright devices: against the phone simulator, and
// against the real adb with no phone attached.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/files.h"
#include "core/process.h"
#include "core/temp_folder.h"
#include "core/unique_fd.h"
#include "core/zip.h"
#include "device/phone_simulator.h"
#include "run_program.h"

namespace sw::test {
namespace {

using namespace std::chrono_literals;
using Words = std::vector<std::string>;

std::string MakeArchive(const TempFolder& folder, const std::string& meta) {
    WriteText(folder / "theme/meta.json", meta);
    WriteText(folder / "theme/preview/preview1.jpg", "jpeg");
    EXPECT_TRUE(ZipCompress(folder / "theme/*.*", folder / "theme.zip"));
    return folder / "theme.zip";
}

class PushCommandTest : public ::testing::Test {
  protected:
    PushCommandTest() : phone_(PhoneFolder()) {}

    std::string PhoneFolder() {
        std::filesystem::create_directories(folder_ / "phone");
        return folder_ / "phone";
    }

    TempFolder folder_;
    PhoneSimulator phone_;
};

TEST_F(PushCommandTest, APushPrintsThePhoneFolderItWrote) {
    const std::string archive = MakeArchive(folder_, R"({"resource_id": 4321})");
    const Outcome pushed = RunProgram(folder_, {"push", archive, "--home", folder_ / "home"});
    EXPECT_EQ(pushed.exit_code, 0) << pushed.err;
    EXPECT_EQ(pushed.out, "//sdcard//.QuindoTheme//Download//themesuite//4321\n");
    EXPECT_EQ(pushed.err, "") << "no progress line off a terminal";
    EXPECT_EQ(ReadText(phone_.PhoneRoot() +
                       "/sdcard/.QuindoTheme/Download/themesuite/4321/preview/preview1.jpg"),
              "jpeg");
    EXPECT_NE(ReadText(folder_ / "home/runtime.log").find("theme 4321 pushed"), std::string::npos);
}

TEST_F(PushCommandTest, AFailureTellsWhyAndEndsWithOne) {
    const std::string archive = MakeArchive(folder_, R"({"resource_id": 9})");
    WriteText(folder_ / "broken.zip", "no zip");
    struct Case {
        const char* phones;
        Words args;
        std::string err;
    };
    const Case cases[] = {
        {"", {"push", archive}, "skinwright: no phone is attached\n"},
        {"A1\tunauthorized\n",
         {"push", archive},
         "skinwright: the phone has not authorised this computer: accept the USB debugging "
         "prompt on the phone and try again\n"},
        {"A1\tdevice\nB2\toffline\n",
         {"push", archive},
         "skinwright: several phones are attached (A1 (device), B2 (offline)): choose one with "
         "--serial\n"},
        {"A1\tdevice\n",
         {"push", archive, "--serial", "Z9"},
         "skinwright: no phone Z9 is attached\n"},
        {"A1\tdevice\n",
         {"push", folder_ / "missing.zip"},
         "skinwright: the archive " + (folder_ / "missing.zip") + " does not exist\n"},
        {"A1\tdevice\n",
         {"push", folder_ / "broken.zip"},
         "skinwright: the archive " + (folder_ / "broken.zip") + " cannot be unpacked\n"},
    };
    for (const Case& c : cases) {
        phone_.SetPhones(c.phones);
        Words args = c.args;
        args.insert(args.end(), {"--home", folder_ / "home"});
        const Outcome failed = RunProgram(folder_, args);
        EXPECT_EQ(failed.exit_code, 1) << c.err;
        EXPECT_EQ(failed.out, "");
        EXPECT_EQ(failed.err, c.err);
    }
    for (const Words& call : phone_.Calls()) {
        EXPECT_EQ(call, Words{"devices"}) << "no failed push reaches a phone";
    }
}

TEST_F(PushCommandTest, TheSerialPicksAPhoneAndDevicesListsThem) {
    phone_.SetPhones("A1\tdevice\nB2\tdevice\nC3\tunauthorized\n");
    const Outcome listed = RunProgram(folder_, {"devices", "--home", folder_ / "home"});
    EXPECT_EQ(listed.exit_code, 0);
    EXPECT_EQ(listed.out, "A1\tdevice\nB2\tdevice\nC3\tunauthorized\n");

    const std::string archive = MakeArchive(folder_, R"({"resource_id": 12})");
    const Outcome pushed =
        RunProgram(folder_, {"push", archive, "--serial", "B2", "--home", folder_ / "home"});
    EXPECT_EQ(pushed.exit_code, 0) << pushed.err;
    EXPECT_TRUE(
        IsFile(phone_.PhoneRoot("B2") + "/sdcard/.QuindoTheme/Download/themesuite/12/meta.json"));
    EXPECT_FALSE(std::filesystem::exists(phone_.PhoneRoot("A1")));

    phone_.SetPhones("");
    const Outcome none = RunProgram(folder_, {"devices", "--home", folder_ / "home"});
    EXPECT_EQ(none.exit_code, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "skinwright: no phone is attached\n");
}

// A port nobody listens on right now.
unsigned short FreePort() {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

bool Listening(unsigned short port) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// The real adb, with a server of its own on a private port that is stopped
// afterwards, so that no user's adb server is touched and nothing is left
// running.
TEST(RealAdbTest, WithNoPhoneAPushEndsAtOnceWithTheNoPhoneMessage) {
    TempFolder folder;
    ::unsetenv("SKINWRIGHT_ADB");
    ProcessRunner probe;
    if (!probe.Run({"adb", "version"}, 10000) || probe.exit_code() != 0) {
        GTEST_SKIP() << "adb is not installed (tools/install-deps.sh installs it)";
    }
    const unsigned short port = FreePort();
    ASSERT_NE(port, 0);
    ::setenv("ANDROID_ADB_SERVER_PORT", std::to_string(port).c_str(), 1);
    // adb keeps its key below HOME; the user's stays untouched.
    ::setenv("HOME", folder.path().c_str(), 1);
    struct ServerStop {
        ~ServerStop() {
            ProcessRunner stop;
            stop.Run({"adb", "kill-server"}, 10000);
        }
    } stopServer;

    ProcessRunner devices;
    ASSERT_TRUE(devices.Run({"adb", "devices"}, 20000));
    if (devices.output().find("\tdevice") != std::string::npos) {
        GTEST_SKIP() << "a phone is attached to this computer; the test needs none";
    }

    const std::string archive = MakeArchive(folder, R"({"resource_id": 1})");
    const auto start = std::chrono::steady_clock::now();
    const Outcome pushed = RunProgram(folder, {"push", archive, "--home", folder / "home"});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(pushed.exit_code, 1);
    EXPECT_EQ(pushed.err, "skinwright: no phone is attached\n");
    EXPECT_LT(took, 10s);

    ProcessRunner stop;
    ASSERT_TRUE(stop.Run({"adb", "kill-server"}, 10000));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (Listening(port) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_FALSE(Listening(port)) << "the private adb server still runs";
}

}  // namespace
}  // namespace sw::test
