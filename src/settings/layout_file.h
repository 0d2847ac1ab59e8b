// Layout documents (every lockscreen.xml and weatherconfig.xml): a <Root>
// whose direct child elements are the positioned elements of a screen,
// identified by their element name and, for the generic ones (Image,
// ImageEvent, ImageAnimator), by their "name" attribute. Geometry attributes
// are decimal integers without unit. Elements deeper than the root's children
// are reached only through the element an editor is given.
#pragma once

#include <functional>
#include <string>

#include "settings/checked_document.h"

namespace sw::settings {

class LayoutFile {
  public:
    // Opens and checks the file (root <Root>); the log lines name it by
    // displayName.
    DocumentState Open(const std::string& path, const std::string& displayName);
    DocumentState state() const { return document_.state(); }
    const CheckedDocument& document() const { return document_; }
    const std::string& display_name() const { return document_.display_name(); }

    // Calls editor once for every direct child element of <Root>, in
    // document order; nothing when the document cannot be used.
    void Edit(const std::function<void(TiXmlElement&)>& editor);

    // Writes the file back (see CheckedDocument::Save).
    bool Save() const { return document_.Save(); }
    bool SaveText(std::string& text) const { return document_.SaveText(text); }

  private:
    CheckedDocument document_;
};

// Whether the element is named tag and, when name is given, whether its
// "name" attribute equals name; both compared exactly.
bool IsElement(const TiXmlElement& element, const char* tag, const char* name = nullptr);

// Sets the attribute to the decimal text of value ("-176"). An attribute the
// element has keeps its place; a missing one is appended after the others.
void SetIntAttribute(TiXmlElement& element, const char* attribute, int value);

// The same for a text ("animator5.png", or "" to empty it).
void SetTextAttribute(TiXmlElement& element, const char* attribute, const std::string& text);

}  // namespace sw::settings
