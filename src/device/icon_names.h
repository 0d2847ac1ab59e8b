// The app list that the icon-name reader writes on the phone
// (iconNames.xml): a root element "ICONS" whose "icon" children carry
// "icon_name" (the launcher's file name of the app's icon), "type" and
// "title" (the app's label, UTF-8). Only apps of type "Application" count.
#pragma once

#include <string>
#include <vector>

namespace sw::device {

struct IconName {
    std::string title;  // in the host code page
    std::string icon;   // a plain file name
};

enum class IconNamesRead {
    kMissing,  // no file: nothing is logged
    kBroken,   // not XML, or not the expected root: logged at ERROR
    kRead,
};

// Reads the file in document order. An app whose icon name is empty or is
// not a plain file name (it holds a "/" or a "\\", or is "." or "..") is
// passed over with a WARN line, since icons are copied under that name; an
// app without a title is listed under its icon name.
IconNamesRead ReadIconNames(const std::string& path, std::vector<IconName>& names);

// The comma lists of the advanced-mode form: every entry followed by ",".
std::string IconFileList(const std::vector<IconName>& names);
std::string IconTitleList(const std::vector<IconName>& names);

}  // namespace sw::device
