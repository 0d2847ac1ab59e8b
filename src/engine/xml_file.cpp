#include "engine/xml_file.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/files.h"
#include "core/log.h"

namespace sw {

namespace {

// A stream into memory that TinyXML's own file writer can print to.
class MemoryStream {
  public:
    MemoryStream() : file_(open_memstream(&data_, &size_)) {}
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
        std::free(data_);
    }
    FILE* file() const { return file_; }
    // Closes the stream and takes what was written; false on a write error.
    bool Finish(std::string& text) {
        if (file_ == nullptr) {
            return false;
        }
        const bool failed = std::ferror(file_) != 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (failed || !closed) {
            return false;
        }
        text.assign(data_, size_);
        return true;
    }

  private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    FILE* file_;
};

}  // namespace

bool LoadXmlFile(TiXmlDocument& document, const std::string& path) {
    // TinyXML sizes its buffer from the file's length, which a folder does
    // not have: only plain files are handed to it.
    if (!IsFile(path)) {
        return false;
    }
    return document.LoadFile(path.c_str());
}

bool SaveXmlFile(const TiXmlDocument& document, const std::string& path) {
    MemoryStream stream;
    std::string text;
    if (stream.file() == nullptr || !document.SaveFile(stream.file()) || !stream.Finish(text)) {
        LogError("cannot print the XML document for %s\n", path.c_str());
        return false;
    }
    return WriteFileAtomic(path, text);
}

}  // namespace sw
