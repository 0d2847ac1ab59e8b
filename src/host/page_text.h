// Texts between the host and its pages. Pages speak UTF-8 JSON; host texts
// are in the host code page (UTF-8 unless CP936 is set).
#pragma once

#include <string>

namespace sw::host {

// True when text is well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

// text with every byte that does not belong to a well-formed UTF-8 sequence
// replaced by U+FFFD, so that a JSON message always carries valid text.
std::string SanitizeUtf8(const std::string& text);

// A host text as a page sees it (host code page to UTF-8).
std::string ToPageText(const std::string& hostText);

// A page text as the host keeps it (UTF-8 to the host code page).
std::string FromPageText(const std::string& pageText);

}  // namespace sw::host
