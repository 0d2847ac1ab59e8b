// The three modules of the template and the theme's description files. Each
// writer makes its module folder below root from scratch.
#pragma once

#include <string>

namespace sw::template_gen {

void WriteLauncher(const std::string& root);
void WriteLockscreen(const std::string& root);
void WriteScreencall(const std::string& root);
// meta.json and meta2.json .. meta5.json of the launcher folder.
void WriteMetaFiles(const std::string& launcherFolder);

// Left edge that centres a text of the theme face in [left, left + width).
int CentredTextLeft(const std::string& text, int pixels, int left, int width);

}  // namespace sw::template_gen
