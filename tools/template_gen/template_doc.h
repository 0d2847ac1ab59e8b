// The text documents of a template module: template.xml with its screens and
// elements, values files, layout documents. Element geometry is written by
// value name; the values themselves are collected in a ValueTable so that one
// name always holds one value.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sw::template_gen {

struct Attribute {
    std::string name;
    std::string value;
};

std::string XmlEscape(const std::string& text);

// Indented XML text (four blanks a level), as the program's XML library
// prints it.
class XmlText {
  public:
    XmlText();
    void Open(const std::string& tag, const std::vector<Attribute>& attributes = {});
    void Leaf(const std::string& tag, const std::vector<Attribute>& attributes);
    void TextLeaf(const std::string& tag, const std::vector<Attribute>& attributes,
                  const std::string& text);
    void Comment(const std::string& text);
    void Close(const std::string& tag);
    const std::string& str() const { return text_; }

  private:
    void Indent();
    std::string Attributes(const std::vector<Attribute>& attributes) const;
    std::string text_;
    int depth_ = 0;
};

// Ordered named texts; setting a name twice with different texts stops the
// generator (one name, one value).
class ValueTable {
  public:
    void Set(const std::string& name, const std::string& value);
    void SetPx(const std::string& name, int pixels);
    const std::string& Get(const std::string& name) const;
    int GetInt(const std::string& name) const;
    const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// A values document: <resources> with one entry per name, of one kind (dimen,
// integer, bool, color). Comments introduce groups of entries.
class ValuesDoc {
  public:
    explicit ValuesDoc(std::string kind) : kind_(std::move(kind)) {}
    void Comment(const std::string& text);
    // An entry of the document's kind, or of another kind when given.
    void Add(const std::string& name, const std::string& value, const std::string& kind = "");
    void AddAll(const ValueTable& table);
    std::string str() const;

  private:
    struct Item {
        std::string kind;  // "" for a comment
        std::string name;
        std::string value;
    };
    std::string kind_;
    std::vector<Item> items_;
};

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct ResourceGroup {
    std::string tag;
    std::string name;
    std::string res;
    std::string desc;
};

struct Element {
    std::string tag;
    std::string left, top, width, height, size;  // value names
    std::string res, text, color, category, desc;
    bool readonly = false;
    int index = -1;
};

struct Screen {
    std::string desc;
    std::vector<Element> elements;
};

struct ModuleDoc {
    std::string name;
    std::string version;
    std::vector<ResourceGroup> groups;
    std::string categories;
    std::vector<Screen> screens;
};

std::string TemplateXml(const ModuleDoc& module);

// Element makers. The four value names are prefix + "_x", "_y", "_w", "_h"
// unless given one by one; the geometry goes into values.
Element ImageElement(ValueTable& values, const std::string& tag, const std::string& res,
                     const std::string& prefix, const Box& box, const std::string& category);
Element ImageElementNamed(ValueTable& values, const std::string& tag, const std::string& res,
                          const std::string& xName, const std::string& yName,
                          const std::string& wName, const std::string& hName, const Box& box,
                          const std::string& category);
// A text: left, top and size value names; the colour is a value name only.
Element TextElement(ValueTable& values, const std::string& text, const std::string& color,
                    const std::string& xName, const std::string& yName, const std::string& sizeName,
                    int x, int y, int size, const std::string& category);

// A layout value scaled for a density as the editors scale it: the double
// product truncated toward zero.
int Scale(int value, double factor);

}  // namespace sw::template_gen
