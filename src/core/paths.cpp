#include "core/paths.h"

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "core/log.h"

namespace sw {

namespace {

std::mutex& FoldersMutex() {
    static std::mutex mutex;
    return mutex;
}

// Both folders are kept absolute and without a trailing "/" (except the root).
std::string& DataFolder() {
    static std::string folder;
    return folder;
}

std::string& HomeFolder() {
    static std::string folder;
    return folder;
}

std::string Normalised(const std::string& folder) {
    if (folder.empty()) {
        return folder;
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    std::string text = error ? folder : absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

std::string ExecutableFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return Normalised(".");
    }
    return exe.parent_path().string();
}

std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        LogError("no home folder for %s: HOME is not set; name one with --home\n",
                 name.empty() ? "the program's files" : name.c_str());
        return "";
    }
    std::string path = name.empty() ? folder : (folder == "/" ? "/" : folder + "/") + name;
    return CheckPathCapacity(path) ? path : std::string();
}

// The folder named by --home or SKINWRIGHT_HOME; "" when neither is given and
// the XDG layout applies.
std::string ChosenHome() {
    {
        std::lock_guard<std::mutex> lock(FoldersMutex());
        if (!HomeFolder().empty()) {
            return HomeFolder();
        }
    }
    const char* fromEnvironment = std::getenv("SKINWRIGHT_HOME");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return Normalised(fromEnvironment);
    }
    return "";
}

// The user's own folder: HOME when it is absolute, else the password entry's.
std::string UserHome() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return Normalised(home);
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return Normalised(found->pw_dir);
    }
    return "";
}

// ${variable:-~/fallback}/skinwright. A relative value is ignored, as the
// XDG base directory rules ask.
std::string XdgProgramFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return Normalised(std::string(value) + "/skinwright");
    }
    const std::string home = UserHome();
    return home.empty() ? home : Normalised(home + "/" + fallback + "/skinwright");
}

// Where the scratch folders go: the home folder, else the XDG cache folder.
std::string ScratchPath(const std::string& name) {
    const std::string home = ChosenHome();
    return Joined(home.empty() ? XdgProgramFolder("XDG_CACHE_HOME", ".cache") : home, name);
}

}  // namespace

bool CheckPathCapacity(const std::string& path) {
    if (path.size() <= kPathCapacity) {
        return true;
    }
    LogError("path of %zu bytes is longer than %zu bytes, refused: %.80s...\n", path.size(),
             kPathCapacity, path.c_str());
    return false;
}

std::string ExePath(const std::string& name) {
    std::string folder;
    {
        std::lock_guard<std::mutex> lock(FoldersMutex());
        if (DataFolder().empty()) {
            DataFolder() = DataFolderFor(ExecutableFolder());
        }
        folder = DataFolder();
    }
    return Joined(folder, name);
}

std::string DataFolderFor(const std::string& executableFolder) {
    std::error_code error;
    if (std::filesystem::is_directory(executableFolder + "/template", error)) {
        return executableFolder;
    }
    return Normalised(executableFolder + "/../share/skinwright");
}

std::string HomePath(const std::string& name) {
    const std::string home = ChosenHome();
    return Joined(home.empty() ? XdgProgramFolder("XDG_STATE_HOME", ".local/state") : home, name);
}

std::string PackWorkFolder() {
    return ScratchPath("tmp");
}

std::string PushStagingFolder() {
    return ScratchPath("themetool");
}

std::string IconNamesFile() {
    return HomePath("iconNames.xml");
}

std::string WorkFolder() {
    const std::string home = ChosenHome();
    return home.empty() ? Joined(UserHome(), "Skinwright") : Joined(home, "work");
}

void SetDataFolder(const std::string& folder) {
    std::string normalised = Normalised(folder);
    std::lock_guard<std::mutex> lock(FoldersMutex());
    DataFolder() = normalised;
}

void SetHomeFolder(const std::string& folder) {
    std::string normalised = Normalised(folder);
    std::lock_guard<std::mutex> lock(FoldersMutex());
    HomeFolder() = normalised;
}

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

}  // namespace sw
