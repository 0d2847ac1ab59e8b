// The command tables through which pages call the host.
//
// Every window class has one table; a row names one command: its name, the
// kinds of its arguments, the kind of its result and its handler. Names are
// looked up without regard to case. Rows are added by command groups (files
// of src/host/commands/, see command_group.h); a name given twice in one
// table makes Build fail, and the host then refuses to start.
#pragma once

#include <json/value.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sw::host {

class Host;
class Window;

enum class WindowClass {
    kStart,   // the start window (page 106)
    kMain,    // the main editor window (page 104)
    kPopup,   // a popup showing a settings page or an alert (page 108)
    kDialog,  // a popup showing one of the host's file, folder or colour dialogs
};

// "start", "main", "popup", "dialog".
const char* WindowClassName(WindowClass windowClass);

enum class ArgKind {
    kText,    // a text; a number arrives as its decimal text, null as ""
    kNumber,  // a 32-bit signed integer; a numeric text is read, a fraction rounded
};

enum class ResultKind {
    kNone,     // the page receives undefined
    kBoolean,  // true or false
    kText,     // a string
};

// One argument after conversion: a text argument fills text, a number
// argument fills number and its decimal text.
struct ArgValue {
    std::string text;
    int number = 0;
};

// One page call as its handler sees it.
class CommandCall {
  public:
    CommandCall(Window& window, std::string name, std::vector<ArgValue> args);

    Window& window() const { return *window_; }
    Host& host() const;
    // The name as the table spells it.
    const std::string& name() const { return name_; }
    std::size_t size() const { return args_.size(); }
    const std::string& text(std::size_t index) const;
    int number(std::size_t index) const;

  private:
    Window* window_;
    std::string name_;
    std::vector<ArgValue> args_;
};

// What a handler returns: nothing, a boolean or a text.
struct CommandResult {
    std::variant<std::monostate, bool, std::string> value;

    static CommandResult None() { return {}; }
    static CommandResult Boolean(bool b) { return {b}; }
    static CommandResult Text(std::string text) { return {std::move(text)}; }
};

using CommandHandler = std::function<CommandResult(CommandCall&)>;

struct CommandRow {
    std::string name;
    std::vector<ArgKind> args;
    ResultKind result = ResultKind::kNone;
    CommandHandler handler;
};

// count text arguments.
std::vector<ArgKind> Texts(std::size_t count);

class CommandTables {
  public:
    void Add(WindowClass windowClass, CommandRow row);
    void Add(WindowClass windowClass, std::initializer_list<CommandRow> rows);

    // Builds the lookup of every table. False, with an ERROR line for each,
    // when a table holds a name twice (compared without regard to case) or a
    // row has no handler.
    bool Build();
    bool built() const { return built_; }

    // The row named name (any case) of the class's table; null when absent
    // or before Build.
    const CommandRow* Find(WindowClass windowClass, std::string_view name) const;

    // The rows of one table in the order they were added.
    const std::vector<CommandRow>& Rows(WindowClass windowClass) const;

  private:
    struct Table {
        std::vector<CommandRow> rows;
        std::map<std::string, std::size_t> index;  // lower-case name -> row
    };
    Table& TableOf(WindowClass windowClass);
    const Table& TableOf(WindowClass windowClass) const;

    Table tables_[4];
    bool built_ = false;
};

// The lower-case form of an ASCII name (the lookup key).
std::string LowerName(std::string_view name);

// Converts the page's JSON arguments to the row's kinds. False with a reason
// for the page when the count differs or a value cannot be converted.
bool ConvertArguments(const CommandRow& row, const Json::Value& args, std::vector<ArgValue>& out,
                      std::string& error);

// The handler's result as the JSON value the page receives (null for none).
// A result of another kind than the row declares is logged and converted.
Json::Value ResultToJson(const CommandRow& row, const CommandResult& result);

// Fills tables with the rows of every command group and builds them.
bool BuildStandardCommandTables(CommandTables& tables);

}  // namespace sw::host
