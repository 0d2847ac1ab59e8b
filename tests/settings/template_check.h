// What the editors, the packer and the pages rely on in the template folder:
// its files, the names of its values, the elements of its layouts, the
// screen-0 elements by id and the description files.
#pragma once

#include <string>
#include <vector>

namespace sw::test {

// One line per thing missing or wrong in the template folder at root (the
// folder holding launcher, lockscreen and screencall); empty when complete.
std::vector<std::string> CheckTemplate(const std::string& root);

}  // namespace sw::test
