#include "settings/lockscreen_template.h"

#include "settings/values_file.h"

namespace sw::settings {

bool IsTemplateNumber(const std::string& text) {
    return text.size() == 1 && text[0] >= '1' && text[0] <= '6';
}

std::string TemplateValuesFile(const std::string& number) {
    return "lockscreen/template_values" + number + ".xml";
}

std::string TemplateLayoutFile(const std::string& number, const char* density) {
    return "lockscreen/content/lockscreen" + number + "/content/res/" + density + "/lockscreen.xml";
}

std::vector<ScaledLayout> OpenTemplateLayouts(SaveBatch& batch, const std::string& number) {
    return OpenLayouts(
        batch, kLockscreenDensities,
        [&number](const char* density) { return TemplateLayoutFile(number, density); },
        "lockscreen.xml");
}

std::string StoredTemplateNumber(const std::string& projectFolder) {
    return TextOf(ReadValues(projectFolder + "/" + kLockscreenIntegers, "integers.xml",
                             kIntegerEntry, {"lockscreen_template"}),
                  "lockscreen_template");
}

void SwitchToTemplate(SaveBatch& batch, const std::string& number) {
    const ProjectCopy copies[] = {
        {"lockscreen/template" + number + ".xml", "lockscreen/template.xml"},
        {TemplateValuesFile(number), kActiveTemplateValues},
        {"lockscreen/content/lockscreen" + number, "lockscreen/content/lockscreen"},
    };
    batch.Copy(copies);
}

}  // namespace sw::settings
