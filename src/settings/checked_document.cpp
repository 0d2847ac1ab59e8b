#include "settings/checked_document.h"

#include "core/files.h"
#include "core/log.h"
#include "engine/xml_file.h"

namespace sw::settings {

bool IsUsable(DocumentState state) {
    return state == DocumentState::kEmpty || state == DocumentState::kReady;
}

DocumentState CheckedDocument::Open(const std::string& path, const std::string& displayName,
                                    const char* rootName) {
    path_ = path;
    display_name_ = displayName;
    root_ = nullptr;
    const char* name = displayName.c_str();
    const bool parsed = LoadXmlFile(document_, path);
    if (!parsed) {
        LogError("can not parse %s file\n", name);
        // Whatever was read before the error is dropped: the check goes on
        // with an empty document.
        document_.Clear();
    }
    root_ = document_.FirstChildElement();
    if (root_ == nullptr) {
        LogError("%s no root node.\n", name);
        state_ = !parsed && !PathExists(path) ? DocumentState::kMissing : DocumentState::kDamaged;
        return state_;
    }
    if (root_->ValueStr() != rootName) {
        LogError("%s root node isn't <%s />\n", name, rootName);
        state_ = DocumentState::kWrongRoot;
        return state_;
    }
    if (root_->FirstChildElement() == nullptr) {
        LogError("%s no child nodes for <%s />\n", name, rootName);
        state_ = DocumentState::kEmpty;
        return state_;
    }
    state_ = DocumentState::kReady;
    return state_;
}

bool CheckedDocument::Save() const {
    if (!IsUsable(state_)) {
        LogError("%s was not read, so it is not written\n", path_.c_str());
        return false;
    }
    return SaveXmlFile(document_, path_);
}

bool CheckedDocument::SaveText(std::string& text) const {
    if (!IsUsable(state_)) {
        LogError("%s was not read, so it is not written\n", path_.c_str());
        return false;
    }
    return XmlFileText(document_, text);
}

}  // namespace sw::settings
