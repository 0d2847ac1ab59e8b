// The launcher icon files that packed themes leave out: one list for the
// whole process, kept as the text ",a.png,b.png" (a comma before every file
// name). It starts as the built-in list, changes as the designer unticks and
// ticks icons in the editor, and is read by packing. It belongs to no project
// and lasts until the program ends. Safe to use from any thread.
#pragma once

#include <string>

namespace sw {

class IconExclusionList {
  public:
    // The current text.
    static std::string Text();
    // Appends "," and the file name, also when it is listed already. A name
    // holding a comma is refused (false, logged): packing would read it as
    // two names and delete another icon.
    static bool Add(const std::string& fileName);
    // Removes every entry that is exactly the file name.
    static void Remove(const std::string& fileName);
    // Back to the built-in list.
    static void Reset();
    // The built-in list: icons of system tools that phones draw from their
    // own icon set whatever the theme brings.
    static const char* BuiltIn();
};

}  // namespace sw
