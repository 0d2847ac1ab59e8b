// Pushing a packed theme: what reaches the phone, in which order, and what
// is refused before the phone is touched.
#include "device/theme_push.h"

#include <json/value.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/scratch_folder.h"
#include "core/zip.h"
#include "device/device_fixture.h"

namespace sw::test {
namespace {

using device::PhoneFailure;
using device::PushResult;
using device::PushStep;

constexpr const char* kThemes = "sdcard/.QuindoTheme/Download/themesuite";

class ThemePushTest : public DeviceTest {
  protected:
    // A packed theme with this meta.json (none when null), made from a
    // folder of its own.
    std::string MakeArchive(const char* meta, const std::string& name = "theme") {
        const std::string source = folder_ / ("src-" + name);
        if (meta != nullptr) {
            WriteText(source + "/meta.json", meta);
        }
        WriteText(source + "/preview/preview1.jpg", "jpeg of " + name);
        WriteText(source + "/content/launcher/res.zip", "launcher of " + name);
        const std::string archive = folder_ / (name + ".zip");
        EXPECT_TRUE(ZipCompress(source + "/*.*", archive));
        return archive;
    }

    PushResult Push(const std::string& archive, const std::string& serial = "SIM001") {
        device::PushLock lock = device::PushLock::TryTake();
        EXPECT_TRUE(lock.held());
        steps_.clear();
        return device::PushTheme(lock, archive, serial,
                                 [this](PushStep step, std::uint64_t) { steps_.push_back(step); });
    }

    std::string OnPhone(const std::string& path) const { return phone_.PhoneRoot() + "/" + path; }

