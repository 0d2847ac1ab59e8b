#include "engine/edit_history.h"

#include <fcntl.h>
#include <json/reader.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <utility>

#include "core/files.h"
#include "core/log.h"
#include "core/own_writes.h"
#include "core/paths.h"
#include "core/unique_fd.h"
#include "engine/icon_exclusion_list.h"
#include "engine/json_file.h"

namespace sw {

namespace {

namespace fs = std::filesystem;

constexpr const char* kIndexName = "steps.json";
constexpr const char* kStepFolderPattern = "step-XXXXXX";
constexpr const char* kPreviewFolder = "preview";

// One history at a time is changed by this process, and the step folders
// being filled by recorders are known, so that a clean-up never takes one.
struct HistoryGuard {
    std::mutex mutex;
    std::set<std::string> active_folders;
    // Indexes set aside since the designer was last told, by their new paths.
    std::vector<std::string> set_aside;
};

HistoryGuard& Guard() {
    static HistoryGuard guard;
    return guard;
}

std::string Normalized(const std::string& path) {
    std::string normal = fs::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

// A relative path with no "." or ".." parts: what the index may name.
bool IsPlainRelative(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return false;
    }
    for (const fs::path& part : fs::path(path)) {
        if (part == "." || part == ".." || part.empty()) {
            return false;
        }
    }
    return true;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Makes the entries of folder last on disk (the kept files of a step).
void SyncFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid() || ::fsync(fd.get()) != 0) {
        LogWarn("cannot flush the history folder %s: %s\n", folder.c_str(), std::strerror(errno));
    }
}

// Keeps the file at path as keep: a second name for the same file when the
// file system allows it (the program never writes a file in place, so the
// next write of path leaves this one alone), else a copy.
bool KeepFile(const std::string& path, const std::string& keep) {
    ::unlink(keep.c_str());
    if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, keep.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    return CopyFileAtomic(path, keep);
}

// ---------------------------------------------------------------- the index

struct StoredFile {
    std::string path;  // below the project folder
    std::string blob;  // the kept files are <blob>.before and <blob>.after
    FileFingerprint before;
    FileFingerprint after;
};

struct StoredStep {
    std::string folder;  // in the history folder
    std::string label;
    std::vector<StoredFile> files;
    std::vector<IconChange> icons;
};

struct StoredHistory {
    std::size_t position = 0;  // steps before it can be undone, the rest redone
    std::vector<StoredStep> steps;
};

Json::Value FingerprintJson(const FileFingerprint& fingerprint) {
    Json::Value value(Json::objectValue);
    value["exists"] = fingerprint.exists;
    value["size"] = Json::UInt64(fingerprint.size);
    value["crc"] = Json::UInt(fingerprint.crc);
    return value;
}

bool FingerprintFromJson(const Json::Value& value, FileFingerprint& fingerprint) {
    if (!value.isObject() || !value["exists"].isBool() || !value["size"].isUInt64() ||
        !value["crc"].isUInt()) {
        return false;
    }
    fingerprint.exists = value["exists"].asBool();
    fingerprint.size = value["size"].asUInt64();
    fingerprint.crc = value["crc"].asUInt();
    return true;
}

Json::Value HistoryJson(const StoredHistory& history) {
    Json::Value root(Json::objectValue);
    root["position"] = Json::UInt64(history.position);
    Json::Value& steps = root["steps"] = Json::Value(Json::arrayValue);
    for (const StoredStep& step : history.steps) {
        Json::Value item(Json::objectValue);
        item["folder"] = step.folder;
        item["label"] = step.label;
        Json::Value& files = item["files"] = Json::Value(Json::arrayValue);
        for (const StoredFile& file : step.files) {
            Json::Value entry(Json::objectValue);
            entry["path"] = file.path;
            entry["blob"] = file.blob;
            entry["before"] = FingerprintJson(file.before);
            entry["after"] = FingerprintJson(file.after);
            files.append(entry);
        }
        Json::Value& icons = item["icons"] = Json::Value(Json::arrayValue);
        for (const IconChange& icon : step.icons) {
            Json::Value entry(Json::objectValue);
            entry["name"] = icon.name;
            entry["excluded_before"] = icon.excluded_before;
            entry["excluded_after"] = icon.excluded_after;
            icons.append(entry);
        }
        steps.append(item);
    }
    return root;
}

bool StepFromJson(const Json::Value& item, StoredStep& step) {
    if (!item.isObject() || !item["folder"].isString() || !item["label"].isString() ||
        !item["files"].isArray() || !item["icons"].isArray()) {
        return false;
    }
    step.folder = item["folder"].asString();
    step.label = item["label"].asString();
    if (!IsPlainName(step.folder)) {
        return false;
    }
    for (const Json::Value& entry : item["files"]) {
        StoredFile file;
        if (!entry.isObject() || !entry["path"].isString() || !entry["blob"].isString() ||
            !FingerprintFromJson(entry["before"], file.before) ||
            !FingerprintFromJson(entry["after"], file.after)) {
            return false;
        }
        file.path = entry["path"].asString();
        file.blob = entry["blob"].asString();
        if (!IsPlainRelative(file.path) || !IsPlainName(file.blob)) {
            return false;
        }
        step.files.push_back(std::move(file));
    }
    for (const Json::Value& entry : item["icons"]) {
        if (!entry.isObject() || !entry["name"].isString() || !entry["excluded_before"].isBool() ||
            !entry["excluded_after"].isBool()) {
            return false;
        }
        step.icons.push_back({entry["name"].asString(), entry["excluded_before"].asBool(),
                              entry["excluded_after"].asBool()});
    }
    return true;
}

// Renames an index that cannot be read to a free name beside it
// ("steps.json.unreadable-1"), so that a new history starts while the old
// one stays for a look. Its step folders, named by no step now, go with the
// next clean-up. Called with the guard held.
void SetIndexAside(const std::string& path, const char* why) {
    std::string aside;
    for (int number = 1; number < 1000; ++number) {
        aside = path + ".unreadable-" + std::to_string(number);
        if (!PathExists(aside)) {
            break;
        }
    }
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        LogWarn("the edit history %s %s and cannot be set aside: %s\n", path.c_str(), why,
                std::strerror(errno));
        return;
    }
    LogWarn("the edit history %s %s; it is set aside as %s and a new history starts\n",
            path.c_str(), why, aside.c_str());
    Guard().set_aside.push_back(aside);
}

