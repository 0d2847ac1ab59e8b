// The call-screen form: positions and sizes of the four buttons of the
// incoming-call screen (answer, hang up, remind me later, reply by SMS), kept
// in screencall/template_values.xml and, x and y only, in the call screen's
// layout of every density.
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"
#include "settings/theme_meta.h"

namespace sw::settings {

// The form's 16 fields in the order they are filled: answer, hang-up,
// reminder, SMS, each x, y, w, h.
std::vector<FormField> CallscreenFormFields(const std::string& name, const std::string& path);

// Writes the 16 values (list: reminder, SMS, hang-up, answer; x, y, w, h
// each, joined with ","), moves the call screen's preview buttons and writes
// the buttons' x and y into the four layouts.
SaveReport SaveCallscreen(const std::string& name, const std::string& path,
                          const std::string& list);

}  // namespace sw::settings
