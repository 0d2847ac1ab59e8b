// The theme's description files (meta.json, meta2.json .. meta5.json in the
// launcher folder): the texts that fill the create and pack forms, and the
// pack form's texts written back into all five files.
#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace sw::settings {

// One form field and the text to put into it (in the host code page).
struct FormField {
    std::string id;
    std::string value;
};

// P/N/launcher/meta.json for number 1, P/N/launcher/metaK.json for 2 .. 5.
std::string MetaFilePath(const std::string& name, const std::string& path, int number);

// Reads a description file. A file that cannot be read, does not parse, or
// whose top level is not an object logs "load meta.json failed.\n" and fails.
bool ReadMetaFile(const std::string& path, Json::Value& document);

// A member as a text converted to the host code page: "" when it is missing,
// null, an array or an object; numbers and booleans as written by JsonCpp.
std::string MetaText(const Json::Value& document, const char* member);

// The create form's fields from the template's meta.json, in the order they
// are filled: theme_name, version_name, description, originate, author and
// resourceid ("0"). False, with no field, when the file cannot be read.
bool CreateFormFields(std::vector<FormField>& fields);

// The pack form's fields from the project's meta.json (project N in folder
// P): theme_name, version, description, developer, as the file holds them.
// Members the form does not show (where the theme comes from, its designer)
// are never changed by it.
bool PackFormFields(const std::string& name, const std::string& path,
                    std::vector<FormField>& fields);

// The pack form's four texts stamped into meta.json, meta2.json .. meta5.json of
// project N in folder P, after the staging folders of pushing and packing
// (home/themetool, home/tmp) were removed. A file that cannot be read stops
// the command there; one that cannot be written is skipped. True only when
// all five files were written.
bool SaveMetaJson(const std::string& name, const std::string& path, const std::string& version,
                  const std::string& description, const std::string& developer,
                  const std::string& themeName);

}  // namespace sw::settings
