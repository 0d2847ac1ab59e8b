// One web GET written to a file (libcurl), used for the template's icon list.
#pragma once

#include <string>

namespace sw::host {

// The agent name sent with every download.
inline constexpr const char* kDownloadAgent = "DavadazaVudo.exe";

// Fetches url (http or https only) into destination. The body goes to a
// temporary file beside destination that replaces it only when the whole
// response arrived with a success status; otherwise destination is left as
// it was.
//   - the server cannot be reached, or answers with an error status: true,
//     destination untouched (the shipped file stays in use);
//   - the temporary file cannot be made, the transfer breaks off or the file
//     cannot be put in place: false, destination untouched.
// Every outcome but success is logged.
bool Download(const std::string& url, const std::string& destination);

// The update server's address of the icon list, "" when server is "".
std::string IconListUrl(const std::string& server);

// Where the template keeps its icon list (in the data folder).
std::string IconListPath();

}  // namespace sw::host
