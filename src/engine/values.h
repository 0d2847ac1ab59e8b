// Named values of a module: geometry and colours that template.xml refers to
// by name, read from the module's values documents and template_values.xml.
#pragma once

#include <string>

#include "engine/theme_module.h"

namespace sw {

// Parses template_values.xml and every values document of content/res/values
// into the context. Logs and returns false when the fallback document does not
// parse or the values folder cannot be listed; a values file that does not
// parse is logged and skipped, one whose root is not <resources> is dropped.
bool LoadValues(ModuleContext& context, const std::string& modulePath);

// The text of the first child of a document root whose "name" attribute is
// name: the values documents in order first, then the fallback document. The
// text is returned as stored ("" for an element without text).
bool LookupValue(const ModuleContext& context, const std::string& name, std::string& text);

// Replaces the text of the first values-document element named name (never
// in template_values.xml), in memory only. True whether or not it was found.
bool SetValue(ModuleContext& context, const std::string& name, const std::string& text);

}  // namespace sw
