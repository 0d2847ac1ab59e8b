// The phones adb sees, and the choice of the one a command goes to.
#pragma once

#include <string>
#include <vector>

#include "device/phone_outcome.h"

namespace sw::device {

struct AttachedPhone {
    std::string serial;
    std::string state;  // as adb writes it: "device", "unauthorized", "offline", ...

    bool ready() const { return state == "device"; }
};

// The phones of the output of "adb devices", in its order: every line
// "SERIAL<tab>STATE", the serial as it is (blanks, any script, markup).
// Lines without a tab (the header, the server's start-up notes) are passed
// over.
std::vector<AttachedPhone> ParseDeviceList(const std::string& output);

// Asks adb which phones are attached; fails only when adb does.
PhoneOutcome ListPhones(std::vector<AttachedPhone>& phones);

struct PhoneSearch {
    PhoneOutcome outcome;
    std::string serial;                 // the phone to use, when the outcome is ok
    std::vector<AttachedPhone> phones;  // every phone adb listed
};

// Asks adb which phones are attached. With a wanted serial, that phone must
// be attached and ready; without one, exactly one phone must be attached,
// and ready. Several phones give kSeveralPhones with the serials and states
// as the detail, so that the caller can let the designer choose.
PhoneSearch FindPhone(const std::string& wanted);

// "SERIAL (state), SERIAL (state)".
std::string DescribePhones(const std::vector<AttachedPhone>& phones);

}  // namespace sw::device
