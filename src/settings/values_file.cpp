#include "settings/values_file.h"

#include <algorithm>

namespace sw::settings {

namespace {

constexpr char kValuesRoot[] = "resources";

// The entry's name; "" for an element without one, which matches nothing.
std::string EntryName(const TiXmlElement& entry) {
    const char* name = entry.Attribute("name");
    return name != nullptr ? name : "";
}

}  // namespace

const std::string& TextOf(const ValueTexts& values, const std::string& name) {
    static const std::string kNone;
    auto found = values.find(name);
    return found != values.end() ? found->second : kNone;
}

DocumentState ValuesFile::Open(const std::string& path, const std::string& displayName) {
    return document_.Open(path, displayName, kValuesRoot);
}

ValueTexts ValuesFile::Read(const std::string& kind, const std::vector<std::string>& names) const {
    ValueTexts found;
    const TiXmlElement* root = document_.root();
    if (root == nullptr) {
        return found;
    }
    for (const TiXmlElement* entry = root->FirstChildElement(); entry != nullptr;
         entry = entry->NextSiblingElement()) {
        if (entry->ValueStr() != kind) {
            continue;
        }
        std::string name = EntryName(*entry);
        if (name.empty() || std::find(names.begin(), names.end(), name) == names.end()) {
            continue;
        }
        const TiXmlNode* value = entry->FirstChild();
        found[name] = value != nullptr ? value->ValueStr() : "";
    }
    return found;
}

void ValuesFile::Write(const std::string& kind, const ValueTexts& assignments) {
    TiXmlElement* root = document_.root();
    if (root == nullptr) {
        return;
    }
    for (TiXmlElement* entry = root->FirstChildElement(); entry != nullptr;
         entry = entry->NextSiblingElement()) {
        if (entry->ValueStr() != kind) {
            continue;
        }
        auto assigned = assignments.find(EntryName(*entry));
        if (assigned == assignments.end()) {
            continue;
        }
        // An entry saved empty has no child node; it gets one, so that a
        // value cleared once can be set again.
        if (TiXmlNode* value = entry->FirstChild()) {
            entry->ReplaceChild(value, TiXmlText(assigned->second));
        } else {
            entry->LinkEndChild(new TiXmlText(assigned->second));
        }
    }
}

ValueTexts ReadValues(const std::string& path, const std::string& displayName,
                      const std::string& kind, const std::vector<std::string>& names) {
    ValuesFile file;
    file.Open(path, displayName);
    return file.Read(kind, names);
}

}  // namespace sw::settings
