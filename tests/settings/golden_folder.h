// Golden folders: a small project (tests/settings/golden/CASE/input) that a
// save rewrites, and the project as it must be afterwards (.../expected).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sw::test {

// tests/settings/golden/CASE/WHICH in the source tree.
std::string GoldenFolder(const std::string& name, const std::string& which);

// Copies every file below from into to (made first).
void CopyTree(const std::string& from, const std::string& to);

// The differences between the two trees, one line each (a file missing on
// either side, or the first line where a file differs); empty when equal.
std::vector<std::string> CompareTrees(const std::string& expected, const std::string& actual);

// A form's fields and values in the order of its value list.
using FormList = std::vector<std::pair<std::string, std::string>>;

// The values joined with "," in the order given.
std::string ValueList(const FormList& fields);

// The list with some fields' values replaced.
FormList With(FormList fields, const FormList& changes);

// The lists each form sends for the golden projects, in the forms' orders:
// the values those projects hold.
FormList LockscreenList();
FormList CallscreenList();
FormList WeatherList();
FormList AnimatorList();

}  // namespace sw::test
