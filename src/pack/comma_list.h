// Lists written as texts with a comma between items.
#pragma once

#include <string>
#include <vector>

namespace sw::pack {

// Every piece of text between commas, empty ones included: "a,,b" gives
// "a", "" and "b"; "" gives one empty piece.
std::vector<std::string> SplitAtCommas(const std::string& text);

}  // namespace sw::pack
