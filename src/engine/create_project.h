// New projects made from the template beside the program: the create form's
// texts, kept for the whole process, and the creation itself.
#pragma once

#include <cstddef>
#include <string>

namespace sw {

// The create form's eight texts, in the order the form sends them.
struct CreateInfo {
    std::string prj_name;      // folder names and the project file's name
    std::string theme_name;    // resource_name
    std::string version_name;  // resource_versionname
    std::string description;   // resource_description
    std::string originate;     // resource_originate
    std::string author;        // resource_developer and resource_designer
    std::string theme_path;    // the folder the project folder is made in
    std::string resourceid;    // resource_id; "0" asks for a fresh number
};

// Each text holds at most this many bytes.
inline constexpr std::size_t kCreateInfoCapacity = 511;

// Replaces the process-wide texts. A text longer than kCreateInfoCapacity
// refuses the whole call: an ERROR line names the field, the record is
// emptied (so a creation that follows fails instead of making the previous
// project again), tooLong (when given) receives the field's form name
// ("description") and the result is false.
bool SetCreateInfo(const CreateInfo& info, std::string* tooLong = nullptr);
CreateInfo GetCreateInfo();

// theme_path/prj_name/prj_name.wtpj: the project file a creation with these
// texts writes.
std::string CreatedProjectPath(const CreateInfo& info);

// Copies the template folder into theme_path/prj_name/prj_name, writes the
// project file beside it and stamps the current texts into the five
// description files of the launcher folder. Every failure is logged; what was
// done before it stays.
bool CreateProject();

}  // namespace sw
