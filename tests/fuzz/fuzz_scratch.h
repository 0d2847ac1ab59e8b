// What every fuzz target shares: one scratch folder per process, files
// written into it from the fuzzer's bytes, and the split of one input into
// several files.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/log.h"

namespace sw::fuzz {

// A folder of its own for this process, removed when it ends. The log stays
// off: a log line costs an open and a close of the file, far more than a run.
inline const std::string& ScratchFolder() {
    // Never freed: the removal at exit runs after static objects are gone.
    static const std::string* const folder = [] {
        // In memory where the system offers it: every run writes its files.
        std::string pattern = IsFolder("/dev/shm") ? "/dev/shm/skinwright-fuzz-XXXXXX"
                                                   : "/tmp/skinwright-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        if (made == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        auto* path = new std::string(made);
        std::atexit([] { DeletePath(ScratchFolder()); });
        return path;
    }();
    return *folder;
}

inline std::string ScratchPath(const std::string& name) {
    return ScratchFolder() + "/" + name;
}

// Writes bytes to the scratch file name (its folders made first) and gives
// its path.
inline std::string WriteScratch(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchPath(name);
    const std::size_t slash = path.rfind('/');
    MakeFolderPath(path.substr(0, slash));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

// The parts of an input that holds several files, one after the other,
// parted by a line "--8<--".
inline std::vector<std::string_view> SplitParts(const std::uint8_t* data, std::size_t size,
                                                std::size_t count) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    constexpr std::string_view kCut = "\n--8<--\n";
    while (parts.size() + 1 < count) {
        const std::size_t at = rest.find(kCut);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(rest.substr(0, at));
        rest.remove_prefix(at + kCut.size());
    }
    parts.push_back(rest);
    parts.resize(count);
    return parts;
}

}  // namespace sw::fuzz
