#include "pack/pack_tree.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "core/project_entry.h"

namespace sw::pack {

namespace fs = std::filesystem;

namespace {

// The first key below folder and the first key past its subtree: '0' is
// the character right after '/'.
std::string SubtreeBegin(const std::string& folder) {
    return folder.empty() ? std::string() : folder + "/";
}
std::string SubtreeEnd(const std::string& folder) {
    return folder.empty() ? std::string(1, '\x7f') + std::string(1, '\x7f') : folder + "0";
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// Names the project keeps for itself and its editors, never the theme's.
bool IsHiddenName(const std::string& name) {
    return name.empty() || name[0] == '.' || name.back() == '~';
}

bool IsInside(const std::string& path, const std::string& root) {
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            (root.back() == '/' || path[root.size()] == '/'));
}

// Where a project entry really lies and what it is: a link inside the
// project is followed; a link out of it or to nothing, and anything that is
// neither a file nor a folder, is refused. False when the entry is gone or
// refused (refusal says which).
bool LookUpEntry(const std::string& path, const std::string& root, std::string& real,
                 struct stat& info, TreeRefusal& refusal) {
    const ProjectEntry entry = ClassifyProjectEntry(root, path);
    switch (entry.kind) {
        case EntryKind::kMissing:
            return false;
        case EntryKind::kLinkOutside:
            refusal = {path, "the link " + path + " leads out of the project"};
            return false;
        case EntryKind::kBrokenLink:
            refusal = {path, "the link " + path + " leads nowhere"};
            return false;
        case EntryKind::kSpecial:
            refusal = {path, path + " is neither a file nor a folder"};
            return false;
        case EntryKind::kFile:
        case EntryKind::kFolder:
            real = path;
            break;
        case EntryKind::kLinkInside: {
            std::error_code error;
            real = fs::canonical(path, error).string();
            if (error) {
                return false;
            }
            break;
        }
    }
    return ::stat(real.c_str(), &info) == 0;
}

}  // namespace

std::string TreeFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool PackTree::ParentExists(const std::string& path) const {
    const std::string parent = TreeFolderOf(path);
    return parent.empty() || IsFolder(parent);
}

bool PackTree::IsFile(const std::string& path) const {
    const auto found = nodes_.find(path);
    return found != nodes_.end() && !found->second.folder;
}

bool PackTree::IsFolder(const std::string& path) const {
    if (path.empty()) {
        return true;
    }
    const auto found = nodes_.find(path);
    return found != nodes_.end() && found->second.folder;
}

const TreeFile* PackTree::FindFile(const std::string& path) const {
    const auto found = nodes_.find(path);
    return found != nodes_.end() && !found->second.folder ? &found->second.file : nullptr;
}

bool PackTree::MakeFolder(const std::string& path) {
    if (path.empty() || IsFolder(path)) {
        return true;
    }
    if (IsFile(path) || !MakeFolder(TreeFolderOf(path))) {
        return false;
    }
    nodes_[path].folder = true;
    return true;
}

bool PackTree::Put(const std::string& path, std::string bytes) {
    if (path.empty() || IsFolder(path) || !ParentExists(path)) {
        return false;
    }
    Node& node = nodes_[path];
    node.folder = false;
    node.file.path.clear();
    node.file.size = bytes.size();
    node.file.bytes = std::make_shared<const std::string>(std::move(bytes));
    return true;
}

bool PackTree::Copy(const std::string& from, const std::string& to) {
    if (from == to) {
        return IsFile(from) || IsFolder(from);
    }
    if (const TreeFile* file = FindFile(from)) {
        if (IsFolder(to) || !ParentExists(to)) {
            return false;
        }
        const TreeFile copy = *file;
        Node& node = nodes_[to];
        node.folder = false;
        node.file = copy;
        return true;
    }
    if (!IsFolder(from) || from.empty() || IsInside(to, from) || !MakeFolder(to)) {
        return false;
    }
    std::vector<std::pair<std::string, Node>> below;
    for (auto it = nodes_.lower_bound(SubtreeBegin(from));
         it != nodes_.end() && it->first < SubtreeEnd(from); ++it) {
        below.emplace_back(to + it->first.substr(from.size()), it->second);
    }
    for (auto& [path, node] : below) {
        if (node.folder) {
            MakeFolder(path);
        } else if (!IsFolder(path)) {
            nodes_[path] = std::move(node);
        }
    }
    return true;
}

void PackTree::Delete(const std::string& path) {
    if (path.empty()) {
        return;
    }
    nodes_.erase(nodes_.lower_bound(SubtreeBegin(path)), nodes_.lower_bound(SubtreeEnd(path)));
    nodes_.erase(path);
}

std::vector<ZipEntry> PackTree::EntriesBelow(const std::string& folder) const {
    std::vector<ZipEntry> entries;
    const std::string begin = SubtreeBegin(folder);
    for (auto it = nodes_.lower_bound(begin); it != nodes_.end() && it->first < SubtreeEnd(folder);
         ++it) {
        const std::string name = it->first.substr(begin.size());
        if (it->second.folder) {
            entries.push_back({name + "/", "", nullptr, 0});
        } else {
            const TreeFile& file = it->second.file;
            entries.push_back({name, file.path, file.bytes, file.size});
        }
    }
    return entries;
}

bool PackTree::AddProjectFolder(const std::string& from, const std::string& to,
                                const std::string& projectRoot,
                                const std::vector<std::string>& skip, TreeRefusal& refusal) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ancestors;
    return AddTree(from, to, projectRoot, skip, ancestors, refusal);
}

