#include "engine/xml_file.h"

#include "core/files.h"

namespace sw {

bool LoadXmlFile(TiXmlDocument& document, const std::string& path) {
    // TinyXML sizes its buffer from the file's length, which a folder does
    // not have: only plain files are handed to it.
    if (!IsFile(path)) {
        return false;
    }
    return document.LoadFile(path.c_str());
}

}  // namespace sw
