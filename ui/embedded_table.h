// The table of embedded files that the build generates.
#pragma once

#include <cstddef>

namespace sw::ui {

struct EmbeddedEntry {
    const char* type;  // "" for named resources
    int number;
    const char* name;
    const char* begin;
    const char* end;
};

extern const EmbeddedEntry kEmbedded[];
extern const std::size_t kEmbeddedCount;

}  // namespace sw::ui
