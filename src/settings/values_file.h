// Android values files (integers.xml, bools.xml, dimens.xml, colors.xml and
// the template_values files): a <resources> root whose child elements are
// named entries. The element name is the entry's kind ("integer", "dimen" ...),
// its "name" attribute the entry's name, and the text of its first child node
// the value. Values stay texts, units and all; other nodes are kept in place.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/checked_document.h"

namespace sw::settings {

inline constexpr char kIntegerEntry[] = "integer";
inline constexpr char kBoolEntry[] = "bool";
inline constexpr char kDimenEntry[] = "dimen";
inline constexpr char kColorEntry[] = "color";

// Entry names and their texts: what a read found, or what a write assigns.
using ValueTexts = std::map<std::string, std::string>;

// The text of name; "" when the values do not hold it.
const std::string& TextOf(const ValueTexts& values, const std::string& name);

class ValuesFile {
  public:
    // Opens and checks the file (root <resources>); the log lines name it by
    // displayName.
    DocumentState Open(const std::string& path, const std::string& displayName);
    DocumentState state() const { return document_.state(); }
    const CheckedDocument& document() const { return document_; }

    // The entries of kind whose names are asked for, compared exactly. When a
    // name is held twice the later entry wins; an entry without any child
    // node reads as "". Names not found are absent from the result.
    ValueTexts Read(const std::string& kind, const std::vector<std::string>& names) const;

    // Gives every entry of kind whose name has an assignment (all of them, not
    // only the first) a new text node with the assigned text, also an entry
    // written empty before (without any child node).
    void Write(const std::string& kind, const ValueTexts& assignments);

    // Writes the file back (see CheckedDocument::Save).
    bool Save() const { return document_.Save(); }

  private:
    CheckedDocument document_;
};

// Opens, checks and reads in one; nothing is found in a file that cannot be
// used.
ValueTexts ReadValues(const std::string& path, const std::string& displayName,
                      const std::string& kind, const std::vector<std::string>& names);

}  // namespace sw::settings
