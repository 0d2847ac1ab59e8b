#include "settings/form_values.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "core/log.h"

namespace sw::settings {

bool FormValues::Split(const std::string& list, FieldOrder order, const char* command) {
    order_ = order;
    values_.clear();
    std::size_t start = 0;
    while (true) {
        std::size_t comma = list.find(',', start);
        values_.push_back(list.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    received_ = values_.size();
    if (received_ != order.size()) {
        LogError("%s: the value list holds %zu values, %zu expected; nothing saved\n", command,
                 received_, order.size());
        values_.assign(order.size(), "");
        return false;
    }
    return true;
}

std::size_t FormValues::IndexOf(std::string_view field) const {
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (field == order_[i]) {
            return i;
        }
    }
    return values_.size();
}

const std::string& FormValues::Text(std::string_view field) const {
    static const std::string kNone;
    std::size_t index = IndexOf(field);
    return index < values_.size() ? values_[index] : kNone;
}

int FormValues::Number(std::string_view field) const {
    return AtoiValue(Text(field));
}

void FormValues::SetText(std::string_view field, std::string text) {
    std::size_t index = IndexOf(field);
    if (index < values_.size()) {
        values_[index] = std::move(text);
    }
}

int AtoiValue(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

int TruncatedInt(double value) {
    const double whole = std::trunc(value);
    if (!(whole < static_cast<double>(INT_MAX))) {
        return INT_MAX;
    }
    if (whole <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(whole);
}

int Scaled(long long value, double factor) {
    return TruncatedInt(static_cast<double>(value) * factor);
}

int WidthOfText(int widthPerSize, int size) {
    const long long width = static_cast<long long>(widthPerSize) * size;
    return static_cast<int>(std::clamp<long long>(width, INT_MIN, INT_MAX));
}

std::string SpToPx(std::string text) {
    for (std::size_t at = text.find("sp"); at != std::string::npos; at = text.find("sp", at + 2)) {
        text.replace(at, 2, "px");
    }
    return text;
}

}  // namespace sw::settings
