// Opening the browser on the run's address without showing its token to
// other users of the computer: a program's arguments can be read by anyone
// in /proc, so xdg-open is handed a small page that only the user may read
// and that forwards the browser to the address with the token.
#pragma once

#include <memory>
#include <string>

namespace sw::host {

// Where the start page is written: $XDG_RUNTIME_DIR when it names an existing
// folder by an absolute path, else the home folder.
std::string BrowserStartFolder();

// The forwarding page for address.
std::string BrowserStartPage(const std::string& address);

// The start page of one run, written with mode 0600 under a fresh name and
// removed when the object goes.
class BrowserStartFile {
  public:
    // Writes the page for address into folder; path() is "" when that failed
    // (an ERROR line says why).
    BrowserStartFile(const std::string& folder, const std::string& address);
    BrowserStartFile(const BrowserStartFile&) = delete;
    BrowserStartFile& operator=(const BrowserStartFile&) = delete;
    ~BrowserStartFile();

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Writes the start page for address and hands its path to xdg-open. The page
// lives as long as the result; null when it could not be written, in which
// case the browser is not opened and the user is told to open the address
// printed on the terminal.
std::unique_ptr<BrowserStartFile> OpenBrowserAt(const std::string& address);

}  // namespace sw::host