// An index that is missing is an empty history; one that cannot be read
// (not JSON, nested too deep, a damaged step, no regular file) is set aside
// and the history starts afresh: its steps can no longer be trusted.
StoredHistory LoadIndex(const std::string& historyFolder) {
    StoredHistory history;
    const std::string path = historyFolder + "/" + kIndexName;
    if (!PathExists(path)) {
        return history;
    }
    std::string text;
    if (!ReadFileText(path, text, historyFolder)) {
        SetIndexAside(path, "cannot be read");
        return history;
    }
    Json::Value root;
    if (!ParseJsonFileText(text, root, false) || !root.isObject() || !root["steps"].isArray() ||
        !root["position"].isUInt64()) {
        SetIndexAside(path, "is no history index");
        return history;
    }
    for (const Json::Value& item : root["steps"]) {
        StoredStep step;
        if (!StepFromJson(item, step)) {
            SetIndexAside(path, "holds a damaged step");
            return StoredHistory{};
        }
        history.steps.push_back(std::move(step));
    }
    history.position = std::min<std::size_t>(root["position"].asUInt64(), history.steps.size());
    return history;
}

bool SaveIndex(const std::string& historyFolder, const StoredHistory& history) {
    return WriteJsonFile(historyFolder + "/" + kIndexName, HistoryJson(history));
}

// Removes the step folders of the history folder that no step names and no
// recorder is filling: the remains of a step that was never added.
void RemoveStrayFolders(const std::string& historyFolder, const StoredHistory& history,
                        const std::set<std::string>& active) {
    std::vector<std::string> names;
    if (!ListFolder(historyFolder, names)) {
        return;
    }
    for (const std::string& name : names) {
        const std::string path = historyFolder + "/" + name;
        const bool named = std::any_of(history.steps.begin(), history.steps.end(),
                                       [&name](const StoredStep& s) { return s.folder == name; });
        if (!named && name.rfind("step-", 0) == 0 && IsFolder(path) && !active.contains(path)) {
            DeletePath(path);
        }
    }
}

