#include "check/project_check.h"

#include <memory>
#include <string>
#include <vector>

#include "check/entry_check.h"
#include "check/image_file_check.h"
#include "check/meta_check.h"
#include "check/module_set_check.h"
#include "check/reference_check.h"
#include "check/screen_check.h"
#include "check/text_size_check.h"
#include "core/files.h"
#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/module_folders.h"

namespace sw::check {

namespace {

const ThemeModule* LoadedModule(const ThemeProject& project, const std::string& name) {
    for (const auto& module : project.modules()) {
        if (module->name == name) {
            return module.get();
        }
    }
    return nullptr;
}

// What the look-up of a module's image references found and logged.
struct ModuleReferences {
    Findings findings;
    std::vector<std::string> log;
};

// The image references of every module, looked up side by side on every
// core: the look-ups follow the folders link by link, file after file, the
// longest stretch of a check that one core would do alone. Each module's
// findings and log lines join the check at that module's turn, as if looked
// up there.
std::vector<ModuleReferences> LookUpReferences(const std::string& projectDir,
                                               const std::vector<std::string>& folders) {
    std::vector<ModuleReferences> references(folders.size());
    ForEachOnAllCores(folders.size(), [&](std::size_t i) {
        HeldLogLines held;
        CheckImageReferences(projectDir + "/" + folders[i], folders[i], references[i].findings);
        references[i].log = held.Take();
    });
    return references;
}

Findings RunCheck(const ThemeProject& project, bool judgeTexts, gfx::DecodedPictures& pictures) {
    Findings findings;
    if (project.project_dir().empty()) {
        findings.push_back({Level::kError, "", FileNameOf(project.project_path()),
                            "项目文件无法读取，或其name、dpi、density无效", "", -1, -1});
        return findings;
    }
    CheckProjectEntries(project.project_dir(), findings);
    const std::vector<std::string> folders = ModuleFolderNames(project.project_dir());
    if (folders.empty()) {
        findings.push_back({Level::kError, "", FileNameOf(project.project_path()),
                            "项目文件夹中没有任何模块（含template.xml的文件夹）", "", -1, -1});
    }
    std::vector<ModuleReferences> references = LookUpReferences(project.project_dir(), folders);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string& name = folders[i];
        const std::string path = project.project_dir() + "/" + name;
        ImageSizes sizes;
        WriteLogLines(references[i].log);
        findings.insert(findings.end(), references[i].findings.begin(),
                        references[i].findings.end());
        CheckImageFiles(path, name, findings, sizes, pictures);
        const ThemeModule* module = LoadedModule(project, name);
        std::unique_ptr<ThemeModule> own;
        if (module == nullptr) {
            own = project.LoadModuleFolder(name);
            module = own.get();
        }
        if (module == nullptr) {
            findings.push_back({Level::kError, name, "template.xml",
                                "模块无法载入（原因见上面的问题和runtime.log），其画面未检查", "",
                                -1, -1});
            continue;
        }
        CheckScreens(*module, sizes, findings, judgeTexts);
        CheckTextSizes(*module, findings);
    }
    CheckModuleSet(project.project_dir(), findings);
    const std::string launcher = project.project_dir() + "/launcher";
    if (IsFolder(launcher)) {
        CheckDescriptionFiles(launcher, "launcher", findings);
    }
    const std::size_t errors = ErrorsOf(findings).size();
    LogInfo("check: %zu errors, %zu warnings\n", errors, findings.size() - errors);
    return findings;
}

}  // namespace

Findings CheckProject(const ThemeProject& project) {
    gfx::DecodedPictures pictures;
    return RunCheck(project, true, pictures);
}

Findings CheckProjectForErrors(const ThemeProject& project, gfx::DecodedPictures* pictures) {
    gfx::DecodedPictures own;
    return ErrorsOf(RunCheck(project, false, pictures != nullptr ? *pictures : own));
}

std::string ErrorSummary(const Findings& findings, std::size_t limit) {
    const Findings errors = ErrorsOf(findings);
    std::string text;
    for (std::size_t i = 0; i < errors.size() && i < limit; ++i) {
        text += FindingLine(errors[i]) + "\n";
    }
    if (errors.size() > limit) {
        text += FormatString("……另有 %zu 个错误\n", errors.size() - limit);
    }
    return text;
}

}  // namespace sw::check
