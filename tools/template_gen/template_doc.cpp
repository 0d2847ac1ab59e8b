#include "template_doc.h"

#include <cstdio>
#include <cstdlib>

#include "gen_util.h"

namespace sw::template_gen {

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

XmlText::XmlText() : text_("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") {}

void XmlText::Indent() {
    text_.append(static_cast<std::size_t>(depth_) * 4, ' ');
}

std::string XmlText::Attributes(const std::vector<Attribute>& attributes) const {
    std::string out;
    for (const Attribute& attribute : attributes) {
        out += " " + attribute.name + "=\"" + XmlEscape(attribute.value) + "\"";
    }
    return out;
}

void XmlText::Open(const std::string& tag, const std::vector<Attribute>& attributes) {
    Indent();
    text_ += "<" + tag + Attributes(attributes) + ">\n";
    ++depth_;
}

void XmlText::Leaf(const std::string& tag, const std::vector<Attribute>& attributes) {
    Indent();
    text_ += "<" + tag + Attributes(attributes) + " />\n";
}

void XmlText::TextLeaf(const std::string& tag, const std::vector<Attribute>& attributes,
                       const std::string& text) {
    Indent();
    text_ += "<" + tag + Attributes(attributes) + ">" + XmlEscape(text) + "</" + tag + ">\n";
}

void XmlText::Comment(const std::string& text) {
    Indent();
    text_ += "<!-- " + text + " -->\n";
}

void XmlText::Close(const std::string& tag) {
    --depth_;
    Indent();
    text_ += "</" + tag + ">\n";
}

void ValueTable::Set(const std::string& name, const std::string& value) {
    for (const auto& [known, text] : entries_) {
        if (known == name) {
            if (text != value) {
                std::fprintf(stderr, "template_gen: value %s set to %s and %s\n", name.c_str(),
                             text.c_str(), value.c_str());
                std::exit(1);
            }
            return;
        }
    }
    entries_.emplace_back(name, value);
}

void ValueTable::SetPx(const std::string& name, int pixels) {
    Set(name, Format("%dpx", pixels));
}

const std::string& ValueTable::Get(const std::string& name) const {
    for (const auto& [known, text] : entries_) {
        if (known == name) {
            return text;
        }
    }
    std::fprintf(stderr, "template_gen: no value %s\n", name.c_str());
    std::exit(1);
}

int ValueTable::GetInt(const std::string& name) const {
    return std::atoi(Get(name).c_str());
}

void ValuesDoc::Comment(const std::string& text) {
    items_.push_back({"", "", text});
}

void ValuesDoc::Add(const std::string& name, const std::string& value, const std::string& kind) {
    items_.push_back({kind.empty() ? kind_ : kind, name, value});
}

void ValuesDoc::AddAll(const ValueTable& table) {
    for (const auto& [name, value] : table.entries()) {
        Add(name, value);
    }
}

std::string ValuesDoc::str() const {
    XmlText xml;
    xml.Open("resources");
    for (const Item& item : items_) {
        if (item.kind.empty()) {
            xml.Comment(item.value);
        } else {
            xml.TextLeaf(item.kind, {{"name", item.name}}, item.value);
        }
    }
    xml.Close("resources");
    return xml.str();
}

std::string TemplateXml(const ModuleDoc& module) {
    XmlText xml;
    xml.Open("package", {{"name", module.name}, {"version", module.version}});
    if (!module.groups.empty()) {
        xml.Open("resources");
        for (const ResourceGroup& group : module.groups) {
            std::vector<Attribute> attributes = {{"name", group.name}, {"res", group.res}};
            if (!group.desc.empty()) {
                attributes.push_back({"desc", group.desc});
            }
            xml.Leaf(group.tag, attributes);
        }
        xml.Close("resources");
    }
    xml.Leaf("category", {{"list", module.categories}});
    for (const Screen& screen : module.screens) {
        xml.Open("screen", {{"desc", screen.desc}});
        for (const Element& element : screen.elements) {
            std::vector<Attribute> attributes;
            auto add = [&](const char* name, const std::string& value) {
                if (!value.empty()) {
                    attributes.push_back({name, value});
                }
            };
            add("left", element.left);
            add("top", element.top);
            add("width", element.width);
            add("height", element.height);
            add("res", element.res);
            if (element.index >= 0) {
                add("index", std::to_string(element.index));
            }
            add("text", element.text);
            add("size", element.size);
            add("color", element.color);
            add("category", element.category);
            add("desc", element.desc);
            if (element.readonly) {
                add("readonly", "true");
            }
            xml.Leaf(element.tag, attributes);
        }
        xml.Close("screen");
    }
    xml.Close("package");
    return xml.str();
}

Element ImageElementNamed(ValueTable& values, const std::string& tag, const std::string& res,
                          const std::string& xName, const std::string& yName,
                          const std::string& wName, const std::string& hName, const Box& box,
                          const std::string& category) {
    values.SetPx(xName, box.x);
    values.SetPx(yName, box.y);
    values.SetPx(wName, box.w);
    values.SetPx(hName, box.h);
    Element element;
    element.tag = tag;
    element.left = xName;
    element.top = yName;
    element.width = wName;
    element.height = hName;
    element.res = res;
    element.category = category;
    return element;
}

Element ImageElement(ValueTable& values, const std::string& tag, const std::string& res,
                     const std::string& prefix, const Box& box, const std::string& category) {
    return ImageElementNamed(values, tag, res, prefix + "_x", prefix + "_y", prefix + "_w",
                             prefix + "_h", box, category);
}

Element TextElement(ValueTable& values, const std::string& text, const std::string& color,
                    const std::string& xName, const std::string& yName, const std::string& sizeName,
                    int x, int y, int size, const std::string& category) {
    values.SetPx(xName, x);
    values.SetPx(yName, y);
    values.SetPx(sizeName, size);
    Element element;
    element.tag = "text";
    element.left = xName;
    element.top = yName;
    element.size = sizeName;
    element.text = text;
    element.color = color;
    element.category = category;
    return element;
}

int Scale(int value, double factor) {
    return static_cast<int>(value * factor);
}

}  // namespace sw::template_gen
