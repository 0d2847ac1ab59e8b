// Helpers for the engine tests: a temporary folder, files and images written
// into it, the log lines of a test, and a small module folder to load.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gfx/image.h"

namespace sw::test {

// A fresh folder below the system's temporary folder, removed with its
// contents when the owner goes.
class TempFolder {
  public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes text to path, making the missing folders first.
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// Straight-alpha pixels in the drawing layer's byte order.
gfx::Pixel Bgra(int b, int g, int r, int a);
gfx::Pixel Rgb(int r, int g, int b);

// Writes a PNG of the given size whose pixels come from paint (straight
// alpha); with alpha false a 24-bit PNG.
void WritePng(const std::string& path, int width, int height,
              const std::function<gfx::Pixel(int x, int y)>& paint, bool alpha = true);
void WriteSolidPng(const std::string& path, int width, int height, gfx::Pixel color,
                   bool alpha = true);
void WriteSolidJpeg(const std::string& path, int width, int height, gfx::Pixel color);

// Collects the log lines written while it lives, into a file of its own.
class LogCapture {
  public:
    explicit LogCapture(const std::string& folder);
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    ~LogCapture();
    // Every line as "TAG\tmessage" without its time stamp, in order; the tag
    // keeps its padding ("INFO ", "ERROR").
    std::vector<std::string> Lines() const;
    // True when the lines hold expected in this order, one right after the
    // other.
    bool HasSequence(const std::vector<std::string>& expected) const;
    // Empties the log.
    void Clear();

  private:
    std::string path_;
};

// A module folder with a template, values and images, rewritten at will.
// The default module has two screens: a white wallpaper with a label and a
// half-transparent colour block, then the same wallpaper with an icon.
class ModuleFolder {
  public:
    explicit ModuleFolder(const std::string& path);
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // template.xml around the given screens, resources and categories.
    void WriteTemplate(const std::string& body,
                       const std::string& rootAttributes = "name=\"桌面\" version=\"3\"");
    // content/res/values/dimens.xml and colors.xml from name-value pairs.
    void WriteDimens(const std::map<std::string, std::string>& values);
    void WriteColors(const std::map<std::string, std::string>& values);
    void WriteTemplateValues(const std::map<std::string, std::string>& values);
    // An image in content/res/drawable-xxhdpi (or drawable-nodpi).
    std::string Image(const std::string& fileName, bool nodpi = false) const;

    // The default module described above.
    void WriteDefault();

  private:
    std::string path_;
};

// The values document text of name-value pairs.
std::string ValuesXml(const std::string& tag, const std::map<std::string, std::string>& values);

}  // namespace sw::test
