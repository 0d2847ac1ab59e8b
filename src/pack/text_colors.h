// The text colours a packed theme carries in its layouts: five of the clock
// and weather widget (every weatherconfig.xml of the launcher) and four of the
// lock screen (every lockscreen.xml). The designer's colours are read from the
// modules' colors.xml and written as the "color" attribute of the named
// elements directly under each layout's <Root>.
#pragma once

#include <map>
#include <string>

#include "pack/pack_tree.h"

namespace sw::pack {

// Colour texts by value name ("widget_week_text" -> "#FF112233"); a name
// that no colors.xml defines is absent.
using TextColors = std::map<std::string, std::string>;

// Reads the nine colours. The widget's five come from the launcher's
// colors.xml. The lock screen's four come from the lock screen's own
// colors.xml, where the editor saves them, and from the launcher's only when
// the lock screen does not define them. A colors.xml that cannot be used is
// logged ("can not parse colors.xml file" ...) and skipped; either path may
// be "" for none.
TextColors ReadTextColors(const std::string& launcherColors, const std::string& lockscreenColors);

// Layout paths are those of the archive (PackTree); each layout is read
// from the project file it stands for and put back as bytes.
// Writes the widget colours into launcherDir's four
// content/res/drawable-*dpi/weatherconfig.xml files.
void WriteWidgetColors(PackTree& tree, const std::string& launcherDir, const TextColors& colors);

// Writes the lock-screen colours into lockscreenDir's five
// content/res/*/lockscreen.xml files.
void WriteLockscreenColors(PackTree& tree, const std::string& lockscreenDir,
                           const TextColors& colors);

}  // namespace sw::pack