// Adds a filled step after the steps that can be undone, as an edit does.
bool AppendStep(const std::string& historyFolder, StoredStep step) {
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    StoredHistory history = LoadIndex(historyFolder);
    // A new step after undo: the steps that could be redone are gone.
    history.steps.resize(history.position);
    history.steps.push_back(std::move(step));
    if (history.steps.size() > kHistorySteps) {
        history.steps.erase(history.steps.begin(),
                            history.steps.end() - static_cast<std::ptrdiff_t>(kHistorySteps));
    }
    history.position = history.steps.size();
    if (!SaveIndex(historyFolder, history)) {
        return false;
    }
    RemoveStrayFolders(historyFolder, history, guard.active_folders);
    return true;
}

// ---------------------------------------------------------- icon exclusions

std::set<std::string> ExcludedNames(const std::string& listText) {
    std::set<std::string> names;
    std::size_t start = 0;
    while (start <= listText.size()) {
        std::size_t comma = listText.find(',', start);
        if (comma == std::string::npos) {
            comma = listText.size();
        }
        if (comma > start) {
            names.insert(listText.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return names;
}

void SetExcluded(const std::string& name, bool excluded) {
    const bool now = ExcludedNames(IconExclusionList::Text()).contains(name);
    if (excluded && !now) {
        IconExclusionList::Add(name);
    } else if (!excluded && now) {
        IconExclusionList::Remove(name);
    }
}

// ------------------------------------------------------------ taking steps

enum class Direction { kUndo, kRedo };

HistoryOutcome TakeStep(const std::string& projectDir, Direction direction) {
    HistoryOutcome outcome;
    const std::string project = Normalized(projectDir);
    if (project.empty() || project == "/") {
        return outcome;
    }
    const std::string historyFolder = HistoryFolderOf(project);
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    StoredHistory history = LoadIndex(historyFolder);
    const bool undo = direction == Direction::kUndo;
    if (undo ? history.position == 0 : history.position >= history.steps.size()) {
        return outcome;
    }
    const StoredStep& step = history.steps[undo ? history.position - 1 : history.position];
    outcome.label = step.label;
    const std::string stepFolder = historyFolder + "/" + step.folder;

    // Every file must be as the step left it (or, after an interrupted run,
    // already as it is to become); anything else was changed outside.
    std::vector<const StoredFile*> toWrite;
    for (const StoredFile& file : step.files) {
        const FileFingerprint& from = undo ? file.after : file.before;
        const FileFingerprint& to = undo ? file.before : file.after;
        FileFingerprint now;
        if (!FingerprintOf(project + "/" + file.path, now) || (now != from && now != to)) {
            outcome.files.push_back(file.path);
        } else if (now == from) {
            toWrite.push_back(&file);
        }
    }
    if (!outcome.files.empty()) {
        outcome.result = HistoryOutcome::Result::kRefused;
        LogWarn("%s of \"%s\" refused: files changed outside the editor\n", undo ? "undo" : "redo",
                step.label.c_str());
        return outcome;
    }
    const char* keptSuffix = undo ? ".before" : ".after";
    for (const StoredFile* file : toWrite) {
        const FileFingerprint& to = undo ? file->before : file->after;
        FileFingerprint kept;
        if (to.exists &&
            (!FingerprintOf(stepFolder + "/" + file->blob + keptSuffix, kept) || kept != to)) {
            outcome.files.push_back(file->path);
        }
    }
    if (!outcome.files.empty()) {
        outcome.result = HistoryOutcome::Result::kDamaged;
        LogError("%s of \"%s\" refused: the history's copies in %s are missing or altered\n",
                 undo ? "undo" : "redo", step.label.c_str(), stepFolder.c_str());
        return outcome;
    }
    // An undo keeps the files as the step left them, for the redo.
    for (const StoredFile* file : toWrite) {
        const std::string afterCopy = stepFolder + "/" + file->blob + ".after";
        FileFingerprint kept;
        if (undo && file->after.exists &&
            !(FingerprintOf(afterCopy, kept) && kept == file->after) &&
            !KeepFile(project + "/" + file->path, afterCopy)) {
            outcome.files.push_back(file->path);
        }
    }
    if (undo && !toWrite.empty()) {
        SyncFolder(stepFolder);
    }
    for (const StoredFile* file : toWrite) {
        if (!outcome.files.empty()) {
            break;
        }
        const std::string target = project + "/" + file->path;
        const FileFingerprint& to = undo ? file->before : file->after;
        bool written = false;
        if (to.exists) {
            written = MakeFolderPath(FolderOf(target)) &&
                      CopyFileAtomic(stepFolder + "/" + file->blob + keptSuffix, target);
        } else {
            written = ::unlink(target.c_str()) == 0 || errno == ENOENT;
            NoteOwnWrite(target);
        }
        if (!written) {
            LogError("%s of \"%s\": cannot write %s\n", undo ? "undo" : "redo", step.label.c_str(),
                     target.c_str());
            outcome.files.push_back(file->path);
        }
    }
    if (!outcome.files.empty()) {
        outcome.result = HistoryOutcome::Result::kFailed;
        return outcome;
    }
    for (const IconChange& icon : step.icons) {
        const bool excluded = undo ? icon.excluded_before : icon.excluded_after;
        SetExcluded(icon.name, excluded);
        outcome.icons.push_back(icon);
    }
    if (undo) {
        --history.position;
    } else {
        ++history.position;
    }
    if (!SaveIndex(historyFolder, history)) {
        LogError("the edit history %s could not be saved after the %s\n", historyFolder.c_str(),
                 undo ? "undo" : "redo");
    }
    LogInfo("%s: %s\n", undo ? "undo" : "redo", step.label.c_str());
    outcome.result = HistoryOutcome::Result::kDone;
    return outcome;
}

}  // namespace

std::string HistoryFolderOf(const std::string& projectDir) {
    return Normalized(projectDir) + ".history";
}

bool FingerprintOf(const std::string& path, FileFingerprint& fingerprint) {
    fingerprint = FileFingerprint{};
    // Without blocking: a FIFO standing at path is refused, not waited on.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        return errno == ENOENT || errno == ENOTDIR;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        LogWarn("%s is not a regular file and cannot be kept for undo\n", path.c_str());
        return false;
    }
    fingerprint.exists = true;
    uLong crc = crc32_z(0L, Z_NULL, 0);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(buffer), static_cast<z_size_t>(count));
        fingerprint.size += static_cast<std::uint64_t>(count);
    }
    fingerprint.crc = static_cast<std::uint32_t>(crc);
    return true;
}

