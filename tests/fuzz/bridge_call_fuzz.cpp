// A page's message as the bridge receives it: parsed, its command looked up
// in the main window's table, and its arguments converted to the command's
// kinds. The command itself is not run.
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "host/command_table.h"
#include "host/json_text.h"

namespace {

const sw::host::CommandTables& Tables() {
    static const sw::host::CommandTables* tables = [] {
        auto* built = new sw::host::CommandTables;
        if (!sw::host::BuildStandardCommandTables(*built)) {
            std::abort();
        }
        return built;
    }();
    return *tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Json::Value message;
    if (!sw::host::ParseJson(text, message) || !message.isObject()) {
        return 0;
    }
    // The host reads the members the same way, a wrong kind caught.
    try {
        const std::string name = message["call"].asString();
        message["id"].asUInt64();
        for (const auto windowClass : {sw::host::WindowClass::kStart, sw::host::WindowClass::kMain,
                                       sw::host::WindowClass::kPopup}) {
            const sw::host::CommandRow* row = Tables().Find(windowClass, name);
            if (row != nullptr) {
                std::vector<sw::host::ArgValue> args;
                std::string error;
                sw::host::ConvertArguments(*row, message["args"], args, error);
            }
        }
    } catch (const std::exception&) {
    }
    return 0;
}
