#include "check/text_size_check.h"

#include "core/text.h"

namespace sw::check {

void CheckTextSizes(const ThemeModule& module, Findings& findings) {
    std::string page;
    module.PageName(page);
    const int height = module.context.screen_height;
    for (const ThemePackage& screen : module.screens) {
        for (const ThemeElement& element : screen.elements) {
            if (element.tag == "text" && height > 0 && element.size > height) {
                findings.push_back({Level::kWarn, module.name, "template.xml",
                                    FormatString("文字大小%d像素超过屏幕高度%d像素，无法如实绘制",
                                                 element.size, height),
                                    AnsiToUtf8(page), element.screen_id, element.element_id});
            }
        }
    }
}

}  // namespace sw::check