EditStepRecorder::EditStepRecorder(std::string projectDir, std::string label)
    : project_dir_(projectDir.empty() ? std::string() : Normalized(projectDir)),
      label_(std::move(label)),
      icons_before_(IconExclusionList::Text()) {
    if (project_dir_ == "/") {
        project_dir_.clear();
    }
}

EditStepRecorder::~EditStepRecorder() {
    if (step_folder_.empty()) {
        return;
    }
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    guard.active_folders.erase(step_folder_);
    if (!committed_) {
        DeletePath(step_folder_);
    }
}

bool EditStepRecorder::EnsureStepFolder() {
    if (!step_folder_.empty()) {
        return true;
    }
    const std::string historyFolder = HistoryFolderOf(project_dir_);
    if (!MakeFolderPath(historyFolder)) {
        LogWarn("cannot make the edit history folder %s\n", historyFolder.c_str());
        return false;
    }
    std::string folder = historyFolder + "/" + kStepFolderPattern;
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    if (::mkdtemp(folder.data()) == nullptr) {
        LogWarn("cannot make a step folder in %s: %s\n", historyFolder.c_str(),
                std::strerror(errno));
        return false;
    }
    step_folder_ = folder;
    guard.active_folders.insert(step_folder_);
    return true;
}

void EditStepRecorder::BeforeWrite(const std::string& path) {
    if (project_dir_.empty() || failed_ || committed_) {
        return;
    }
    const std::string normal = Normalized(path);
    if (normal.size() <= project_dir_.size() + 1 ||
        normal.compare(0, project_dir_.size(), project_dir_) != 0 ||
        normal[project_dir_.size()] != '/') {
        return;
    }
    const std::string relative = normal.substr(project_dir_.size() + 1);
    // Preview pictures (module/preview/...) are drawn again from the files.
    const fs::path parts(relative);
    auto part = parts.begin();
    if (part != parts.end() && ++part != parts.end() && *part == kPreviewFolder) {
        return;
    }
    if (!seen_.insert(relative).second) {
        return;
    }
    Recorded recorded;
    recorded.relative = relative;
    if (!FingerprintOf(normal, recorded.before)) {
        LogWarn("the edit \"%s\" is not kept for undo: %s cannot be read\n", label_.c_str(),
                normal.c_str());
        failed_ = true;
        return;
    }
    if (recorded.before.exists) {
        if (!EnsureStepFolder() ||
            !KeepFile(normal, step_folder_ + "/" + std::to_string(files_.size()) + ".before")) {
            LogWarn("the edit \"%s\" is not kept for undo: %s cannot be kept\n", label_.c_str(),
                    normal.c_str());
            failed_ = true;
            return;
        }
        recorded.kept = true;
    }
    files_.push_back(std::move(recorded));
}

