#include "engine/module_loader.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/log.h"
#include "core/on_all_cores.h"
#include "core/paths.h"
#include "core/text.h"
#include "engine/element_groups.h"
#include "engine/image_resolve.h"
#include "engine/resolution.h"
#include "engine/values.h"
#include "engine/xml_file.h"
#include "gfx/image_decode.h"
#include "gfx/text.h"

namespace sw {

namespace {

const char* const kElementTags[] = {"icon", "icongroup", "text", "colorblock", "mask"};

bool IsElementTag(const std::string& tag) {
    for (const char* known : kElementTags) {
        if (tag == known) {
            return true;
        }
    }
    return false;
}

bool IsImageTag(const std::string& tag) {
    return tag == "icon" || tag == "icongroup" || tag == "mask";
}

// Copies every attribute of node into an object of strings, converted to the
// host code page when asked.
Json::Value AttributesOf(const TiXmlElement& node, bool toHostCodePage) {
    Json::Value attributes(Json::objectValue);
    for (const TiXmlAttribute* a = node.FirstAttribute(); a != nullptr; a = a->Next()) {
        const std::string value = a->ValueStr();
        attributes[a->Name()] = toHostCodePage ? Utf8ToAnsi(value) : value;
    }
    return attributes;
}

// A boolean attribute is set by any non-empty text ("false" and "0" too).
bool FlagOf(const TiXmlElement& node, const char* name) {
    const char* value = node.Attribute(name);
    return value != nullptr && value[0] != '\0';
}

// Reads a dimension attribute: the attribute names a value whose text is the
// dimension. Logs the two failure lines of the attribute.
bool ReadDimension(const TiXmlElement& node, const ModuleContext& context, const char* name,
                   int& pixels) {
    const char* valueName = node.Attribute(name);
    if (valueName == nullptr) {
        LogError("%s not specified\n", name);
        return false;
    }
    std::string text;
    if (!LookupValue(context, valueName, text)) {
        LogError("'%s' field (%s) not found.\n", name, valueName);
        return false;
    }
    pixels = ParseDimension(text, context.density);
    return true;
}

bool ReadColorAndText(const TiXmlElement& node, const ModuleContext& context,
                      ThemeElement& element) {
    const char* colorName = node.Attribute("color");
    if (colorName == nullptr) {
        LogError("color not specified\n");
        return false;
    }
    std::string colorText;
    if (!LookupValue(context, colorName, colorText)) {
        LogError("'color' field (%s) not found.\n", colorName);
        return false;
    }
    element.color = ParseColor(colorText);
    if (element.tag != "text") {
        return true;
    }
    const char* text = node.Attribute("text");
    if (text == nullptr) {
        LogError("text not specified\n");
        return false;
    }
    element.text = Utf8ToAnsi(text);
    const char* sizeName = node.Attribute("size");
    if (sizeName == nullptr) {
        LogError("size not specified\n");
        return false;
    }
    std::string sizeText;
    if (!LookupValue(context, sizeName, sizeText)) {
        LogError("'size' field (%s) not found.\n", sizeName);
        return false;
    }
    element.size = ParseDimension(sizeText, context.density);
    return true;
}

bool ReadImages(const TiXmlElement& node, const ModuleContext& context, ThemeElement& element,
                ImageSizeCache& sizes) {
    const char* res = node.Attribute("res");
    if (res == nullptr) {
        LogError("res not specified\n");
        return false;
    }
    if (const char* index = node.Attribute("index")) {
        element.image_index = std::atoi(index);
    }
    std::string listText;
    const ResourceGroup* group = nullptr;
    if (res[0] == '@') {
        const std::string groupName = res + 1;
        for (const ResourceGroup& candidate : context.resource_groups) {
            if (candidate.name == groupName) {
                group = &candidate;
                break;
            }
        }
        if (group == nullptr) {
            LogError("can not get group info\n");
            return false;
        }
        listText = group->res;
    } else {
        listText = Utf8ToAnsi(res);
    }
    std::vector<std::string> names;
    SplitList(listText, names);
    if (names.empty()) {
        LogError("res specified value is empty\n");
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        ResolvedImage image;
        if (!ResolveImage(context, names[i], i == 0, image, &sizes)) {
            LogError("img '%s' not found.\n", names[i].c_str());
            return false;
        }
        if (i == 0) {
            element.image_width = image.width;
            element.image_height = image.height;
        }
        element.image_kind = image.kind;
        element.images.push_back(image.path);
    }
    if (group != nullptr) {
        std::vector<std::string> descriptions;
        SplitList(group->desc, descriptions);
        element.descriptions.insert(element.descriptions.end(), descriptions.begin(),
                                    descriptions.end());
    }
    return true;
}

// Steps of an element after its tag and attributes were accepted; a failure
// here makes the element's format invalid.
bool ReadElementFields(const TiXmlElement& node, ModuleContext& context, ThemeElement& element,
                       ImageSizeCache& sizes) {
    int left = 0;
    int top = 0;
    if (!ReadDimension(node, context, "left", left) || !ReadDimension(node, context, "top", top)) {
        return false;
    }
    element.readonly = FlagOf(node, "readonly");
    element.clip = FlagOf(node, "clip");
    element.redraw = FlagOf(node, "redraw");
    element.descriptions.clear();
    if (const char* desc = node.Attribute("desc")) {
        SplitList(Utf8ToAnsi(desc), element.descriptions);
    }
    if (element.tag == "text" || element.tag == "colorblock") {
        if (!ReadColorAndText(node, context, element)) {
            return false;
        }
    }
    if (IsImageTag(element.tag) && !ReadImages(node, context, element, sizes)) {
        return false;
    }
    int width = 0;
    int height = 0;
    if (element.tag == "text") {
        const gfx::Size extent = gfx::MeasureText(element.size, AnsiToUtf8(element.text));
        width = extent.width;
        height = extent.height;
    } else if (!ReadDimension(node, context, "width", width) ||
               !ReadDimension(node, context, "height", height)) {
        return false;
    }
    element.rect = Rect{left, top, left + width, top + height};
    return true;
}

bool LoadElement(const TiXmlElement& node, ModuleContext& context, ThemeElement& element,
                 ImageSizeCache& sizes) {
    element = ThemeElement{};
    element.context = &context;
    element.tag = node.ValueStr();
    if (!IsElementTag(element.tag)) {
        LogError("invalid element node <%s />\n", element.tag.c_str());
        return false;
    }
    if (node.FirstAttribute() == nullptr) {
        LogError("no attributes for <%s /> node\n", element.tag.c_str());
        return false;
    }
    element.attributes = AttributesOf(node, false);
    if (const char* category = node.Attribute("category")) {
        element.category = Utf8ToAnsi(category);
    }
    if (!ReadElementFields(node, context, element, sizes)) {
        LogError("invalid format\n");
        return false;
    }
    return true;
}

bool LoadScreen(const TiXmlElement& node, ModuleContext& context, ThemePackage& screen,
                ImageSizeCache& sizes) {
    if (node.ValueStr() != "screen") {
        LogError("invalid screen node <%s />\n", node.Value());
        return false;
    }
    screen.context = &context;
    screen.attributes = AttributesOf(node, false);
    if (node.FirstAttribute() == nullptr) {
        LogInfo("no attributes for screen node\n");
    }
    if (node.FirstChildElement() == nullptr) {
        LogError("no child nodes for screen node\n");
        return false;
    }
    int position = 0;
    for (const TiXmlElement* child = node.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement(), ++position) {
        ThemeElement element;
        if (!LoadElement(*child, context, element, sizes)) {
            LogError("load element %d failed\n", position);
            return false;
        }
        screen.elements.push_back(std::move(element));
    }
    return true;
}

bool LoadResourceGroups(const TiXmlElement& node, ModuleContext& context) {
    if (node.FirstChildElement() == nullptr) {
        LogWarn("no child nodes for <resources /> node.\n");
        return true;
    }
    for (const TiXmlElement* child = node.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* name = child->Attribute("name");
        const char* res = child->Attribute("res");
        if (name == nullptr || res == nullptr) {
            LogError("name or res property not specified.\n");
            return false;
        }
        const char* desc = child->Attribute("desc");
        context.resource_groups.push_back(
            ResourceGroup{Utf8ToAnsi(name), Utf8ToAnsi(res), Utf8ToAnsi(desc ? desc : "")});
    }
    return true;
}

bool LoadCategories(const TiXmlElement& root, ThemeModule& module) {
    module.category_list.clear();
    const TiXmlElement* category = root.FirstChildElement("category");
    if (category != nullptr) {
        const char* list = category->Attribute("list");
        if (list == nullptr) {
            LogError("no list attribute for <category />\n");
            return false;
        }
        SplitList(Utf8ToAnsi(list), module.category_list);
    }
    if (module.category_list.empty()) {
        LogError("load category list failed.\n");
        return false;
    }
    return true;
}

// Empties everything a load fills, keeping the screen size and density the
// caller chose.
void ClearModule(ThemeModule& module) {
    ModuleContext& context = module.context;
    const int width = context.screen_width;
    const int height = context.screen_height;
    const int density = context.density;
    module.name.clear();
    module.path.clear();
    module.template_attributes = Json::Value(Json::objectValue);
    module.screens.clear();
    module.element_groups.clear();
    module.used_categories.clear();
    module.category_list.clear();
    context = ModuleContext{};
    context.screen_width = width;
    context.screen_height = height;
    context.density = density;
}

}  // namespace

bool LoadModuleWith(ThemeModule& module, const std::string& path, ImageSizeCache& sizes) {
    LogInfo("loading module: %s\n", path.c_str());
    ClearModule(module);
    ModuleContext& context = module.context;
    if (!LoadValues(context, path)) {
        LogError("can not parse theme parameters\n");
        return false;
    }
    module.path = path;
    context.module_path = path;

    TiXmlDocument document;
    if (!LoadXmlFile(document, FormatString("%s/%s", path.c_str(), "template.xml"),
                     FolderOf(path))) {
        LogError("can not parse template file\n");
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        LogError("no root node.\n");
        return false;
    }
    if (root->ValueStr() != "package") {
        LogError("root node isn't <package />\n");
        return false;
    }
    if (root->FirstAttribute() == nullptr) {
        LogWarn("no attributes for root node\n");
    } else {
        module.template_attributes = AttributesOf(*root, true);
    }
    if (root->FirstChildElement() == nullptr) {
        LogError("no child nodes for <package />\n");
        return false;
    }
    for (const TiXmlElement* resources = root->FirstChildElement("resources"); resources != nullptr;
         resources = resources->NextSiblingElement("resources")) {
        if (!LoadResourceGroups(*resources, context)) {
            LogError("load resources failed.\n");
            return false;
        }
    }
    if (!LoadCategories(*root, module)) {
        return false;
    }
    // A picture shown on several screens (a wallpaper) is sized once per
    // load.
    for (const TiXmlElement* node = root->FirstChildElement("screen"); node != nullptr;
         node = node->NextSiblingElement("screen")) {
        ThemePackage screen;
        if (!LoadScreen(*node, context, screen, sizes)) {
            LogError("load screen failed.\n");
            return false;
        }
        module.screens.push_back(std::move(screen));
    }
    if (module.screens.empty()) {
        LogError("no <screen /> nodes found.\n");
        return false;
    }
    for (std::size_t i = 0; i < module.screens.size(); ++i) {
        ThemePackage& screen = module.screens[i];
        screen.index = static_cast<int>(i);
        for (std::size_t k = 0; k < screen.elements.size(); ++k) {
            screen.elements[k].screen_id = static_cast<int>(i);
            screen.elements[k].element_id = static_cast<int>(k);
        }
    }
    BuildElementGroups(module);
    BuildUsedCategories(module);
    return true;
}

namespace {

using LoadPictures = decltype(ModuleContext::load_pictures);

// Loads the module again one step after another, with the sizes of the
// files decoded whole and the files found unreadable, so that the first
// failure is met, and logged, where it lies.
bool LoadModuleStrictly(ThemeModule& module, const std::string& path,
                        const std::vector<std::string>& files,
                        const std::vector<std::optional<gfx::Size>>& sizes) {
    ImageSizeCache strict;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (sizes[i]) {
            strict.sizes.emplace(files[i], *sizes[i]);
        } else {
            strict.unreadable.insert(files[i]);
        }
    }
    return LoadModuleWith(module, path, strict);
}

// Decodes files whole side by side on every core; sizes receives the size
// of each sound one, pictures of each when keep. True when all were sound.
bool DecodeWhole(const std::vector<std::string>& files, bool keep, gfx::DecodedPictures* pictures,
                 std::vector<std::optional<gfx::Size>>& sizes, LoadPictures* kept) {
    sizes.assign(files.size(), std::nullopt);
    std::vector<std::shared_ptr<const gfx::Image>> decoded(keep ? files.size() : 0);
    const bool whole = ForEachOnAllCoresInLogOrder(files.size(), [&](std::size_t i) {
        const std::string& file = files[i];
        const int kind = ImageKindOf(file);
        std::shared_ptr<const gfx::Image> picture;
        if (pictures != nullptr && DrawingRuleOf(kind) == gfx::Premultiply::kAll) {
            picture = pictures->Decode(file);
        } else {
            auto own = std::make_shared<gfx::Image>();
            if (gfx::DecodeImage(file, own.get(), DrawingRuleOf(kind))) {
                picture = std::move(own);
            }
        }
        if (!picture) {
            return false;
        }
        sizes[i] = picture->size();
        if (keep) {
            decoded[i] = std::move(picture);
        }
        return true;
    });
    if (whole && kept != nullptr) {
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            kept->emplace(std::pair(files[i], ImageKindOf(files[i])), std::move(decoded[i]));
        }
    }
    return whole;
}

}  // namespace

