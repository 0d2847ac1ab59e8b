#include "host/outside_changes_batch.h"

#include <json/value.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/own_writes.h"
#include "engine/outside_changes.h"
#include "host/json_text.h"

namespace sw::host {

namespace {

namespace fs = std::filesystem;

// The part of path below folder ("" when it is not below it).
std::string Below(const std::string& folder, const std::string& path) {
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 ||
        path[folder.size()] != '/') {
        return "";
    }
    return path.substr(folder.size() + 1);
}

std::string LowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool IsImageFile(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg";
}

const char* StateName(OutsideImage::State state) {
    switch (state) {
        case OutsideImage::State::kMissing:
            return "missing";
        case OutsideImage::State::kBroken:
            return "broken";
        case OutsideImage::State::kChanged:
            break;
    }
    return "changed";
}

}  // namespace

bool IsPreviewFolder(const std::string& projectDir, const std::string& folder) {
    const fs::path relative(Below(projectDir, folder));
    auto part = relative.begin();
    return part != relative.end() && ++part != relative.end() && *part == "preview";
}

OutsideBatch SortOutsideEvents(const std::string& projectDir,
                               const std::vector<FolderEvent>& events) {
    OutsideBatch batch;
    std::map<std::string, FolderEvent::Kind> last;  // file path -> its last event
    std::vector<std::string> order;
    for (const FolderEvent& event : events) {
        if (event.kind == FolderEvent::Kind::kOverflow ||
            event.kind == FolderEvent::Kind::kFolderChanged) {
            if (!IsPreviewFolder(projectDir, event.path)) {
                batch.reload = true;
            }
            continue;
        }
        const std::string relative = Below(projectDir, event.path);
        if (relative.empty() || IsPreviewFolder(projectDir, fs::path(event.path).parent_path())) {
            continue;
        }
        if (!last.contains(event.path)) {
            order.push_back(event.path);
        }
        last[event.path] = event.kind;
    }
    for (const std::string& path : order) {
        const bool image = IsImageFile(path);
        if (!image && LowerExtension(path) != ".xml") {
            continue;
        }
        if (IsOwnWrite(path)) {
            batch.own.push_back(Below(projectDir, path));
            continue;
        }
        batch.files.push_back(Below(projectDir, path));
        if (!image) {
            batch.reload = true;
            continue;
        }
        OutsideImage outside;
        outside.path = path;
        if (last[path] == FolderEvent::Kind::kRemoved && !fs::exists(path)) {
            outside.state = OutsideImage::State::kMissing;
        } else if (!IsDecodableImage(path)) {
            outside.state = OutsideImage::State::kBroken;
        }
        batch.images.push_back(std::move(outside));
    }
    return batch;
}

bool IsOneImageSaved(const std::string& projectDir, const std::vector<FolderEvent>& events) {
    std::string image;
    for (const FolderEvent& event : events) {
        if (event.kind == FolderEvent::Kind::kOverflow ||
            event.kind == FolderEvent::Kind::kFolderChanged) {
            return false;
        }
        const bool isImage = IsImageFile(event.path);
        if (!isImage && LowerExtension(event.path) != ".xml") {
            continue;
        }
        if (!isImage || event.kind != FolderEvent::Kind::kWritten ||
            Below(projectDir, event.path).empty() || (!image.empty() && image != event.path)) {
            return false;
        }
        image = event.path;
    }
    return !image.empty();
}

std::string OutsideBatchJson(const OutsideBatch& batch, bool reloaded,
                             const std::vector<std::string>& modules) {
    Json::Value answer(Json::objectValue);
    answer["reloaded"] = reloaded;
    Json::Value& names = answer["modules"] = Json::Value(Json::arrayValue);
    for (const std::string& name : modules) {
        names.append(name);
    }
    Json::Value& images = answer["images"] = Json::Value(Json::arrayValue);
    for (const OutsideImage& image : batch.images) {
        Json::Value entry(Json::objectValue);
        entry["path"] = image.path;
        entry["state"] = StateName(image.state);
        images.append(entry);
    }
    return StyledJson(answer);
}

}  // namespace sw::host