bool EditStepRecorder::Commit() {
    if (committed_ || project_dir_.empty()) {
        return false;
    }
    committed_ = true;
    StoredStep step;
    step.label = label_;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        StoredFile file;
        file.path = files_[i].relative;
        file.blob = std::to_string(i);
        file.before = files_[i].before;
        if (!FingerprintOf(project_dir_ + "/" + file.path, file.after)) {
            failed_ = true;
        }
        if (file.after == file.before) {
            if (files_[i].kept) {
                DeletePath(step_folder_ + "/" + file.blob + ".before");
            }
            continue;
        }
        step.files.push_back(std::move(file));
    }
    const std::set<std::string> before = ExcludedNames(icons_before_);
    const std::set<std::string> after = ExcludedNames(IconExclusionList::Text());
    std::set<std::string> names = before;
    names.insert(after.begin(), after.end());
    for (const std::string& name : names) {
        if (before.contains(name) != after.contains(name)) {
            step.icons.push_back({name, before.contains(name), after.contains(name)});
        }
    }
    if (failed_ || (step.files.empty() && step.icons.empty())) {
        committed_ = false;  // the destructor removes the step folder
        return false;
    }
    if (!EnsureStepFolder()) {
        committed_ = false;
        return false;
    }
    step.folder = FileNameOf(step_folder_);
    SyncFolder(step_folder_);

    const std::string historyFolder = HistoryFolderOf(project_dir_);
    if (!AppendStep(historyFolder, std::move(step))) {
        LogError("the edit \"%s\" could not be added to the history %s\n", label_.c_str(),
                 historyFolder.c_str());
        committed_ = false;
        return false;
    }
    return true;
}

HistoryState ReadHistoryState(const std::string& projectDir) {
    HistoryState state;
    if (Normalized(projectDir).empty()) {
        return state;
    }
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    const StoredHistory history = LoadIndex(HistoryFolderOf(projectDir));
    if (history.position > 0) {
        state.undo_label = history.steps[history.position - 1].label;
    }
    if (history.position < history.steps.size()) {
        state.redo_label = history.steps[history.position].label;
    }
    return state;
}

std::vector<std::string> TakeSetAsideHistories() {
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    return std::exchange(guard.set_aside, {});
}

HistoryOutcome UndoStep(const std::string& projectDir) {
    return TakeStep(projectDir, Direction::kUndo);
}

HistoryOutcome RedoStep(const std::string& projectDir) {
    return TakeStep(projectDir, Direction::kRedo);
}

// ------------------------------------------------- changes made outside

namespace {

constexpr const char* kKnownFolder = "known";

std::string KnownCopyOf(const std::string& project, const std::string& relative) {
    return HistoryFolderOf(project) + "/" + kKnownFolder + "/" + relative;
}

std::string LowerExtensionOf(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Copies the known files below folder (relative to the project) into the
// known copies.
bool RememberFolder(const std::string& project, const std::string& relative) {
    const std::string folder = relative.empty() ? project : project + "/" + relative;
    std::vector<std::string> names;
    if (!ListFolder(folder, names)) {
        return false;
    }
    bool remembered = true;
    for (const std::string& name : names) {
        const std::string child = relative.empty() ? name : relative + "/" + name;
        const std::string path = project + "/" + child;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            if (!IsKnownProjectFile(child + "/x.xml")) {
                continue;
            }
            remembered = RememberFolder(project, child) && remembered;
        } else if (S_ISREG(info.st_mode) && IsKnownProjectFile(child)) {
            const std::string copy = KnownCopyOf(project, child);
            remembered = MakeFolderPath(FolderOf(copy)) && CopyFileAtomic(path, copy) && remembered;
        }
    }
    return remembered;
}

std::string OutsideStepLabel(const std::vector<std::string>& relatives) {
    std::string label = "外部修改 " + FileNameOf(relatives.front());
    if (relatives.size() > 1) {
        label += " 等 " + std::to_string(relatives.size()) + " 个文件";
    }
    return label;
}

}  // namespace

