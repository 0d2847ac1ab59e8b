// Which image files the host serves at /file?path=ABS (previews, thumbnails
// and resource images, and images the user chose in a file dialog).
//
// The page asks for a file by its absolute path, percent-encoded:
//     /file?path=%2Fhome%2Fa%2Fwork%2Fdemo%2Fdemo%2Flauncher%2Fpreview%2F...png
// Further query parameters (a cache-busting "t=...") are ignored. A file is
// served only when it is a regular file with the extension png, jpg, jpeg or
// gif (in any case) and its canonical path (symbolic links followed) lies
// below the canonical folder of the open project or of the data folder, or is
// a file the user chose in this run's file dialog. A path with a ".."
// component is refused whatever it names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/unique_fd.h"

namespace sw::host {

// True for a name ending in .png, .jpg, .jpeg or .gif (any case).
bool IsImageName(const std::string& name);

// An image file opened to be served: the server reads it in pieces.
struct ServedFile {
    UniqueFd fd;
    std::uint64_t size = 0;
};

// Opens the regular file at canonical (a resolved path without links) and
// makes sure the file opened is the one that was checked: a folder on the way
// swapped for a link after the check would lead elsewhere. The file is opened
// without waiting, so a pipe or device put in its place is refused at once
// rather than waited on. Null with a reason for the log otherwise.
std::shared_ptr<ServedFile> OpenServedFile(const std::string& canonical, std::string& reason);

class ImageFileAccess {
  public:
    // The folders whose images may be served, asked at every request.
    using RootsProvider = std::function<std::vector<std::string>()>;

    void SetRootsProvider(RootsProvider provider);
    // Lets the image file at path be served although it lies elsewhere.
    void AllowFile(const std::string& path);

    // The canonical path of the file to serve for requested; false with a
    // reason for the log when it may not be served.
    bool Resolve(const std::string& requested, std::string& canonical, std::string& reason) const;

  private:
    mutable std::mutex mutex_;
    RootsProvider roots_;
    std::set<std::string> allowed_;
};

}  // namespace sw::host
