// The lock-screen form: the template in use and the positions and sizes of
// the clock digits, the date, battery, owner-info and SIM texts, the unlock
// handle, the shortcut buttons and the unlock target, in xxhdpi pixels.
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"
#include "settings/theme_meta.h"

namespace sw::settings {

// The form's fields in the order they are filled: Lockscreentemplate (the
// number integers.xml records, as written), then the 68 values of that
// template; the values are "" when the number is not 1 .. 6.
std::vector<FormField> LockscreenFormFields(const std::string& name, const std::string& path);

// The 68 values of template number (no template field); none when the number
// is not 1 .. 6 or its values file cannot be read.
std::vector<FormField> LockscreenTemplateFields(const std::string& name, const std::string& path,
                                                const std::string& number);

// What the form sends when it is saved or its template changes.
struct LockscreenForm {
    std::string number;  // "1" .. "6"
    std::string list;    // the 64 values joined with ","
    std::string date_center;
    std::string battery_center;
    std::string owner_center;
    std::string sim_center;
};

// Records the template in integers.xml, writes its values file and the
// layouts of its five densities, moves the lock screen's preview elements and
// makes it the active template. Refused, with nothing written, for a number
// that is not 1 .. 6, a list of another length, or a damaged file.
SaveReport SaveLockscreen(const std::string& name, const std::string& path,
                          const LockscreenForm& form);

}  // namespace sw::settings
