// The value lists of the settings forms: a form joins its fields' values with
// "," in a fixed order of field names, and the editor looks each value up by
// the field's name again.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sw::settings {

// A form's field and the values entry it shows.
struct FieldEntry {
    const char* field;
    const char* entry;
};

// A field order: the form's field names, in the order of its list.
using FieldOrder = std::span<const char* const>;

class FormValues {
  public:
    // Cuts list at every "," into one value per field of order. A list that
    // holds another number of values is refused: an ERROR line naming the
    // command is logged and the result is false.
    bool Split(const std::string& list, FieldOrder order, const char* command);

    // How many values the last list held.
    std::size_t received() const { return received_; }

    // The value of a field of the order ("" for a field it does not have).
    const std::string& Text(std::string_view field) const;
    // The value as the C library's atoi reads it (see AtoiValue).
    int Number(std::string_view field) const;
    void SetText(std::string_view field, std::string text);

  private:
    std::size_t IndexOf(std::string_view field) const;

    FieldOrder order_;
    std::vector<std::string> values_;
    std::size_t received_ = 0;
};

// atoi's reading of a text: leading blanks, an optional sign and the digits
// that follow ("-176px" is -176, "px" is 0); values beyond int are clamped.
int AtoiValue(const std::string& text);

// The value truncated toward zero (39.5 is 39, -60.5 is -60), clamped to int.
int TruncatedInt(double value);

// value × factor in double precision, truncated toward zero (15 × 0.66 is 9,
// -176 × 0.5 is -88), clamped to int.
int Scaled(long long value, double factor);

// The width of a preview text: widthPerSize × size, computed in 64 bits and
// clamped to int, so a huge size gives a huge width instead of a wrapped one.
int WidthOfText(int widthPerSize, int size);

// text with every "sp" replaced by "px" ("36sp" is "36px").
std::string SpToPx(std::string text);

}  // namespace sw::settings
