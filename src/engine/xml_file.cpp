#include "engine/xml_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/files.h"
#include "core/log.h"
#include "engine/xml_nesting.h"

namespace sw {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

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
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    struct stat status {};
    if (!file || ::fstat(::fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    if (status.st_size > static_cast<off_t>(kMaxXmlFileBytes)) {
        LogError("XML file %s is larger than %zu bytes and is not read\n", path.c_str(),
                 kMaxXmlFileBytes);
        return false;
    }
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    if (!bytes.empty() && std::fread(bytes.data(), bytes.size(), 1, file.get()) != 1) {
        return false;
    }
    // The parser reads nested elements by recursion: a document nested too
    // deep would overflow the stack, so it is looked at before it is parsed.
    switch (CheckXmlNesting(NormalizeXmlText(bytes))) {
        case XmlNesting::kFits:
            break;
        case XmlNesting::kTooDeep:
            LogError("XML file %s nests elements deeper than %zu levels and is not read\n",
                     path.c_str(), kMaxXmlNesting);
            return false;
        case XmlNesting::kUnterminated:
            LogError("XML file %s ends inside a comment, CDATA section or quoted value\n",
                     path.c_str());
            return false;
    }
    std::rewind(file.get());
    // As TinyXML's own file reader does: the document remembers its path.
    document.SetValue(path);
    return document.LoadFile(file.get());
}

bool XmlFileText(const TiXmlDocument& document, std::string& text) {
    MemoryStream stream;
    if (stream.file() == nullptr || !document.SaveFile(stream.file()) || !stream.Finish(text)) {
        LogError("cannot print the XML document %s\n", document.Value());
        return false;
    }
    return true;
}

bool SaveXmlFile(const TiXmlDocument& document, const std::string& path) {
    std::string text;
    return XmlFileText(document, text) && WriteFileAtomic(path, text);
}

}  // namespace sw