bool PackTree::AddProjectFile(const std::string& from, const std::string& to,
                              const std::string& projectRoot, TreeRefusal& refusal) {
    std::string real;
    struct stat info {};
    if (!LookUpEntry(from, projectRoot, real, info, refusal)) {
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) {
            return false;
        }
        refusal = {from, from + " is neither a file nor a folder"};
        return false;
    }
    if (IsFolder(to) || !ParentExists(to)) {
        return false;
    }
    Node& node = nodes_[to];
    node.folder = false;
    node.file = {real, nullptr, static_cast<std::uint64_t>(info.st_size)};
    return true;
}

bool PackTree::AddTree(const std::string& from, const std::string& to, const std::string& root,
                       const std::vector<std::string>& skip,
                       std::vector<std::pair<std::uint64_t, std::uint64_t>>& ancestors,
                       TreeRefusal& refusal) {
    struct stat folder {};
    if (::stat(from.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
        return false;
    }
    const std::pair<std::uint64_t, std::uint64_t> id{folder.st_dev, folder.st_ino};
    if (std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end()) {
        refusal = {from, "the link " + from + " leads back into a folder that holds it"};
        return false;
    }
    std::vector<std::string> names;
    if (!MakeFolder(to) || !ListFolder(from, names)) {
        return false;
    }
    std::sort(names.begin(), names.end());
    ancestors.push_back(id);
    for (const std::string& name : names) {
        if (IsHiddenName(name)) {
            continue;
        }
        const std::string path = from + "/" + name;
        std::string real;
        struct stat info {};
        TreeRefusal outside;
        if (!LookUpEntry(path, root, real, info, outside)) {
            if (outside.path.empty()) {
                continue;
            }
            refusal = outside;
            return false;
        }
        if (std::find(skip.begin(), skip.end(), real) != skip.end()) {
            continue;
        }
        const std::string target = Join(to, name);
        if (S_ISDIR(info.st_mode)) {
            if (!AddTree(real, target, root, skip, ancestors, refusal)) {
                return false;
            }
        } else if (S_ISREG(info.st_mode)) {
            if (!IsFolder(target)) {
                Node& node = nodes_[target];
                node.folder = false;
                node.file = {real, nullptr, static_cast<std::uint64_t>(info.st_size)};
            }
        } else {
            refusal = {path, path + " is neither a file nor a folder"};
            return false;
        }
    }
    ancestors.pop_back();
    return true;
}

}  // namespace sw::pack
