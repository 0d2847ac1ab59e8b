// The lock screen's six templates. Template T keeps its values in
// lockscreen/template_valuesT.xml, its screens in lockscreen/templateT.xml and
// its layouts in lockscreen/content/lockscreenT; the module folder holds an
// active copy of one of them (template.xml, template_values.xml,
// content/lockscreen), and integers.xml records its number.
#pragma once

#include <string>
#include <vector>

#include "settings/save_batch.h"

namespace sw::settings {

// The lock screen's integers.xml (its template number, the animation's
// switches), relative to the project folder.
inline constexpr char kLockscreenIntegers[] = "lockscreen/content/res/values/integers.xml";
// The active template's values.
inline constexpr char kActiveTemplateValues[] = "lockscreen/template_values.xml";

// True for exactly the texts "1" .. "6".
bool IsTemplateNumber(const std::string& text);

// lockscreen/template_valuesT.xml.
std::string TemplateValuesFile(const std::string& number);
// lockscreen/content/lockscreenT/content/res/DENSITY/lockscreen.xml.
std::string TemplateLayoutFile(const std::string& number, const char* density);

// The layouts of template number in every density, opened in the batch.
std::vector<ScaledLayout> OpenTemplateLayouts(SaveBatch& batch, const std::string& number);

// The template number integers.xml of project folder records ("" when it
// cannot be read).
std::string StoredTemplateNumber(const std::string& projectFolder);

// Makes template T the active one: templateT.xml, template_valuesT.xml and
// the folder content/lockscreenT copied over the active copy, all written
// together; a file the copy would not change is left alone. Files of the
// active folder that T does not have stay.
void SwitchToTemplate(SaveBatch& batch, const std::string& number);

}  // namespace sw::settings
