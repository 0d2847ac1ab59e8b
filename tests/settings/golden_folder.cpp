#include "settings/golden_folder.h"

#include <filesystem>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "core/temp_folder.h"

namespace sw::test {

namespace fs = std::filesystem;

namespace {

std::set<std::string> FilesBelow(const std::string& root) {
    std::set<std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file()) {
            files.insert(fs::relative(it->path(), root).string());
        }
    }
    return files;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream a(expected);
    std::istringstream b(actual);
    std::string lineA;
    std::string lineB;
    for (int number = 1;; ++number) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) {
            return "the files differ in their line ends or byte-order mark";
        }
        if (!moreA || !moreB || lineA != lineB) {
            return "line " + std::to_string(number) + ": expected\n      " +
                   (moreA ? lineA : "(end of file)") + "\n    got\n      " +
                   (moreB ? lineB : "(end of file)");
        }
    }
}

}  // namespace

std::string GoldenFolder(const std::string& name, const std::string& which) {
    return std::string(SKINWRIGHT_SOURCE_DIR) + "/tests/settings/golden/" + name + "/" + which;
}

void CopyTree(const std::string& from, const std::string& to) {
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::vector<std::string> CompareTrees(const std::string& expected, const std::string& actual) {
    std::vector<std::string> differences;
    const std::set<std::string> wanted = FilesBelow(expected);
    const std::set<std::string> found = FilesBelow(actual);
    for (const std::string& file : wanted) {
        if (found.count(file) == 0) {
            differences.push_back(file + ": missing");
            continue;
        }
        const std::string a = ReadText(expected + "/" + file);
        const std::string b = ReadText(actual + "/" + file);
        if (a != b) {
            differences.push_back(file + ": " + FirstDifference(a, b));
        }
    }
    for (const std::string& file : found) {
        if (wanted.count(file) == 0) {
            differences.push_back(file + ": not expected");
        }
    }
    return differences;
}

std::string ValueList(const FormList& fields) {
    std::string list;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        list += (i == 0 ? "" : ",") + fields[i].second;
    }
    return list;
}

}  // namespace sw::test

namespace sw::test {

FormList With(FormList fields, const FormList& changes) {
    for (const auto& [field, value] : changes) {
        bool found = false;
        for (auto& entry : fields) {
            if (entry.first == field) {
                entry.second = value;
                found = true;
            }
        }
        EXPECT_TRUE(found) << field << " is not a field of the list";
    }
    return fields;
}

FormList LockscreenList() {
    return {
        {"timex1", "230px"},         {"timey1", "250px"},
        {"timex2", "370px"},         {"timey2", "250px"},
        {"timex3", "510px"},         {"timey3", "250px"},
        {"timex4", "570px"},         {"timey4", "250px"},
        {"timex5", "710px"},         {"timey5", "250px"},
        {"timex6", "858px"},         {"timey6", "414px"},
        {"datex", "380px"},          {"datey", "500px"},
        {"batteryx", "430px"},       {"batteryy", "1836px"},
        {"handlex", "205px"},        {"handley", "1375px"},
        {"camerax", "-2080px"},      {"cameray", "1385px"},
        {"phonex", "-2080px"},       {"phoney", "1385px"},
        {"messagex", "-2080px"},     {"messagey", "1385px"},
        {"timew1", "140px"},         {"timeh1", "220px"},
        {"timew2", "140px"},         {"timeh2", "220px"},
        {"timew3", "60px"},          {"timeh3", "220px"},
        {"timew4", "140px"},         {"timeh4", "220px"},
        {"timew5", "140px"},         {"timeh5", "220px"},
        {"timew6", "90px"},          {"timeh6", "50px"},
        {"handlew", "190px"},        {"handleh", "190px"},
        {"cameraw", "170px"},        {"camerah", "170px"},
        {"phonew", "170px"},         {"phoneh", "170px"},
        {"messagew", "170px"},       {"messageh", "170px"},
        {"unlockw", "170px"},        {"unlockh", "170px"},
        {"animatorx", "0px"},        {"animatory", "640px"},
        {"animatorw", "1080px"},     {"animatorh", "520px"},
        {"datesize", "42px"},        {"batterysize", "30px"},
        {"TextOwnerInfoX", "450px"}, {"TextOwnerInfoY", "574px"},
        {"TextOwnerInfoW", "420px"}, {"TextOwnerInfoSize", "30px"},
        {"TextSimAllX", "450px"},    {"TextSimAllY", "92px"},
        {"TextSimAllW", "300px"},    {"TextSimAllSize", "28px"},
        {"datew", "400px"},          {"batteryw", "240px"},
        {"unlockx", "695px"},        {"unlocky", "1385px"},
    };
}

FormList CallscreenList() {
    return {
        {"reminderx", "215px"}, {"remindery", "1280px"}, {"reminderw", "140px"},
        {"reminderh", "140px"}, {"smsx", "725px"},       {"smsy", "1280px"},
        {"smsw", "140px"},      {"smsh", "140px"},       {"hangupx", "175px"},
        {"hangupy", "1560px"},  {"hangupw", "220px"},    {"hanguph", "220px"},
        {"answerx", "685px"},   {"answery", "1560px"},   {"answerw", "220px"},
        {"answerh", "220px"},
    };
}

FormList WeatherList() {
    return {
        {"timex1", "96px"},        {"timey1", "170px"},         {"timex2", "212px"},
        {"timey2", "170px"},       {"timex3", "330px"},         {"timey3", "170px"},
        {"timex4", "378px"},       {"timey4", "170px"},         {"timex5", "494px"},
        {"timey5", "170px"},       {"timex6", "622px"},         {"timey6", "296px"},
        {"datex", "100px"},        {"datey", "392px"},          {"weekx", "292px"},
        {"weeky", "392px"},        {"cityx", "100px"},          {"cityy", "474px"},
        {"weatherx", "196px"},     {"weathery", "474px"},       {"iconx", "764px"},
        {"icony", "152px"},        {"temperaturex", "801px"},   {"temperaturey", "380px"},
        {"timew1", "120px"},       {"timeh1", "180px"},         {"timew2", "120px"},
        {"timeh2", "180px"},       {"timew3", "50px"},          {"timeh3", "180px"},
        {"timew4", "120px"},       {"timeh4", "180px"},         {"timew5", "120px"},
        {"timeh5", "180px"},       {"timew6", "90px"},          {"timeh6", "50px"},
        {"backgroundw", "1000px"}, {"backgroundh", "440px"},    {"backgroundy", "130px"},
        {"datesize", "44px"},      {"weeksize", "44px"},        {"citysize", "36px"},
        {"weathersize", "36px"},   {"temperaturesize", "64px"}, {"iconw", "210px"},
        {"iconh", "210px"},
    };
}

FormList AnimatorList() {
    FormList list;
    for (int frame = 1; frame <= 20; ++frame) {
        list.push_back({"Animator" + std::to_string(frame), "1"});
    }
    list.insert(list.end(), {{"AnimatorTimes", "5"},
                             {"AnimatorTime", "100"},
                             {"AnimatorX", "0px"},
                             {"AnimatorY", "640px"},
                             {"AnimatorW", "1080px"},
                             {"AnimatorH", "520px"}});
    return list;
}

}  // namespace sw::test
