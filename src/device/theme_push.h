// Pushing a packed theme to a phone: the archive is unpacked into the staging
// folder, its meta.json names the theme's folder on the phone, the phone's
// old copy of that folder is removed, the staging folder is pushed in its
// place and the phone's theme app is stopped so that it looks again.
//
// An archive that cannot be unpacked, or has no readable meta.json, is
// refused before any command reaches the phone, so the phone keeps what it
// had.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <functional>
#include <string>

#include "device/phone_outcome.h"
#include "device/push_lock.h"

namespace sw::device {

enum class PushStep {
    kCheckingPhone,  // reported by the callers, which choose the phone first
    kUnpacking,
    kRemovingOld,
    kPushing,  // with the number of bytes pushed
    kStoppingThemeApp,
};

// Called before each step; bytes is the size pushed (kPushing only).
using PushProgress = std::function<void(PushStep step, std::uint64_t bytes)>;

// The step as the pages and the command line show it.
std::string PushStepPageText(PushStep step, std::uint64_t bytes);
std::string PushStepConsoleText(PushStep step, std::uint64_t bytes);

struct PushResult {
    PhoneOutcome outcome;
    std::string resource_number;  // from meta.json, once read
    std::string phone_folder;     // where the theme went, on success
};

// The resource number of a meta.json document: "resource_id" in decimal, "0"
// when it is absent or null; false when the member is not an integer.
bool ResourceNumberOf(const Json::Value& document, std::string& number);

// The push sequence, to the phone serial ("" for the only phone attached).
// The caller holds lock (kBusy otherwise). progress may be empty.
PushResult PushTheme(const PushLock& lock, const std::string& archive, const std::string& serial,
                     const PushProgress& progress);

}  // namespace sw::device