bool LoadModule(ThemeModule& module, const std::string& path, bool keepPictures,
                gfx::DecodedPictures* pictures) {
    ImageSizeCache sizes;
    sizes.headers_only = true;
    // The lines of the first load wait until its images are known to be
    // whole: a load made again one step after another logs its own.
    bool loaded = false;
    std::vector<std::string> lines;
    {
        HeldLogLines held;
        loaded = LoadModuleWith(module, path, sizes);
        lines = held.Take();
    }
    if (!loaded) {
        ImageSizeCache strict;
        return LoadModuleWith(module, path, strict);
    }
    std::vector<std::optional<gfx::Size>> decodedSizes;
    LoadPictures kept;
    if (DecodeWhole(sizes.to_decode, keepPictures, pictures, decodedSizes, &kept)) {
        WriteLogLines(lines);
        module.context.load_pictures = std::move(kept);
        return true;
    }
    // A file whose header is sound but whose data is not.
    return LoadModuleStrictly(module, path, sizes.to_decode, decodedSizes);
}

bool LoadModuleSized(ThemeModule& module, const std::string& path,
                     std::vector<std::string>& toDecode) {
    ImageSizeCache sizes;
    sizes.headers_only = true;
    const bool loaded = LoadModuleWith(module, path, sizes);
    toDecode = std::move(sizes.to_decode);
    return loaded;
}

bool DecodeLoadedImages(ThemeModule& module, const std::vector<std::string>& files,
                        gfx::DecodedPictures* pictures) {
    std::vector<std::optional<gfx::Size>> sizes;
    LoadPictures kept;
    if (DecodeWhole(files, true, pictures, sizes, &kept)) {
        module.context.load_pictures.merge(kept);
        return true;
    }
    // The module itself is left as it is, for others may be reading it.
    ThemeModule scratch;
    scratch.context.screen_width = module.context.screen_width;
    scratch.context.screen_height = module.context.screen_height;
    scratch.context.density = module.context.density;
    LoadModuleStrictly(scratch, module.path, files, sizes);
    return false;
}

}  // namespace sw
