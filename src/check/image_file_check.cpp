#include "check/image_file_check.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/files.h"
#include "core/on_all_cores.h"
#include "core/paths.h"
#include "core/project_entry.h"
#include "engine/nine_patch.h"
#include "gfx/image_decode.h"

namespace sw::check {

namespace {

enum class NamedKind { kOther, kPng, kNinePatch, kJpeg };

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

NamedKind KindOfName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (EndsWith(name, ".9.png")) {
        return NamedKind::kNinePatch;
    }
    if (EndsWith(name, ".png")) {
        return NamedKind::kPng;
    }
    if (EndsWith(name, ".jpg") || EndsWith(name, ".jpeg")) {
        return NamedKind::kJpeg;
    }
    return NamedKind::kOther;
}

const char* FormatName(gfx::ImageFormat format) {
    return format == gfx::ImageFormat::kPng ? "PNG" : "JPEG";
}

// One file to look at, and what was found in it.
struct FileJob {
    std::string path;
    std::string relative;
    NamedKind kind = NamedKind::kOther;
    std::string fault;  // empty when the file is sound
    bool decoded = false;
    gfx::Size size;
};

void CheckOneFile(FileJob& job, gfx::DecodedPictures& pictures) {
    const std::string& path = job.path;
    const NamedKind kind = job.kind;
    auto add = [&](const std::string& message) { job.fault = message; };
    const gfx::ImageFormat expected =
        kind == NamedKind::kJpeg ? gfx::ImageFormat::kJpeg : gfx::ImageFormat::kPng;
    gfx::ImageInfo info;
    if (!gfx::ReadImageInfo(path, &info)) {
        add("无法识别为图片：文件已损坏，或不是PNG/JPEG图片");
        return;
    }
    if (info.format != expected) {
        add(std::string("文件内容是") + FormatName(info.format) + "图片，但文件名说是" +
            FormatName(expected) + "图片，请按内容改名或重新导出");
        return;
    }
    if (kind == NamedKind::kNinePatch) {
        NinePatchImage image;
        if (!image.Load(path)) {
            add("图片无法解码：文件已损坏");
            return;
        }
        job.decoded = true;
        job.size = image.image().size();
        if (!image.IsNinePatch()) {
            add(".9.png的边框标记缺失或无效：上边和左边各需至少一段不透明黑色的拉伸标记，"
                "其余边框像素须全透明");
        }
        return;
    }
    // Known sound without decoding when an open before decoded it whole.
    gfx::Size size;
    if (!pictures.IsSound(path, size)) {
        add("图片无法解码：文件已损坏或不完整");
        return;
    }
    job.decoded = true;
    job.size = size;
}

}  // namespace

void CheckImageFiles(const std::string& modulePath, const std::string& moduleName,
                     Findings& findings, ImageSizes& sizes, gfx::DecodedPictures& pictures) {
    const std::string res = modulePath + "/content/res";
    std::vector<std::string> folders;
    if (!ListFolder(res, folders)) {
        return;
    }
    std::sort(folders.begin(), folders.end());
    std::vector<FileJob> jobs;
    for (const std::string& folder : folders) {
        if (folder.rfind("drawable", 0) != 0 || !IsFolder(res + "/" + folder)) {
            continue;
        }
        std::vector<std::string> names;
        if (!ListFolder(res + "/" + folder, names)) {
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const std::string path = res + "/" + folder + "/" + name;
            const NamedKind kind = KindOfName(name);
            // Only the project's own files: not a FIFO, not a link out of it.
            if (kind == NamedKind::kOther || !IsProjectFile(FolderOf(modulePath), path)) {
                continue;
            }
            jobs.push_back({path, "content/res/" + folder + "/" + name, kind, {}, false, {}});
        }
    }
    ForEachOnAllCores(jobs.size(), [&](std::size_t i) { CheckOneFile(jobs[i], pictures); });
    for (const FileJob& job : jobs) {
        if (!job.fault.empty()) {
            findings.push_back({Level::kError, moduleName, job.relative, job.fault, "", -1, -1});
        }
        if (job.decoded) {
            sizes[job.path] = job.size;
        }
    }
}

}  // namespace sw::check