bool IsKnownProjectFile(const std::string& relative) {
    if (!IsPlainRelative(relative)) {
        return false;
    }
    const fs::path parts(relative);
    auto part = parts.begin();
    // module/file at least, and never module/preview/...
    if (part == parts.end() || ++part == parts.end() || *part == kPreviewFolder) {
        return false;
    }
    const std::string extension = LowerExtensionOf(relative);
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg" ||
           extension == ".xml";
}

bool RememberProjectFiles(const std::string& projectDir) {
    const std::string project = Normalized(projectDir);
    if (project.empty() || project == "/") {
        return false;
    }
    DeletePath(HistoryFolderOf(project) + "/" + kKnownFolder);
    if (!RememberFolder(project, "")) {
        LogWarn("not every file of %s is kept for undoing changes made outside\n", project.c_str());
        return false;
    }
    return true;
}

void RememberProjectFile(const std::string& projectDir, const std::string& relative) {
    const std::string project = Normalized(projectDir);
    if (project.empty() || project == "/" || !IsKnownProjectFile(relative)) {
        return;
    }
    const std::string path = project + "/" + relative;
    const std::string copy = KnownCopyOf(project, relative);
    if (!IsFile(path)) {
        ::unlink(copy.c_str());
    } else if (!MakeFolderPath(FolderOf(copy)) || !CopyFileAtomic(path, copy)) {
        LogWarn("%s is not kept for undoing changes made outside\n", path.c_str());
    }
}

bool RecordOutsideStep(const std::string& projectDir, const std::vector<std::string>& relatives) {
    const std::string project = Normalized(projectDir);
    if (project.empty() || project == "/" || relatives.empty()) {
        return false;
    }
    const std::string historyFolder = HistoryFolderOf(project);
    std::string folder = historyFolder + "/" + kStepFolderPattern;
    {
        HistoryGuard& guard = Guard();
        std::lock_guard lock(guard.mutex);
        if (!MakeFolderPath(historyFolder) || ::mkdtemp(folder.data()) == nullptr) {
            LogWarn("cannot make a step folder in %s\n", historyFolder.c_str());
            return false;
        }
        guard.active_folders.insert(folder);
    }
    StoredStep step;
    step.folder = FileNameOf(folder);
    std::vector<std::string> named;
    for (const std::string& relative : relatives) {
        if (!IsKnownProjectFile(relative)) {
            continue;
        }
        StoredFile file;
        file.path = relative;
        file.blob = std::to_string(step.files.size());
        const std::string copy = KnownCopyOf(project, relative);
        if (!FingerprintOf(copy, file.before) ||
            !FingerprintOf(project + "/" + relative, file.after) || file.before == file.after) {
            continue;
        }
        // The known copy becomes the step's "before"; a fresh one follows
        // the file.
        if (file.before.exists &&
            ::rename(copy.c_str(), (folder + "/" + file.blob + ".before").c_str()) != 0) {
            LogWarn("the change of %s made outside is not kept for undo\n", relative.c_str());
            continue;
        }
        RememberProjectFile(project, relative);
        named.push_back(relative);
        step.files.push_back(std::move(file));
    }
    bool added = false;
    if (!step.files.empty()) {
        step.label = OutsideStepLabel(named);
        SyncFolder(folder);
        added = AppendStep(historyFolder, std::move(step));
        if (!added) {
            LogError("the change made outside could not be added to the history %s\n",
                     historyFolder.c_str());
        }
    }
    HistoryGuard& guard = Guard();
    std::lock_guard lock(guard.mutex);
    guard.active_folders.erase(folder);
    if (!added) {
        DeletePath(folder);
    }
    return added;
}

}  // namespace sw
