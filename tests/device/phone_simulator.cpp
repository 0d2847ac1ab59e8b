#include "device/phone_simulator.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace sw::test {

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, const std::string& text, bool append = false) {
    std::ofstream(path, append ? std::ios::binary | std::ios::app : std::ios::binary) << text;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

PhoneSimulator::PhoneSimulator(const std::string& folder) : folder_(folder) {
    program_ = folder_ + "/adb";
    fs::copy_file(PHONE_SIMULATOR_SCRIPT, program_, fs::copy_options::overwrite_existing);
    fs::permissions(program_, fs::perms::owner_all);
    if (const char* previous = std::getenv("SKINWRIGHT_ADB")) {
        previous_ = previous;
        had_previous_ = true;
    }
    ::setenv("SKINWRIGHT_ADB", program_.c_str(), 1);
}

PhoneSimulator::~PhoneSimulator() {
    if (had_previous_) {
        ::setenv("SKINWRIGHT_ADB", previous_.c_str(), 1);
    } else {
        ::unsetenv("SKINWRIGHT_ADB");
    }
}

void PhoneSimulator::SetPhones(const std::string& lines) const {
    Write(folder_ + "/devices", lines);
}

void PhoneSimulator::FailOn(const std::string& operation) const {
    Write(folder_ + "/fail", operation + "\n", true);
}

void PhoneSimulator::HangOn(const std::string& operation) const {
    Write(folder_ + "/hang", operation + "\n", true);
}

void PhoneSimulator::SlowOn(const std::string& operation) const {
    Write(folder_ + "/slow", operation + "\n", true);
}

void PhoneSimulator::LoseFileOn(const std::string& operation) const {
    Write(folder_ + "/lossy", operation + "\n", true);
}

void PhoneSimulator::Heal() const {
    std::error_code error;
    for (const char* state : {"/fail", "/hang", "/slow", "/lossy"}) {
        fs::remove(folder_ + state, error);
    }
}

std::vector<std::vector<std::string>> PhoneSimulator::Calls() const {
    std::vector<std::vector<std::string>> calls;
    const std::string text = Read(folder_ + "/calls");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::vector<std::string> words;
        std::size_t word = start;
        for (std::size_t tab = text.find('\t', word); tab != std::string::npos && tab < end;
             tab = text.find('\t', word)) {
            words.push_back(text.substr(word, tab - word));
            word = tab + 1;
        }
        calls.push_back(std::move(words));
        start = end + 1;
    }
    return calls;
}

void PhoneSimulator::ClearCalls() const {
    Write(folder_ + "/calls", "");
}

std::string PhoneSimulator::PhoneRoot(const std::string& serial) const {
    return folder_ + "/phones/" + serial;
}

std::vector<std::pair<std::string, std::string>> FilesBelow(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file()) {
            files.push_back({fs::relative(it->path(), folder).string(), Read(it->path().string())});
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace sw::test
