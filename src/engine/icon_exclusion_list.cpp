#include "engine/icon_exclusion_list.h"

#include <mutex>

#include "core/log.h"

namespace sw {

namespace {

constexpr const char* kBuiltIn =
    ",com_android_stk__ic_launcher_sim_toolkit.png"
    ",com_android_providers_downloads_ui__ic_launcher_download.png"
    ",com_android_quicksearchbox__ic_launcher_search.png"
    ",com_quindo_updater__ic_launcher_updater.png"
    ",com_quindo_feedback__ic_launcher_feedback.png";

struct ListSlot {
    std::mutex mutex;
    std::string text = kBuiltIn;
};

ListSlot& Slot() {
    static ListSlot slot;
    return slot;
}

}  // namespace

std::string IconExclusionList::Text() {
    ListSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    return slot.text;
}

bool IconExclusionList::Add(const std::string& fileName) {
    if (fileName.find(',') != std::string::npos) {
        LogError("icon %s has a comma in its name, not left out\n", fileName.c_str());
        return false;
    }
    ListSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    slot.text += ",";
    slot.text += fileName;
    return true;
}

void IconExclusionList::Remove(const std::string& fileName) {
    ListSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    // Whole entries only: cutting ",name" wherever it appears would also cut
    // the front off a longer name that starts with it and glue the rest to
    // the entry before.
    std::string kept;
    std::size_t start = 0;
    while (start < slot.text.size()) {
        std::size_t comma = slot.text.find(',', start + 1);
        if (comma == std::string::npos) {
            comma = slot.text.size();
        }
        const std::string entry = slot.text.substr(start, comma - start);
        if (entry != "," + fileName) {
            kept += entry;
        }
        start = comma;
    }
    slot.text = std::move(kept);
}

void IconExclusionList::Reset() {
    ListSlot& slot = Slot();
    std::lock_guard lock(slot.mutex);
    slot.text = kBuiltIn;
}

const char* IconExclusionList::BuiltIn() {
    return kBuiltIn;
}

}  // namespace sw
