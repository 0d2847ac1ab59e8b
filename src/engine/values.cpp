#include "engine/values.h"

#include <strings.h>

#include <algorithm>

#include "core/files.h"
#include "core/log.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/xml_file.h"

namespace sw {

namespace {

// The first child element of the document's root that carries the name.
TiXmlElement* FindNamed(TiXmlDocument* document, const std::string& name) {
    if (document == nullptr) {
        return nullptr;
    }
    TiXmlElement* root = document->RootElement();
    if (root == nullptr) {
        return nullptr;
    }
    for (TiXmlElement* child = root->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* value = child->Attribute("name");
        if (value != nullptr && name == value) {
            return child;
        }
    }
    return nullptr;
}

bool NameLessIgnoringCase(const std::string& a, const std::string& b) {
    const int order = strcasecmp(a.c_str(), b.c_str());
    // Names equal but for case still get a fixed order.
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

bool LoadValues(ModuleContext& context, const std::string& modulePath) {
    const std::string fallbackPath =
        FormatString("%s/%s", modulePath.c_str(), "template_values.xml");
    auto fallback = std::make_unique<TiXmlDocument>();
    // A module's files are read only through links that stay in its project.
    const std::string projectDir = FolderOf(modulePath);
    if (!LoadXmlFile(*fallback, fallbackPath, projectDir)) {
        LogError("can not parse template parameter file\n");
        return false;
    }
    context.fallback_document = std::move(fallback);

    const std::string folder = FormatString("%s/%s", modulePath.c_str(), "content/res/values");
    std::vector<std::string> names;
    if (!ListFolder(folder, names)) {
        LogError("fail to search directory.\n");
        return false;
    }
    std::sort(names.begin(), names.end(), NameLessIgnoringCase);
    for (const std::string& name : names) {
        const std::string path = FormatString("%s/%s", folder.c_str(), name.c_str());
        if (!IsFile(path)) {
            continue;
        }
        auto document = std::make_unique<TiXmlDocument>();
        if (!LoadXmlFile(*document, path, projectDir)) {
            LogError("fail to parse xml: %s\n", path.c_str());
            continue;
        }
        const TiXmlElement* root = document->RootElement();
        if (root != nullptr && root->ValueStr() == "resources") {
            context.values_documents.push_back(std::move(document));
        }
    }
    return true;
}

bool LookupValue(const ModuleContext& context, const std::string& name, std::string& text) {
    const TiXmlElement* found = nullptr;
    for (const auto& document : context.values_documents) {
        found = FindNamed(document.get(), name);
        if (found != nullptr) {
            break;
        }
    }
    if (found == nullptr) {
        found = FindNamed(context.fallback_document.get(), name);
    }
    if (found == nullptr) {
        return false;
    }
    const char* value = found->GetText();
    text = value != nullptr ? value : "";
    return true;
}

bool SetValue(ModuleContext& context, const std::string& name, const std::string& text) {
    for (const auto& document : context.values_documents) {
        TiXmlElement* found = FindNamed(document.get(), name);
        if (found == nullptr) {
            continue;
        }
        // The value's text is the element's first child when that is a text
        // node; otherwise a text node is put in front so that lookups see it.
        TiXmlNode* first = found->FirstChild();
        if (first != nullptr && first->ToText() != nullptr) {
            first->SetValue(text.c_str());
        } else if (first != nullptr) {
            found->InsertBeforeChild(first, TiXmlText(text.c_str()));
        } else {
            found->InsertEndChild(TiXmlText(text.c_str()));
        }
        break;
    }
    return true;
}

}  // namespace sw
