#include "engine/module_folders.h"

#include <strings.h>

#include <algorithm>

#include "core/files.h"

namespace sw {

namespace {

bool NameLessIgnoringCase(const std::string& a, const std::string& b) {
    const int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

bool ListProjectFolders(const std::string& projectDir, std::vector<ProjectFolder>& folders) {
    folders.clear();
    std::vector<std::string> entries;
    if (!ListFolder(projectDir, entries)) {
        return false;
    }
    std::sort(entries.begin(), entries.end(), NameLessIgnoringCase);
    for (const std::string& entry : entries) {
        if (entry.empty() || entry == "." || entry == ".." || !IsFolder(projectDir + "/" + entry)) {
            continue;
        }
        // Folders of version control and editors (".git", ".idea") and
        // others without a template are no modules.
        const char* passedOver = nullptr;
        if (entry[0] == '.') {
            passedOver = "hidden";
        } else if (!IsFile(projectDir + "/" + entry + "/template.xml")) {
            passedOver = "no template.xml";
        }
        folders.push_back({entry, passedOver});
    }
    return true;
}

std::vector<std::string> ModuleFolderNames(const std::string& projectDir) {
    std::vector<ProjectFolder> folders;
    std::vector<std::string> names;
    ListProjectFolders(projectDir, folders);
    for (const ProjectFolder& folder : folders) {
        if (folder.passed_over == nullptr) {
            names.push_back(folder.name);
        }
    }
    return names;
}

}  // namespace sw
