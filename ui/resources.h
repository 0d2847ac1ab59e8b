// The pages, style sheet, scripts and images compiled into the program.
//
// Numbered resources are addressed as pages do ("res:/PNG/#184" is type "PNG",
// number 184) and served at /res/TYPE/N and /page/N. Named resources are the
// host's own shell pages and scripts (ui/shell/), served at /shell/NAME.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::ui {

// The bytes of resource TYPE/N (TYPE one of HTML, PNG, GIF, CSS, JS).
std::optional<std::string_view> FindResource(std::string_view type, int number);

// The bytes of a named shell resource such as "window.js".
std::optional<std::string_view> FindNamedResource(std::string_view name);

// The text of HTML resource N, "" when missing.
std::string LoadHtmlResource(int number);

struct ResourceKey {
    std::string type;  // "" for named resources
    int number = 0;
    std::string name;
};

// Every embedded resource, for listings and tests.
std::vector<ResourceKey> ListResources();

// The MIME type for a resource type or a file name's extension.
std::string_view MimeTypeFor(std::string_view typeOrName);

}  // namespace sw::ui
