#include "settings/save_batch.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/files.h"
#include "core/log.h"
#include "core/project_entry.h"
#include "engine/xml_file.h"
#include "settings/staged_files.h"

namespace sw::settings {

SaveBatch::SaveBatch(std::string projectFolder) : project_folder_(std::move(projectFolder)) {}

std::string SaveBatch::PathOf(const std::string& file) const {
    return project_folder_ + "/" + file;
}

void SaveBatch::Note(std::vector<std::string>& list, const std::string& file) {
    if (std::find(list.begin(), list.end(), file) == list.end()) {
        list.push_back(file);
    }
}

bool SaveBatch::Admit(const std::string& file, DocumentState state) {
    if (state == DocumentState::kMissing) {
        Note(report_.missing, file);
        return false;
    }
    if (!IsUsable(state)) {
        Note(report_.damaged, file);
        return false;
    }
    return true;
}

bool SaveBatch::StaysInProject(const std::string& file) {
    const std::string path = PathOf(file);
    const ProjectEntry entry = ClassifyProjectEntry(project_folder_, path);
    if (entry.kind == EntryKind::kMissing || IsReadableEntry(entry)) {
        return true;
    }
    // A link out of the project (or a folder on the way that is one) would
    // have the save read and replace a file elsewhere on this computer.
    LogError("nothing saved: %s is %s\n", path.c_str(), RefusalReason(entry).c_str());
    return false;
}

template <typename File>
File* SaveBatch::Open(const std::string& file, const std::string& displayName) {
    if (!StaysInProject(file)) {
        Note(report_.damaged, file);
        return nullptr;
    }
    auto document = std::make_unique<File>();
    if (!Admit(file, document->Open(PathOf(file), displayName))) {
        return nullptr;
    }
    File* opened = document.get();
    files_.emplace_back(file, std::move(document));
    return opened;
}

ValuesFile* SaveBatch::OpenValues(const std::string& file, const std::string& displayName) {
    return Open<ValuesFile>(file, displayName);
}

LayoutFile* SaveBatch::OpenLayout(const std::string& file, const std::string& displayName) {
    return Open<LayoutFile>(file, displayName);
}

bool SaveBatch::CheckOpened() {
    if (report_.damaged.empty()) {
        return true;
    }
    for (const std::string& file : report_.damaged) {
        LogError("nothing saved: %s cannot be read as it should be\n", PathOf(file).c_str());
    }
    report_.refusal = SaveReport::Refusal::kDamagedFiles;
    return false;
}

bool SaveBatch::SaveAll() {
    StagedFiles staged;
    for (const auto& [file, open] : files_) {
        const CheckedDocument& document = std::visit(
            [](const auto& opened) -> const CheckedDocument& { return opened->document(); }, open);
        std::string text;
        const bool ready = document.SaveText(text);
        if (ready && XmlFileHolds(document.path(), text)) {
            continue;
        }
        if (!ready || !staged.Stage(document.path(), text)) {
            Note(report_.failed, file);
            report_.refusal = SaveReport::Refusal::kWriteFailed;
            LogError("nothing saved: %s cannot be written\n", PathOf(file).c_str());
            return false;
        }
    }
    if (!staged.Commit()) {
        for (const auto& [file, open] : files_) {
            if (PathOf(file) == staged.failed_path()) {
                Note(report_.failed, file);
            }
        }
        report_.refusal = SaveReport::Refusal::kWriteFailed;
        LogError("nothing saved: %s cannot be written\n", staged.failed_path().c_str());
        return false;
    }
    return true;
}

namespace {

// Stages source's bytes for destination, unless destination (a plain file,
// not a link) holds them already.
bool StageFileCopy(StagedFiles& staged, const std::string& source, const std::string& destination) {
    std::string text;
    struct stat info {};
    if (!ReadFileText(source, text) || ::stat(source.c_str(), &info) != 0) {
        LogError("cannot read file %s\n", source.c_str());
        return false;
    }
    struct stat old {};
    std::string held;
    if (::lstat(destination.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        static_cast<std::size_t>(old.st_size) == text.size() && ReadFileText(destination, held) &&
        held == text) {
        return true;
    }
    return staged.Stage(destination, text, info.st_mode & 07777);
}

// Stages the copy of one file or folder (absolute paths); false when it
// cannot be made.
bool StageCopy(StagedFiles& staged, const std::string& source, const std::string& destination) {
    if (!IsFolder(source)) {
        return StageFileCopy(staged, source, destination);
    }
    FolderCopyPlan plan;
    return PlanFolderCopy(source, destination, plan) &&
           CopyPlannedFolder(plan, source, destination,
                             [&staged](const std::string& from, const std::string& to) {
                                 return StageFileCopy(staged, from, to);
                             });
}

}  // namespace

void SaveBatch::Copy(std::span<const ProjectCopy> copies) {
    StagedFiles staged;
    std::vector<const ProjectCopy*> written;
    for (const ProjectCopy& copy : copies) {
        const std::size_t slash = copy.to.rfind('/');
        const std::string toFolder = slash == std::string::npos ? "." : copy.to.substr(0, slash);
        if (!StaysInProject(copy.from) || !StaysInProject(toFolder) || !StaysInProject(copy.to)) {
            Note(report_.failed, copy.to);
            continue;
        }
        const std::string source = PathOf(copy.from);
        if (!PathExists(source)) {
            LogError("%s does not exist, so it is not copied\n", source.c_str());
            Note(report_.missing, copy.from);
            continue;
        }
        const std::size_t mark = staged.size();
        if (!StageCopy(staged, source, PathOf(copy.to))) {
            staged.DropFrom(mark);
            LogError("copy %s to %s failed\n", source.c_str(), PathOf(copy.to).c_str());
            Note(report_.failed, copy.to);
        } else if (staged.size() > mark) {
            written.push_back(&copy);
        }
    }
    if (!staged.Commit()) {
        for (const ProjectCopy* copy : written) {
            LogError("copy %s to %s failed\n", PathOf(copy->from).c_str(),
                     PathOf(copy->to).c_str());
            Note(report_.failed, copy->to);
        }
    }
}

std::vector<ScaledLayout> OpenLayouts(SaveBatch& batch, std::span<const DensityScale> densities,
                                      const std::function<std::string(const char*)>& fileOf,
                                      const std::string& displayName) {
    std::vector<ScaledLayout> layouts;
    for (const DensityScale& density : densities) {
        if (LayoutFile* layout = batch.OpenLayout(fileOf(density.name), displayName)) {
            layouts.push_back({layout, density.factor});
        }
    }
    return layouts;
}

void EditLayouts(const std::vector<ScaledLayout>& layouts,
                 const std::function<void(TiXmlElement&, const ScaledLayout&)>& editor) {
    for (const ScaledLayout& layout : layouts) {
        layout.file->Edit([&](TiXmlElement& element) { editor(element, layout); });
    }
}

bool SplitForSave(const std::string& list, FieldOrder order, const char* command,
                  FormValues& values, SaveReport& report) {
    if (values.Split(list, order, command)) {
        return true;
    }
    report.refusal = SaveReport::Refusal::kValueCount;
    report.expected_values = order.size();
    report.received_values = values.received();
    return false;
}

std::string ProjectFolder(const std::string& name, const std::string& path) {
    return path + "/" + name;
}

}  // namespace sw::settings
