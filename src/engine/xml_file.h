// Reading XML files of a module with TinyXML.
#pragma once

#include <tinyxml.h>

#include <string>

namespace sw {

// Parses the file at path into document; false when the path is not a plain
// file or does not parse. The document remembers the path for saving.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);

}  // namespace sw
