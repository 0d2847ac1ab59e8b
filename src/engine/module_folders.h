// The folders of a project folder as the open walks them: in name order
// regardless of case, each a module when it holds a template.xml and its
// name does not begin with ".". The open loads the modules, the check checks
// them, and both must see the same modules in the same order.
#pragma once

#include <string>
#include <vector>

namespace sw {

struct ProjectFolder {
    std::string name;
    // Why the folder is no module ("hidden", "no template.xml"); nullptr for
    // a module.
    const char* passed_over = nullptr;
};

// The folders below projectDir (files are left out), in the open's order.
// False when the folder cannot be listed.
bool ListProjectFolders(const std::string& projectDir, std::vector<ProjectFolder>& folders);

// The names of the module folders only, in the same order; none when the
// folder cannot be listed.
std::vector<std::string> ModuleFolderNames(const std::string& projectDir);

}  // namespace sw
