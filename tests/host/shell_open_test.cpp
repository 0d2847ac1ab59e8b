// What the host hands to the desktop's opener: the browser's start page at
// start-up and the folders Explorer shows. A fake xdg-open first on PATH
// records its arguments.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "core/log.h"
#include "core/paths.h"
#include "harness.h"
#include "host/browser_start.h"
#include "host/run_host.h"
#include "host/shell_commands.h"

namespace sw::host::test {
namespace {

// Sets an environment variable for the life of the object.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentValue() {
        if (had_) {
            ::setenv(name_, old_.c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// An xdg-open that writes each call's arguments as one line, separated by
// tabs, to a record file.
class FakeOpener {
  public:
    explicit FakeOpener(const std::string& folder)
        : record_(folder + "/opened"),
          path_("PATH", folder + "/bin:" + std::string(std::getenv("PATH"))) {
        const std::string script = folder + "/bin/xdg-open";
        WriteFile(script,
                  "#!/bin/sh\n"
                  "line=''\n"
                  "for a in \"$@\"; do line=\"$line$a\t\"; done\n"
                  "printf '%s\\n' \"$line\" >> '" +
                      record_ + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    // The recorded calls once count of them arrived (or the timeout passed).
    std::vector<std::string> Calls(std::size_t count = 1,
                                   std::chrono::milliseconds timeout = 5s) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::string> calls;
        for (;;) {
            calls.clear();
            std::istringstream lines(ReadFile(record_));
            for (std::string line; std::getline(lines, line);) {
                calls.push_back(line);
            }
            if (calls.size() >= count || std::chrono::steady_clock::now() > deadline) {
                return calls;
            }
            std::this_thread::sleep_for(10ms);
        }
    }

  private:
    std::string record_;
    EnvironmentValue path_;
};

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(BrowserStartTest, TheBrowserGetsAPrivatePageAndNeverTheToken) {
    Scratch folder;
    std::filesystem::create_directories(folder / "run");
    std::filesystem::create_directories(folder / "data");
    std::filesystem::create_directories(folder / "home");
    SetDataFolder(folder / "data");
    SetHomeFolder(folder / "home");
    SetLogFilePath(folder / "home/runtime.log");
    FakeOpener opener(folder.path());
    EnvironmentValue runtime("XDG_RUNTIME_DIR", folder / "run");

    ServeOptions options;
    auto run = std::async(std::launch::async, [&options] { return RunHost(options); });

    const std::vector<std::string> calls = opener.Calls();
    ASSERT_EQ(calls.size(), 1u);
    const std::string page = calls[0].substr(0, calls[0].find('\t'));
    EXPECT_EQ(calls[0], page + "\t") << "one argument only";
    EXPECT_EQ(FolderOf(page), folder / "run");
    EXPECT_EQ(ModeOf(page), 0600u);

    // The page leads to the tokened address, which the argument does not hold.
    const std::string text = ReadFile(page);
    const std::string prefix = "http://127.0.0.1:";
    const std::size_t at = text.find("url=" + prefix);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string address = text.substr(at + 4, text.find('"', at) - at - 4);
    const std::size_t mark = address.find("/?token=");
    ASSERT_NE(mark, std::string::npos) << address;
    const std::string token = address.substr(mark + 8);
    EXPECT_EQ(token.size(), 32u);
    EXPECT_EQ(page.find(token), std::string::npos);

    // Through that address a page reaches the start window and closes it,
    // which ends the run.
    const auto port =
        static_cast<unsigned short>(std::stoi(address.substr(prefix.size(), mark - prefix.size())));
    HttpResult exchange = HttpRequest(port, address.substr(mark), {});
    ASSERT_EQ(exchange.status, 302u);
    const std::string cookie =
        exchange.headers["set-cookie"].substr(0, exchange.headers["set-cookie"].find(';'));
    {
        PageClient start(port, "start", cookie);
        ASSERT_TRUE(start.connected());
        start.Post("CloseWindow");
        ASSERT_EQ(run.wait_for(20s), std::future_status::ready);
    }
    EXPECT_EQ(run.get(), 0);
    EXPECT_FALSE(std::filesystem::exists(page)) << "the start page goes with the run";
    const std::string log = ReadFile(folder / "home/runtime.log");
    EXPECT_NE(log.find("host listening"), std::string::npos);
    EXPECT_EQ(log.find(token), std::string::npos) << log;
    SetLogFilePath("");
    SetHomeFolder("");
    SetDataFolder("");
}

TEST(BrowserStartTest, WithoutXdgOpenTheWarningLeavesTheTokenOut) {
    Scratch folder;
    SetHomeFolder(folder / "home");
    std::filesystem::create_directories(folder / "home");
    std::filesystem::create_directories(folder / "empty");
    SetLogFilePath(folder / "home/runtime.log");
    const std::string address = "http://127.0.0.1:1/?token=0123456789abcdef0123456789abcdef";
    {
        EnvironmentValue path("PATH", folder / "empty");
        // Without a runtime folder the page goes to the home folder.
        EnvironmentValue runtime("XDG_RUNTIME_DIR", "relative/run");
        std::unique_ptr<BrowserStartFile> page = OpenBrowserAt(address);
        ASSERT_TRUE(page);
        EXPECT_EQ(FolderOf(page->path()), folder / "home");
        EXPECT_EQ(ModeOf(page->path()), 0600u);
    }
    const std::string log = ReadFile(folder / "home/runtime.log");
    EXPECT_NE(log.find("WARN \txdg-open not found, cannot open " + folder / "home/skinwright-"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("0123456789abcdef"), std::string::npos) << log;
    SetLogFilePath("");
    SetHomeFolder("");
}

TEST(BrowserStartTest, AnUnwritableFolderOpensNothing) {
    Scratch folder;
    FakeOpener opener(folder.path());
    SetLogFilePath(folder / "runtime.log");
    EnvironmentValue runtime("XDG_RUNTIME_DIR", folder / "missing");
    SetHomeFolder(folder / "missing-home");
    // Neither folder exists: the page cannot be written and the browser is
    // not opened at all (never with the address itself).
    EXPECT_FALSE(OpenBrowserAt("http://127.0.0.1:1/?token=feedface"));
    EXPECT_TRUE(opener.Calls(1, 300ms).empty());
    EXPECT_NE(ReadFile(folder / "runtime.log").find("the browser is not opened"),
              std::string::npos);
    SetLogFilePath("");
    SetHomeFolder("");
}

TEST(ExplorerTest, OnlyExistingFoldersAreShown) {
    Scratch scratch;
    WriteFile(scratch / "out/theme.zip", "PK");
    WriteFile(scratch / "run.sh", "#!/bin/sh\n");
    const std::string out = scratch / "out";
    const struct {
        const char* name;
        std::string first;
        std::string second;
        std::string shown;
    } cases[] = {
        {"a folder", "", out, out},
        {"a folder with blanks around", "", "  " + out + " ", out},
        // A file is shown by its folder, never handed to its own program.
        {"a file", "", scratch / "run.sh", scratch.path()},
        {"a selected file", "/n,/select,", out + "/theme.zip", out},
        {"a selected folder", "/n,/select,", out, scratch.path()},
        {"a missing path", "", scratch / "gone", ""},
        {"a missing selection", "/n,/select,", out + "/gone.zip", ""},
        {"a file address", "", "file://" + out, ""},
        {"a web address", "", "https://evil.example/x", ""},
        {"a relative name", "", "out", ""},
        {"blanks", "", "  ", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExplorerTarget(c.first, c.second), c.shown) << c.name;
    }
}

TEST(ExplorerTest, TheCommandOpensAFolderAndRefusesAnAddressWithAWarning) {
    HostHarness harness;
    FakeOpener opener(harness.folder().path());
    WriteFile(harness.folder() / "out/theme.zip", "PK");
    PageClient main(harness.port(), "main", harness.cookie());
    ASSERT_TRUE(main.connected());
    ASSERT_TRUE(harness.WaitForPage("main"));

    ASSERT_TRUE(main.Call("Explorer", Array({"", "file:///etc"})));
    EXPECT_TRUE(harness.WaitForLog("WARN \tnot shown: file:///etc is not an existing folder"));
    ASSERT_TRUE(main.Call("Explorer", Array({"/n,/select,", harness.folder() / "out/theme.zip"})));
    const std::vector<std::string> calls = opener.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], harness.folder() / "out\t");
}

}  // namespace
}  // namespace sw::host::test
