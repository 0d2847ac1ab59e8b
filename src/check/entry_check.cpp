#include "check/entry_check.h"

#include "core/project_entry.h"

namespace sw::check {

namespace {

std::string MessageFor(const ProjectEntry& entry) {
    switch (entry.kind) {
        case EntryKind::kSpecial:
            return "不是普通文件（" + entry.special_name + "），不会被读取或打包";
        case EntryKind::kLinkOutside:
            return "是指向项目之外（" + entry.link_target + "）的符号链接，不会被读取或打包";
        case EntryKind::kBrokenLink:
            return "是不指向任何文件的符号链接（" + entry.link_target + "）";
        default:
            return "无法读取";
    }
}

}  // namespace

void CheckProjectEntries(const std::string& projectDir, Findings& findings) {
    for (const RefusedEntry& refused : FindRefusedEntries(projectDir)) {
        const std::size_t slash = refused.relative_path.find('/');
        const std::string module =
            slash == std::string::npos ? std::string() : refused.relative_path.substr(0, slash);
        const std::string file = slash == std::string::npos
                                     ? refused.relative_path
                                     : refused.relative_path.substr(slash + 1);
        findings.push_back({Level::kError, module, file, MessageFor(refused.entry), "", -1, -1});
    }
}

}  // namespace sw::check