    std::vector<PushStep> steps_;
};

TEST_F(ThemePushTest, TheArchiveReplacesTheThemesFolderOnThePhone) {
    // An earlier version of the theme, with a file the new one lacks.
    WriteText(OnPhone(std::string(kThemes) + "/1234/old-only.txt"), "old");
    WriteText(OnPhone(std::string(kThemes) + "/99/other-theme.txt"), "kept");
    const PushResult result =
        Push(MakeArchive(R"({"resource_id": 1234, "resource_name": "港湾"})"));
    ASSERT_TRUE(result.outcome.ok()) << device::ConsoleText(result.outcome);
    EXPECT_EQ(result.resource_number, "1234");
    EXPECT_EQ(result.phone_folder, "//sdcard//.QuindoTheme//Download//themesuite//1234");

    // Each push stages in a folder of its own, gone when the push ends.
    std::vector<Words> calls = phone_.Calls();
    ASSERT_EQ(calls.size(), 3u);
    const std::string staging = calls[1].at(3);
    EXPECT_EQ(FolderOf(staging), folder_ / "home/themetool");
    EXPECT_EQ(FileNameOf(staging).size(), 10u);
    EXPECT_TRUE(std::filesystem::is_empty(folder_ / "home/themetool"));
    EXPECT_EQ(
        calls,
        (std::vector<Words>{
            {"-s", "SIM001", "shell", "rm", "-r",
             "//sdcard//.QuindoTheme//Download//themesuite//1234"},
            {"-s", "SIM001", "push", staging, "//sdcard//.QuindoTheme//Download//themesuite//1234"},
            {"-s", "SIM001", "shell", "am", "force-stop", "com.quindo.themecenter"},
        }));
    // The styled layout of the JSON library, with "港湾" written as it is.
    const std::string meta = "{\n   \"resource_id\" : 1234,\n   \"resource_name\" : \"港湾\"\n}\n";
    EXPECT_EQ(FilesBelow(OnPhone(std::string(kThemes) + "/1234")),
              (std::vector<std::pair<std::string, std::string>>{
                  {"content/launcher/res.zip", "launcher of theme"},
                  {"meta.json", meta},
                  {"preview/preview1.jpg", "jpeg of theme"},
              }));
    EXPECT_EQ(ReadText(OnPhone(std::string(kThemes) + "/99/other-theme.txt")), "kept");
    EXPECT_EQ(ReadText(OnPhone("stopped")), "com.quindo.themecenter\n");
    EXPECT_EQ(steps_, (std::vector<PushStep>{PushStep::kUnpacking, PushStep::kRemovingOld,
                                             PushStep::kPushing, PushStep::kStoppingThemeApp}));
}

// Another run's start-up (or a save of the pack form) empties the scratch
// folders while a push waits for the phone: it used to empty this push's
// staging folder, and the push then sent an empty theme and said it worked.
TEST_F(ThemePushTest, EmptyingTheScratchFoldersDuringAPushLeavesItsStagingAlone) {
    const std::string archive = MakeArchive(R"({"resource_id": 21})");
    phone_.SlowOn("rm");
    PushResult result;
    std::thread push([&] { result = Push(archive); });
    // The push waits for the phone's remove once its staging folder is full.
    for (int wait = 0; wait < 200 && phone_.Calls().empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EmptyScratchFolders();
    push.join();
    ASSERT_TRUE(result.outcome.ok()) << device::ConsoleText(result.outcome);
    EXPECT_EQ(FilesBelow(OnPhone(std::string(kThemes) + "/21")).size(), 3u);
    EXPECT_NE(log().find(" is in use by another run or task"), std::string::npos);
}

TEST_F(ThemePushTest, APushThatArrivesIncompleteIsAFailure) {
    phone_.LoseFileOn("push");
    const PushResult result = Push(MakeArchive(R"({"resource_id": 22})"));
    EXPECT_EQ(result.outcome.failure, PhoneFailure::kIncomplete);
    EXPECT_EQ(result.outcome.detail, "2 of 3 files");
    EXPECT_TRUE(result.phone_folder.empty());
    EXPECT_NE(log().find("ERROR\tthe phone did not receive the whole theme 22: 2 of 3 files"),
              std::string::npos);
    EXPECT_FALSE(IsFile(OnPhone("stopped"))) << "the theme app is left alone";
    EXPECT_FALSE(device::LiesWithThisComputer(result.outcome.failure));
}

TEST_F(ThemePushTest, APhoneWhoseSerialHoldsABlankGetsThePush) {
    phone_.SetPhones("SIM001\tdevice\nMy Phone 2\tdevice\n");
    const PushResult result = Push(MakeArchive(R"({"resource_id": 31})"), "My Phone 2");
    ASSERT_TRUE(result.outcome.ok()) << device::ConsoleText(result.outcome);
    const std::string theme = std::string(kThemes) + "/31/meta.json";
    EXPECT_TRUE(IsFile(phone_.PhoneRoot("My Phone 2") + "/" + theme));
    EXPECT_FALSE(IsFile(OnPhone(theme))) << "the other phone gets nothing";
}

TEST_F(ThemePushTest, TheResourceNumberNamesTheFolder) {
    struct Case {
        const char* meta;
        const char* number;
    };
    const Case cases[] = {
        {R"({"resource_id": 1100042})", "1100042"},
        {R"({"resource_name": "no number"})", "0"},
        {R"({"resource_id": null})", "0"},
        {R"({"resource_id": 7.0})", "7"},
    };
    for (const Case& c : cases) {
        const PushResult result = Push(MakeArchive(c.meta));
        EXPECT_TRUE(result.outcome.ok()) << c.meta;
        EXPECT_EQ(result.resource_number, c.number) << c.meta;
        EXPECT_TRUE(IsFile(OnPhone(std::string(kThemes) + "/" + c.number + "/meta.json")))
            << c.meta;
    }
}

// An archive that cannot be pushed as a theme leaves the phone as it was:
// no command reaches it.
TEST_F(ThemePushTest, ABrokenArchiveIsRefusedBeforeThePhoneIsTouched) {
    WriteText(folder_ / "not-a-zip.zip", "this is no zip archive");
    struct Case {
        std::string archive;
        PhoneFailure failure;
        const char* log;
    };
    const Case cases[] = {
        {folder_ / "not-a-zip.zip", PhoneFailure::kArchiveUnreadable,
         "ERROR\tfailed to extract zip archive.\n"},
        {MakeArchive(nullptr, "no-meta"), PhoneFailure::kNoMeta, "ERROR\tload meta.json failed.\n"},
        {MakeArchive("{ broken", "bad-meta"), PhoneFailure::kNoMeta,
         "ERROR\tload meta.json failed.\n"},
        {MakeArchive("[1, 2]", "array-meta"), PhoneFailure::kNoMeta,
         "ERROR\tload meta.json failed.\n"},
        {MakeArchive(R"({"resource_id": "12ab"})", "text-id"), PhoneFailure::kBadResourceId,
         "resource_id of meta.json is not an integer"},
        {MakeArchive(R"({"resource_id": 1.5})", "fraction-id"), PhoneFailure::kBadResourceId,
         "resource_id of meta.json is not an integer"},
        {folder_ / "missing.zip", PhoneFailure::kArchiveMissing, "is not a file"},
    };
    WriteText(OnPhone(std::string(kThemes) + "/0/meta.json"), "the phone's own");
    for (const Case& c : cases) {
        const PushResult result = Push(c.archive);
        EXPECT_EQ(result.outcome.failure, c.failure) << c.archive;
        EXPECT_TRUE(device::LiesWithThisComputer(c.failure));
        EXPECT_NE(log().find(c.log), std::string::npos) << c.archive;
    }
    EXPECT_TRUE(phone_.Calls().empty());
    EXPECT_EQ(ReadText(OnPhone(std::string(kThemes) + "/0/meta.json")), "the phone's own");
}

TEST_F(ThemePushTest, NothingAnEarlierPushLeftInTheStagingFolderReachesThePhone) {
    ASSERT_TRUE(Push(MakeArchive(R"({"resource_id": 4})", "earlier")).outcome.ok());
    WriteText(folder_ / "home/themetool/.hidden-leftover", "old");
    WriteText(folder_ / "home/themetool/leftover/file.txt", "old");
    ASSERT_TRUE(Push(MakeArchive(R"({"resource_id": 5})")).outcome.ok());
    const auto files = FilesBelow(OnPhone(std::string(kThemes) + "/5"));
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[1].first, "meta.json");
}

// A folder of the staging folder's name that the program did not make may
// hold the designer's own files: it is neither emptied nor pushed.
TEST_F(ThemePushTest, AStagingFolderTheProgramDidNotMakeIsLeftAlone) {
    WriteText(folder_ / "home/themetool/notes.txt", "mine");
    const PushResult result = Push(MakeArchive(R"({"resource_id": 6})"));
    EXPECT_EQ(result.outcome.failure, PhoneFailure::kStagingFailed);
    EXPECT_EQ(ReadText(folder_ / "home/themetool/notes.txt"), "mine");
    EXPECT_FALSE(IsFile(folder_ / "home/themetool/meta.json"));
    EXPECT_TRUE(phone_.Calls().empty());
}

TEST_F(ThemePushTest, AFailedOrHangingPhoneCommandIsTheOutcome) {
    const std::string archive = MakeArchive(R"({"resource_id": 3})");

    phone_.FailOn("push");
    PushResult result = Push(archive);
    EXPECT_EQ(result.outcome.failure, PhoneFailure::kCommandFailed);
    EXPECT_EQ(result.outcome.detail, "adb: error: simulated failure of push");
    EXPECT_TRUE(result.phone_folder.empty());

    // A phone pulled out between the check and the push.
    phone_.Heal();
    phone_.SetPhones("");
    EXPECT_EQ(Push(archive).outcome.failure, PhoneFailure::kPhoneNotFound);

    phone_.SetPhones("SIM001\tdevice\n");
    phone_.HangOn("rm");
    device::AdbTimeLimits limits = device::GetAdbTimeLimits();
    limits.command = 300;
    device::SetAdbTimeLimits(limits);
    phone_.ClearCalls();
    result = Push(archive);
    EXPECT_EQ(result.outcome.failure, PhoneFailure::kTimedOut);
    ASSERT_EQ(phone_.Calls().size(), 1u) << "nothing is pushed after a remove that hung";

    // A theme app that cannot be stopped does not undo a push that arrived.
    limits.command = 5000;
    device::SetAdbTimeLimits(limits);
    phone_.Heal();
    phone_.FailOn("force-stop");
    result = Push(archive);
    EXPECT_TRUE(result.outcome.ok()) << device::ConsoleText(result.outcome);
    EXPECT_NE(log().find("the phone's theme app was not stopped"), std::string::npos);
}

TEST_F(ThemePushTest, OnePushAtATime) {
    const std::string archive = MakeArchive(R"({"resource_id": 8})");
    device::PushLock first = device::PushLock::TryTake();
    ASSERT_TRUE(first.held());
    device::PushLock second = device::PushLock::TryTake();
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(second.busy());
    const PushResult refused = device::PushTheme(second, archive, "", {});
    EXPECT_EQ(refused.outcome.failure, PhoneFailure::kBusy);
    EXPECT_TRUE(phone_.Calls().empty());

    device::PushLock moved = std::move(first);
    EXPECT_FALSE(device::PushLock::TryTake().held());
    moved = device::PushLock();
    EXPECT_TRUE(device::PushLock::TryTake().held()) << "a lock let go can be taken again";
}

TEST(ResourceNumberTest, IntegersOnly) {
    struct Case {
        const char* member;
        Json::Value value;
        bool ok;
        const char* number;
    };
    const Case cases[] = {
        {"resource_id", 42, true, "42"},  {"resource_id", -3, true, "-3"},
        {"other", 42, true, "0"},         {"resource_id", "42", false, ""},
        {"resource_id", true, false, ""}, {"resource_id", 4294967296.0, false, ""},
    };
    for (const Case& c : cases) {
        Json::Value document(Json::objectValue);
        document[c.member] = c.value;
        std::string number;
        EXPECT_EQ(device::ResourceNumberOf(document, number), c.ok) << c.value.toStyledString();
        EXPECT_EQ(number, c.number) << c.value.toStyledString();
    }
}

}  // namespace
}  // namespace sw::test
