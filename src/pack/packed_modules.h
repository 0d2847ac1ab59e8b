// The three modules of a packed theme, one row each: the project folder a
// module is read from, the folder it takes in the archive, and whether the
// pack form ticked it. The rows are in the order in which a module gives the
// theme its thumbnail when the ones before it are not packed.
#pragma once

#include <array>
#include <string>

#include "pack/pack_request.h"

namespace sw::pack {

enum class ModuleId { kLauncher, kLockscreen, kCallscreen };

struct PackedModule {
    ModuleId id;
    const char* project_folder;  // below the project folder
    const char* archive_folder;  // below the archive's top level
    bool WantedModules::*wanted;
};

inline constexpr std::array<PackedModule, 3> kPackedModules = {{
    {ModuleId::kLauncher, "launcher", "content/launcher", &WantedModules::launcher},
    {ModuleId::kLockscreen, "lockscreen", "content/lockscreen", &WantedModules::lockscreen},
    {ModuleId::kCallscreen, "screencall", "content/callscreen", &WantedModules::callscreen},
}};

inline const PackedModule& ModuleOf(ModuleId id) {
    return kPackedModules[static_cast<std::size_t>(id)];
}

// The module's folder in the archive.
inline std::string ArchiveFolder(ModuleId id) {
    return ModuleOf(id).archive_folder;
}

inline bool IsWanted(const WantedModules& wanted, ModuleId id) {
    return wanted.*(ModuleOf(id).wanted);
}

}  // namespace sw::pack
