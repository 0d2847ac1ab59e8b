// A request as the door reads it: the head parsed as the server parses it
// (with its body limit), then the access check of its Host, Origin, Cookie
// and target, and the query parameter and path the routes read. Whatever
// the bytes, a request that is let in must carry the session cookie or the
// token.
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/access.h"

namespace {

namespace beast = boost::beast;
namespace http = beast::http;

constexpr unsigned short kPort = 40123;

const sw::host::AccessSecrets& Secrets() {
    static const sw::host::AccessSecrets secrets("0123456789abcdef0123456789abcdef",
                                                 "fedcba9876543210fedcba9876543210");
    return secrets;
}

std::string HeaderOf(const http::request<http::string_body>& request, http::field field) {
    const auto found = request.find(field);
    return found == request.end() ? std::string() : std::string(found->value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    http::request_parser<http::string_body> parser;
    parser.body_limit(64 * 1024);
    parser.header_limit(16 * 1024);
    beast::error_code ec;
    parser.put(boost::asio::buffer(data, size), ec);
    if (!parser.is_header_done()) {
        // The parts a route reads are fuzzed on the raw bytes as well.
        const std::string_view raw(reinterpret_cast<const char*>(data), size);
        sw::host::QueryParameter(raw, "path");
        sw::host::TargetPath(raw);
        std::string decoded;
        sw::host::PercentDecode(raw, decoded);
        return 0;
    }
    const http::request<http::string_body>& request = parser.get();
    const std::string host = HeaderOf(request, http::field::host);
    const std::string origin = HeaderOf(request, http::field::origin);
    const std::string cookie = HeaderOf(request, http::field::cookie);
    const std::string target(request.target());
    const bool upgrade = beast::websocket::is_upgrade(request);
    const sw::host::AccessDecision decision =
        sw::host::CheckAccess({host, origin, cookie, target, upgrade}, Secrets(), kPort);
    sw::host::QueryParameter(target, "window");
    sw::host::TargetPath(target);
    // Let in without the cookie's value or the token anywhere: a hole.
    if (decision.verdict != sw::host::AccessVerdict::kForbidden &&
        cookie.find(Secrets().cookie()) == std::string::npos &&
        sw::host::QueryParameter(target, "token") != Secrets().token()) {
        std::abort();
    }
    return 0;
}
