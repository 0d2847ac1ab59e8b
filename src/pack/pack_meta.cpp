#include "pack/pack_meta.h"

namespace sw::pack {

void TrimResourceContents(Json::Value& document, const WantedModules& wanted) {
    if (!document.isObject() || !document["resource_contents"].isArray()) {
        return;
    }
    Json::Value& contents = document["resource_contents"];
    // From the last index down, so that each index still names the entry it
    // named in the array as read.
    const std::pair<bool, Json::ArrayIndex> removals[] = {
        {!wanted.callscreen, 2},
        {!wanted.lockscreen, 1},
        {!wanted.launcher, 0},
    };
    for (const auto& [remove, index] : removals) {
        Json::Value removed;
        if (remove && index < contents.size()) {
            contents.removeIndex(index, &removed);
        }
    }
}

}  // namespace sw::pack
