// The in-memory model of one theme module: its screens and their elements,
// the values documents that name their geometry and colours, and the groups
// of elements that show the same resource.
#pragma once

#include <json/value.h>
#include <tinyxml.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"

namespace sw {

namespace gfx {
class Image;
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// One child of a <resources> element: a named image list that elements
// reference as "@name".
struct ResourceGroup {
    std::string name;
    std::string res;
    std::string desc;
};

// What the screens and elements of one module share.
struct ModuleContext {
    // template_values.xml: values looked up when no values document has them.
    std::unique_ptr<TiXmlDocument> fallback_document;
    // The files of content/res/values whose root is <resources>, in folder
    // order (names compared without regard to case).
    std::vector<std::unique_ptr<TiXmlDocument>> values_documents;
    std::vector<ResourceGroup> resource_groups;
    int screen_width = 0;
    int screen_height = 0;
    int density = 0;
    std::string module_path;
    // The first images of the elements as the load decoded them, by path and
    // kind (decoded as drawing reads that kind), when the load was asked to
    // keep them: the drawing that follows an open takes them instead of
    // decoding each file again. Emptied once that drawing is done.
    std::map<std::pair<std::string, int>, std::shared_ptr<const gfx::Image>> load_pictures;
};

// Image kinds by file suffix.
inline constexpr int kImageKindJpeg = -1;
inline constexpr int kImageKindPng = 0;
inline constexpr int kImageKindNinePatch = 1;

struct ThemeElement {
    Json::Value attributes{Json::objectValue};  // every attribute, raw UTF-8
    int screen_id = 0;
    int element_id = 0;
    std::string tag;       // icon, icongroup, text, colorblock or mask
    std::string category;  // host code page; empty when absent
    Rect rect;
    std::vector<std::string> images;  // absolute paths (image tags)
    int image_width = 0;              // size of the first image
    int image_height = 0;
    int image_kind = kImageKindPng;  // of the last image resolved
    std::string text;                // host code page (text)
    int size = 0;                    // font height in pixels (text)
    bool redraw = false;
    bool readonly = false;
    bool clip = false;
    PackedColor color = 0;  // text and colorblock
    std::vector<std::string> descriptions;
    int image_index = 0;
    ModuleContext* context = nullptr;

    // The raw text of an attribute, "" when absent.
    std::string Attribute(const char* name) const;
    bool HasAttribute(const char* name) const;
};

// One screen of a module: one preview picture.
struct ThemePackage {
    int index = 0;
    Json::Value attributes{Json::objectValue};  // raw
    std::vector<ThemeElement> elements;
    ModuleContext* context = nullptr;
};

// Elements that show one resource: a wallpaper on several screens, a colour
// shared by several labels. Members are kept in join order; the first member
// is the element that founded the group.
struct ElementGroup {
    int screen_id = 0;
    int element_id = 0;
    std::vector<Rect> rects;
    std::vector<int> screen_ids;
    std::vector<int> element_ids;
};

// One module folder. Screens and elements point at the module's context, so a
// module stays where it was made.
struct ThemeModule {
    ThemeModule() = default;
    ThemeModule(const ThemeModule&) = delete;
    ThemeModule& operator=(const ThemeModule&) = delete;

    std::string name;                                    // folder name
    std::string path;                                    // absolute folder path
    Json::Value template_attributes{Json::objectValue};  // of <package>, host code page
    std::vector<ThemePackage> screens;
    std::vector<ElementGroup> element_groups;
    std::vector<std::string> used_categories;
    std::vector<std::string> category_list;
    ModuleContext context;

    // The template's page name ("桌面", "锁屏" ...); false when it has none.
    bool PageName(std::string& name) const;
    // The element at (screen id, element id), or nullptr.
    ThemeElement* FindElement(int screenId, int elementId);
    const ThemeElement* FindElement(int screenId, int elementId) const;
};

}  // namespace sw
