// The files the editor rewrites are replaced whole: a process killed at any
// moment of a save leaves each file either as it was or as it was to become.
#include <gtest/gtest.h>
#include <json/value.h>
#include <signal.h>
#include <sys/wait.h>
#include <tinyxml.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "core/log.h"
#include "engine/engine_fixture.h"
#include "engine/json_file.h"
#include "engine/xml_file.h"

namespace sw {
namespace {

namespace fs = std::filesystem;

// Two versions of each file, large enough that a write takes a while and
// different in length, so a part of either is never mistaken for a whole.
struct FileVersions {
    std::string path;
    std::string texts[2];
};

TiXmlDocument ColorsDocument(int version) {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "utf-8", ""));
    auto* resources = new TiXmlElement("resources");
    for (int i = 0; i < 1500 + version * 300; ++i) {
        auto* color = new TiXmlElement("color");
        color->SetAttribute("name", "color_" + std::to_string(i));
        color->LinkEndChild(new TiXmlText(version == 0 ? "#FF000000" : "#FFFFFFFF"));
        resources->LinkEndChild(color);
    }
    document.LinkEndChild(resources);
    return document;
}

TiXmlDocument LayoutDocument(int version) {
    TiXmlDocument document;
    auto* layout = new TiXmlElement("RelativeLayout");
    for (int i = 0; i < 800 + version * 200; ++i) {
        auto* view = new TiXmlElement("ImageView");
        view->SetAttribute("android:layout_marginLeft", std::to_string(i * (version + 1)) + "px");
        view->SetAttribute("android:src", "@drawable/lock_" + std::to_string(i));
        layout->LinkEndChild(view);
    }
    document.LinkEndChild(layout);
    return document;
}

Json::Value MetaDocument(int version) {
    Json::Value meta(Json::objectValue);
    meta["resource_name"] = version == 0 ? "晨光" : "新的主题";
    meta["resource_description"] = std::string(40000 + version * 9000, version == 0 ? 'a' : 'b');
    meta["resource_id"] = 1000001 + version;
    return meta;
}

// Saves every file in the given version, as the editor saves them.
void SaveAll(const std::string& folder, int version) {
    SaveXmlFile(ColorsDocument(version), folder + "/colors.xml");
    SaveXmlFile(LayoutDocument(version), folder + "/lockscreen.xml");
    WriteJsonFile(folder + "/meta.json", MetaDocument(version));
}

TEST(DurableWritesTest, AKilledSaveLeavesEveryFileOldOrNew) {
    test::TempFolder folder;
    SetLogFilePath("");
    // What each version looks like on disk.
    FileVersions files[] = {
        {folder / "colors.xml", {}}, {folder / "lockscreen.xml", {}}, {folder / "meta.json", {}}};
    for (int version : {1, 0}) {
        SaveAll(folder.path(), version);
        for (FileVersions& file : files) {
            file.texts[version] = test::ReadText(file.path);
        }
    }
    std::random_device device;
    const unsigned seed = device();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, 15000);  // microseconds
    constexpr int kRounds = 300;
    int brokenRounds = 0;
    for (int round = 0; round < kRounds && brokenRounds == 0; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int version = 1;; version ^= 1) {
                SaveAll(folder.path(), version);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        for (const FileVersions& file : files) {
            const std::string text = test::ReadText(file.path);
            if (text != file.texts[0] && text != file.texts[1]) {
                ++brokenRounds;
                ADD_FAILURE() << file.path << " is broken after the kill of round " << round << " ("
                              << text.size() << " bytes)";
            }
        }
        // Temporary files of a killed save may stay behind; they are no
        // project file and go here so the folder does not fill up.
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "colors.xml" && name != "lockscreen.xml" && name != "meta.json") {
                fs::remove(entry.path());
            }
        }
    }
}

}  // namespace
}  // namespace sw
