// One document read as a values file and as a layout document by the
// settings editors, read and changed as they do (never saved). Before that,
// the nesting scan is held to the parser's own reading: a document the scan
// lets through never nests deeper in the parser than the scan's limit.
#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/xml_nesting.h"
#include "fuzz_scratch.h"
#include "settings/layout_file.h"
#include "settings/values_file.h"

namespace {

constexpr std::size_t kSmallLimit = 12;

std::size_t ParsedDepth(const TiXmlNode* node) {
    std::size_t deepest = 0;
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr;
         child = child->NextSibling()) {
        deepest = std::max(deepest, ParsedDepth(child));
    }
    return deepest + (node->ToElement() != nullptr ? 1 : 0);
}

void CheckNestingScan(const std::string& bytes) {
    const std::string text = sw::NormalizeXmlText(bytes);
    if (sw::CheckXmlNesting(text, kSmallLimit) != sw::XmlNesting::kFits) {
        return;
    }
    TiXmlDocument document;
    document.Parse(text.c_str());
    const std::size_t depth = ParsedDepth(&document);
    if (depth > kSmallLimit) {
        std::fprintf(stderr, "the nesting scan let through a document %zu deep\n", depth);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckNestingScan(bytes);
    const std::string path = sw::fuzz::WriteScratch("document.xml", bytes);

    sw::settings::ValuesFile values;
    if (sw::settings::IsUsable(values.Open(path, "values.xml"))) {
        for (const char* kind : {sw::settings::kDimenEntry, sw::settings::kColorEntry,
                                 sw::settings::kIntegerEntry, sw::settings::kBoolEntry}) {
            const auto found = values.Read(kind, {"a", "b", "status_bar_height", ""});
            values.Write(kind, {{"a", "1px"}, {"b", ""}});
        }
    }

    sw::settings::LayoutFile layout;
    layout.Open(path, "lockscreen.xml");
    layout.Edit([](TiXmlElement& element) {
        if (sw::settings::IsElement(element, "Image", "clock")) {
            sw::settings::SetTextAttribute(element, "src", "clock.png");
        }
        sw::settings::SetIntAttribute(element, "x", -176);
    });
    return 0;
}
