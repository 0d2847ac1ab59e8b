// The editor preview at every density the pack makes: the densities of a
// module, and a screen drawn as a phone of one of them shows it.
#include <json/value.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "core/log.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/edit_history.h"
#include "engine/theme_project.h"
#include "host/command_group.h"
#include "host/host.h"
#include "host/image_files.h"
#include "host/json_text.h"
#include "pack/density_preview.h"

namespace sw::host {

namespace {

// "xhdpi (720 x 1280)", as the label under the preview names a density.
std::string DensityLabel(const pack::PreviewDensity& density) {
    return FormatString("%s (%d x %d)", density.name.c_str(), density.width, density.height);
}

Json::Value DensityToJson(const pack::PreviewDensity& density) {
    Json::Value entry(Json::objectValue);
    entry["name"] = density.name;
    entry["width"] = density.width;
    entry["height"] = density.height;
    entry["factor"] = density.factor;
    entry["label"] = DensityLabel(density);
    return entry;
}

CommandResult Failure(const std::string& reason) {
    Json::Value answer(Json::objectValue);
    answer["error"] = reason;
    return CommandResult::Text(CompactJson(answer));
}

// The picture is remade at every request: a plain write, read by the page
// only after the answer.
bool WritePicture(const std::string& path, const std::string& png) {
    std::error_code error;
    std::filesystem::create_directories(FolderOf(path), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    out.close();
    return !error && out.good();
}

// GetPreviewDensities(package): [{"name", "width", "height", "factor",
// "label"}] of the densities the pack makes for the module, smallest first;
// "[]" for an unknown module.
CommandResult GetPreviewDensities(CommandCall& call) {
    Json::Value list(Json::arrayValue);
    const ProjectReader project = ReadProject();
    const ThemeModule* module = project->FindModule(call.text(0));
    if (module != nullptr) {
        for (const pack::PreviewDensity& density : pack::PreviewDensitiesOf(module->name)) {
            list.append(DensityToJson(density));
        }
    }
    return CommandResult::Text(CompactJson(list));
}

Json::Value BoxesToJson(const std::vector<pack::DensityElementBox>& boxes) {
    Json::Value list(Json::arrayValue);
    for (const pack::DensityElementBox& box : boxes) {
        Json::Value entry(Json::objectValue);
        entry["screen"] = box.screen;
        entry["element"] = box.element;
        entry["left"] = box.rect.left;
        entry["top"] = box.rect.top;
        entry["width"] = box.rect.width();
        entry["height"] = box.rect.height();
        list.append(entry);
    }
    return list;
}

// DrawPreviewDensity(package, screen, density): draws the screen at the
// density and answers {"path", "name", "width", "height", "factor",
// "label", "boxes"}, the picture being a PNG file the page may load and
// boxes the places of its elements on it ([{"screen", "element", "left",
// "top", "width", "height"}]); {"error"} when it cannot be drawn.
CommandResult DrawPreviewDensity(CommandCall& call) {
    const std::string& density = call.text(2);
    const int screen = call.number(1);
    std::string png;
    std::string reason;
    std::string moduleName;
    pack::PreviewDensity chosen;
    std::vector<pack::DensityElementBox> boxes;
    {
        const ProjectReader project = ReadProject();
        const ThemeModule* module = project->FindModule(call.text(0));
        if (module == nullptr) {
            LogError("DrawPreviewDensity: no module %s\n", call.text(0).c_str());
            return Failure("no module " + call.text(0));
        }
        moduleName = module->name;
        std::error_code error;
        const std::string root = std::filesystem::canonical(FolderOf(module->path), error).string();
        if (error || !pack::FindPreviewDensity(module->name, density, chosen) ||
            !pack::DrawScreenAtDensity(*module, screen, density, root, png, reason, &boxes)) {
            if (reason.empty()) {
                reason = "the module " + module->name + " has no density " + density;
            }
            LogError("DrawPreviewDensity: %s\n", reason.c_str());
            return Failure(reason);
        }
    }
    // One file a module and density, whatever the screen: the page loads
    // the latest answer only.
    const std::string path =
        FormatString("%s/density/%s-%s.png", HistoryFolderOf(OpenProjectFolder()).c_str(),
                     moduleName.c_str(), density.c_str());
    if (!WritePicture(path, png)) {
        LogError("DrawPreviewDensity: can not write %s\n", path.c_str());
        return Failure("can not write " + path);
    }
    call.host().image_files().AllowFile(path);
    Json::Value answer = DensityToJson(chosen);
    answer["path"] = path;
    answer["boxes"] = BoxesToJson(boxes);
    return CommandResult::Text(CompactJson(answer));
}

}  // namespace

}  // namespace sw::host

SKINWRIGHT_COMMAND_GROUP(density) {
    using namespace sw::host;
    using K = ResultKind;
    constexpr ArgKind T = ArgKind::kText;
    constexpr ArgKind N = ArgKind::kNumber;
    tables.Add(WindowClass::kMain,
               {
                   {"GetPreviewDensities", {T}, K::kText, &GetPreviewDensities},
                   {"DrawPreviewDensity", {T, N, T}, K::kText, &DrawPreviewDensity},
               });
}
