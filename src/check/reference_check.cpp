#include "check/reference_check.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/image_resolve.h"
#include "engine/xml_file.h"

namespace sw::check {

namespace {

// Why a file did not load: the parser's words, or, when the parser never
// saw it, that it was refused before (a link out of the project, a FIFO, a
// file too large or nested too deep; runtime.log names the reason).
std::string ReadFailure(const TiXmlDocument& document) {
    return document.Error() ? document.ErrorDesc() : "文件无法读取（原因见runtime.log）";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The engine's lookup of an element's image by base name, without its log.
bool ImageExists(const std::string& modulePath, const std::string& baseName) {
    return !FindImageFile(modulePath, baseName).empty();
}

// A layout names files with their suffix; the file is looked up in the
// drawable folders the templates use.
bool FileExists(const std::string& modulePath, const std::string& fileName) {
    return !FindFileInImageFolders(modulePath, fileName).empty();
}

// The missing images of a module, each reported once: by the first file
// that names it, with the number of other files that name it too. (The lock
// screen's seven templates and their layouts at five densities name the same
// images.)
class MissingImages {
  public:
    void Add(const std::string& image, const std::string& file, const std::string& message) {
        auto found = index_.find(image);
        if (found == index_.end()) {
            index_.emplace(image, entries_.size());
            entries_.push_back({file, message, {file}});
        } else {
            entries_[found->second].files.insert(file);
        }
    }

    void Report(const std::string& moduleName, Findings& findings) const {
        for (const Entry& entry : entries_) {
            std::string message = entry.message;
            if (entry.files.size() > 1) {
                message += FormatString("（另有 %zu 个文件也引用了它）", entry.files.size() - 1);
            }
            findings.push_back({Level::kError, moduleName, entry.file, message, "", -1, -1});
        }
    }

  private:
    struct Entry {
        std::string file;
        std::string message;
        std::set<std::string> files;
    };
    std::map<std::string, std::size_t> index_;
    std::vector<Entry> entries_;
};

// A layout's "a.png" and a template's "a" name the same image.
std::string BaseNameOf(const std::string& fileName) {
    const std::string lower = Lower(fileName);
    for (const char* suffix : {".9.png", ".png", ".jpg"}) {
        const std::size_t n = std::char_traits<char>::length(suffix);
        if (lower.size() > n && lower.compare(lower.size() - n, n, suffix) == 0) {
            return fileName.substr(0, fileName.size() - n);
        }
    }
    return fileName;
}

bool IsTemplateName(const std::string& name) {
    const std::string lower = Lower(name);
    return lower.rfind("template", 0) == 0 && lower.rfind("template_values", 0) != 0 &&
           lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".xml") == 0;
}

void CheckTemplate(const std::string& modulePath, const std::string& moduleName,
                   const std::string& fileName, MissingImages& missing, Findings& findings) {
    TiXmlDocument document;
    if (!LoadXmlFile(document, modulePath + "/" + fileName, FolderOf(modulePath))) {
        findings.push_back({Level::kError, moduleName, fileName,
                            std::string("模板无法解析：") + ReadFailure(document), "", -1, -1});
        return;
    }
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        return;
    }
    std::map<std::string, std::string> groups;
    for (const TiXmlElement* part = root->FirstChildElement(); part != nullptr;
         part = part->NextSiblingElement()) {
        if (std::string(part->Value()) != "resources") {
            continue;
        }
        for (const TiXmlElement* group = part->FirstChildElement(); group != nullptr;
             group = group->NextSiblingElement()) {
            const char* name = group->Attribute("name");
            const char* res = group->Attribute("res");
            if (name != nullptr && res != nullptr) {
                groups.emplace(name, res);
            }
        }
    }
    for (const TiXmlElement* screen = root->FirstChildElement("screen"); screen != nullptr;
         screen = screen->NextSiblingElement("screen")) {
        for (const TiXmlElement* element = screen->FirstChildElement(); element != nullptr;
             element = element->NextSiblingElement()) {
            const char* res = element->Attribute("res");
            if (res == nullptr) {
                continue;
            }
            std::string list = res;
            if (res[0] == '@') {
                const auto group = groups.find(res + 1);
                if (group == groups.end()) {
                    findings.push_back({Level::kError, moduleName, fileName,
                                        std::string("元素引用了不存在的图片组“") + res + "”", "",
                                        -1, -1});
                    continue;
                }
                list = group->second;
            }
            std::vector<std::string> names;
            SplitList(Utf8ToAnsi(list), names);
            for (const std::string& name : names) {
                if (!ImageExists(modulePath, name)) {
                    missing.Add(
                        name, fileName,
                        "缺少图片“" + AnsiToUtf8(name) +
                            "”：drawable-xxhdpi和drawable-nodpi中都没有.png、.jpg或.9.png文件");
                }
            }
        }
    }
}

bool NamesImageFile(const std::string& value) {
    const std::string lower = Lower(value);
    for (const char* suffix : {".png", ".jpg"}) {
        const std::size_t n = std::char_traits<char>::length(suffix);
        if (lower.size() > n && lower.compare(lower.size() - n, n, suffix) == 0) {
            return true;
        }
    }
    return false;
}

void CheckLayoutElement(const TiXmlElement& element, const std::string& modulePath,
                        const std::string& fileName, MissingImages& missing) {
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        const std::string value = attribute->Value();
        if (!NamesImageFile(value) || value.find('/') != std::string::npos ||
            FileExists(modulePath, Utf8ToAnsi(value))) {
            continue;
        }
        missing.Add(Utf8ToAnsi(BaseNameOf(value)), fileName, "布局引用的图片“" + value + "”不存在");
    }
    for (const TiXmlElement* child = element.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        CheckLayoutElement(*child, modulePath, fileName, missing);
    }
}

void CheckLayouts(const std::string& modulePath, const std::string& moduleName,
                  MissingImages& missing, Findings& findings) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path content = fs::path(modulePath) / "content";
    std::vector<fs::path> layouts;
    for (fs::recursive_directory_iterator it(content, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && it->path().filename() == "lockscreen.xml") {
            layouts.push_back(it->path());
        }
    }
    std::sort(layouts.begin(), layouts.end());
    for (const fs::path& path : layouts) {
        const std::string fileName = path.lexically_relative(modulePath).string();
        TiXmlDocument document;
        if (!LoadXmlFile(document, path.string(), FolderOf(modulePath))) {
            findings.push_back({Level::kError, moduleName, fileName,
                                std::string("布局文件无法解析：") + ReadFailure(document), "", -1,
                                -1});
            continue;
        }
        if (const TiXmlElement* root = document.RootElement()) {
            CheckLayoutElement(*root, modulePath, fileName, missing);
        }
    }
}

}  // namespace

void CheckImageReferences(const std::string& modulePath, const std::string& moduleName,
                          Findings& findings) {
    MissingImages missing;
    std::vector<std::string> names;
    if (ListFolder(modulePath, names)) {
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            if (IsTemplateName(name) && IsFile(modulePath + "/" + name)) {
                CheckTemplate(modulePath, moduleName, name, missing, findings);
            }
        }
    }
    CheckLayouts(modulePath, moduleName, missing, findings);
    missing.Report(moduleName, findings);
}

}  // namespace sw::check
