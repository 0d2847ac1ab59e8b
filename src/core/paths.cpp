#include "core/paths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

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
    std::string path = name.empty() ? folder : (folder == "/" ? "/" : folder + "/") + name;
    return CheckPathCapacity(path) ? path : std::string();
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
            DataFolder() = ExecutableFolder();
        }
        folder = DataFolder();
    }
    return Joined(folder, name);
}

std::string HomePath(const std::string& name) {
    std::string folder;
    {
        std::lock_guard<std::mutex> lock(FoldersMutex());
        folder = HomeFolder();
    }
    if (folder.empty()) {
        const char* fromEnvironment = std::getenv("SKINWRIGHT_HOME");
        if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
            folder = Normalised(fromEnvironment);
        } else {
            return ExePath(name);
        }
    }
    return Joined(folder, name);
}

std::string PackWorkFolder() {
    return HomePath("tmp");
}

std::string PushStagingFolder() {
    return HomePath("themetool");
}

std::string IconNamesFile() {
    return HomePath("iconNames.xml");
}

std::string WorkFolder() {
    return HomePath("work");
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
