#include "host/font_check.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"

namespace sw::host {

namespace {

// Copies the font into fontFolder (unless it is there) and adds it to the
// process's font set; false with the ERROR line of the failed step.
bool InstallFont(const std::string& valueName, const std::string& fontFile,
                 const std::string& fontFolder) {
    if (fontFile.empty() || valueName.empty()) {
        LogError("字体信息不能为空！！！！！！\n");
        return false;
    }
    const std::string target = fontFolder + "/" + FileNameOf(fontFile);
    if (!IsFile(target)) {
        if (!IsFile(fontFile) || !MakeFolderPath(fontFolder) || !CopyPath(fontFile, target)) {
            LogError("复制字体文件失败！！！！！！\n");
            return false;
        }
    }
    const FcBool added =
        FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(target.c_str()));
    if (!added) {
        LogError("AddFontResource失败！！！！！！\n");
        return false;
    }
    return true;
}

}  // namespace

std::string UserFontFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/fonts";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/fonts";
}

bool FontFamilyInstalled(const std::string& family) {
    if (!FcInit()) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts != nullptr && fonts->nfont > 0;
    if (fonts != nullptr) {
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

bool CheckFont(const std::string& family, const std::string& valueName, const std::string& fontFile,
               const std::string& fontFolder) {
    if (FontFamilyInstalled(family)) {
        LogInfo("font %s installed\n", valueName.c_str());
        return true;
    }
    LogWarn("prepare installing font %s ...\n", valueName.c_str());
    const bool installed = InstallFont(valueName, fontFile, fontFolder);
    if (installed) {
        LogInfo("install font %s successfully\n", fontFile.c_str());
    } else {
        LogInfo("install font %s failed\n", fontFile.c_str());
    }
    return installed;
}

bool CheckThemeFont() {
    return CheckFont(kThemeFontFamily, kThemeFontValueName, ExePath(kThemeFontFile),
                     UserFontFolder());
}

}  // namespace sw::host
