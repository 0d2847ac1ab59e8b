// The check every settings editor runs before it touches a values file or a
// layout document: the file is parsed, its root element is found and compared
// with the expected name, and its root must have child elements. Each problem
// is logged with the short file name the editor gives (its display name), not
// with the real path.
#pragma once

#include <tinyxml.h>

#include <string>

namespace sw::settings {

// What the check found.
enum class DocumentState {
    kMissing,    // nothing at the path: "can not parse", then "no root node"
    kDamaged,    // there, but unreadable, unparsable or without a root element
    kWrongRoot,  // the root element has another name
    kEmpty,      // the right root, without child elements
    kReady,      // the right root with child elements
};

// kEmpty and kReady: the document may be read (kEmpty finds nothing) and
// written back.
bool IsUsable(DocumentState state);

class CheckedDocument {
  public:
    CheckedDocument() = default;
    CheckedDocument(const CheckedDocument&) = delete;
    CheckedDocument& operator=(const CheckedDocument&) = delete;

    // Parses the file at path and checks its root against rootName, logging
    // at ERROR, with the display name D:
    //   "can not parse D file\n" and "D no root node.\n" for a file that
    //   cannot be read or parsed (the document is then empty);
    //   "D root node isn't <R />\n" for a root of another name;
    //   "D no child nodes for <R />\n" for a root without child elements.
    DocumentState Open(const std::string& path, const std::string& displayName,
                       const char* rootName);

    DocumentState state() const { return state_; }
    const std::string& path() const { return path_; }
    const std::string& display_name() const { return display_name_; }
    // The root element when the document is usable, else null.
    TiXmlElement* root() { return IsUsable(state_) ? root_ : nullptr; }
    const TiXmlElement* root() const { return IsUsable(state_) ? root_ : nullptr; }

    // Writes the whole document back to the path it was read from, through
    // the atomic write (a byte-order mark only when the file had one). False,
    // logged, when it cannot be written or the document is not usable.
    bool Save() const;
    // The bytes Save would write.
    bool SaveText(std::string& text) const;

  private:
    TiXmlDocument document_;
    std::string path_;
    std::string display_name_;
    DocumentState state_ = DocumentState::kMissing;
    TiXmlElement* root_ = nullptr;
};

}  // namespace sw::settings
