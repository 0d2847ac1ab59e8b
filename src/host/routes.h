// What the host answers at each HTTP address once a request was let in:
//   /                the current top window's page (a redirect)
//   /page/N          HTML resource N with the bridge script as the first child of <head>
//   /res/TYPE/N      resource N of TYPE (HTML, PNG, GIF, CSS, JS)
//   /shell/NAME      the host's own shell files (bridge, dialogs); HTML ones get the bridge
//   /log             the end of runtime.log as text (its last kLogViewLimit bytes)
//   /file?path=ABS   an image file (see image_files.h)
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sw::host {

class ImageFileAccess;
struct ServedFile;

struct HttpReply {
    unsigned status = 200;
    std::string content_type;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // A file sent in pieces in place of body (image files, whatever their
    // size).
    std::shared_ptr<ServedFile> file;
};

class RouteContext {
  public:
    virtual ~RouteContext() = default;
    // The address of the page the tab should show now.
    virtual std::string TopPageAddress() const = 0;
    virtual const ImageFileAccess& image_files() const = 0;
};

// How much of the log /log shows: the lines before are left out.
inline constexpr std::size_t kLogViewLimit = 4 * 1024 * 1024;

// The bridge script element the host puts into every page it serves.
inline constexpr std::string_view kBridgeScript = "<script src=\"/shell/bridge.js\"></script>";

// html with kBridgeScript inserted right after its <head> tag (a head is made
// when the page has none).
std::string InjectBridge(std::string_view html);

HttpReply RouteRequest(std::string_view target, const RouteContext& context);

// A plain reply with a short text body.
HttpReply TextReply(unsigned status, std::string text);

}  // namespace sw::host
