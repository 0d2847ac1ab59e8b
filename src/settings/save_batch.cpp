#include "settings/save_batch.h"

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

void SaveBatch::Copy(const std::string& from, const std::string& to) {
    const std::size_t slash = to.rfind('/');
    const std::string toFolder = slash == std::string::npos ? "." : to.substr(0, slash);
    if (!StaysInProject(from) || !StaysInProject(toFolder) || !StaysInProject(to)) {
        Note(report_.failed, to);
        return;
    }
    const std::string source = PathOf(from);
    if (!PathExists(source)) {
        LogError("%s does not exist, so it is not copied\n", source.c_str());
        Note(report_.missing, from);
        return;
    }
    if (!CopyPath(source, PathOf(to))) {
        LogError("copy %s to %s failed\n", source.c_str(), PathOf(to).c_str());
        Note(report_.failed, to);
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
