#include "ui/resources.h"

#include "ui/embedded_table.h"

namespace sw::ui {

namespace {

std::string_view BytesOf(const EmbeddedEntry& entry) {
    return std::string_view(entry.begin, static_cast<std::size_t>(entry.end - entry.begin));
}

}  // namespace

std::optional<std::string_view> FindResource(std::string_view type, int number) {
    for (std::size_t i = 0; i < kEmbeddedCount; ++i) {
        const EmbeddedEntry& entry = kEmbedded[i];
        if (type == entry.type && number == entry.number) {
            return BytesOf(entry);
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> FindNamedResource(std::string_view name) {
    for (std::size_t i = 0; i < kEmbeddedCount; ++i) {
        const EmbeddedEntry& entry = kEmbedded[i];
        if (entry.type[0] == '\0' && name == entry.name) {
            return BytesOf(entry);
        }
    }
    return std::nullopt;
}

std::string LoadHtmlResource(int number) {
    auto bytes = FindResource("HTML", number);
    if (!bytes) {
        return "";
    }
    std::string text(*bytes);
    // A page's text ends at its first zero byte.
    if (auto zero = text.find('\0'); zero != std::string::npos) {
        text.resize(zero);
    }
    return text;
}

std::vector<ResourceKey> ListResources() {
    std::vector<ResourceKey> keys;
    keys.reserve(kEmbeddedCount);
    for (std::size_t i = 0; i < kEmbeddedCount; ++i) {
        keys.push_back({kEmbedded[i].type, kEmbedded[i].number, kEmbedded[i].name});
    }
    return keys;
}

std::string_view MimeTypeFor(std::string_view typeOrName) {
    auto endsWith = [&](std::string_view suffix) {
        return typeOrName.size() >= suffix.size() &&
               typeOrName.substr(typeOrName.size() - suffix.size()) == suffix;
    };
    if (typeOrName == "HTML" || endsWith(".html") || endsWith(".htm")) {
        return "text/html; charset=utf-8";
    }
    if (typeOrName == "CSS" || endsWith(".css")) {
        return "text/css; charset=utf-8";
    }
    if (typeOrName == "JS" || endsWith(".js") || endsWith(".mjs")) {
        return "text/javascript; charset=utf-8";
    }
    if (typeOrName == "PNG" || endsWith(".png")) {
        return "image/png";
    }
    if (typeOrName == "GIF" || endsWith(".gif")) {
        return "image/gif";
    }
    if (endsWith(".jpg") || endsWith(".jpeg")) {
        return "image/jpeg";
    }
    if (endsWith(".svg")) {
        return "image/svg+xml";
    }
    return "application/octet-stream";
}

}  // namespace sw::ui
