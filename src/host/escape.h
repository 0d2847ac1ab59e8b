// Escaping of texts that the host puts into page scripts and HTML fragments.
// A value read from a file or typed by the user must never run as script in a
// page: every value inserted into a single-quoted script string goes through
// EscapeJsString, and every text inserted into HTML goes through EscapeHtml.
#pragma once

#include <string>

namespace sw::host {

// The text made safe inside '...' (or "...") of a page script: backslash,
// quotes, line ends, control characters, "<", ">" and "&" (so that the text
// cannot close a script element) and the two Unicode line separators are
// written as escapes. The result reads back as the same string.
std::string EscapeJsString(const std::string& text);

// The text made safe as HTML element content or a quoted attribute value:
// "&", "<", ">", '"' and "'" become character references.
std::string EscapeHtml(const std::string& text);

}  // namespace sw::host
