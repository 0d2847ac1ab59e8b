// The icon-name reader app on the phone: installing it (or copying its
// package file to the phone), starting it, and fetching the app list it
// writes.
#pragma once

#include <string>

#include "device/phone_outcome.h"

namespace sw::device {

// Installs the reader's package file from the data folder ("install -r").
PhoneOutcome InstallIconReader(const std::string& serial);

// Copies the reader's package file to the phone's app folder.
PhoneOutcome CopyIconReaderApk(const std::string& serial);

// Starts the reader on the phone.
PhoneOutcome LaunchIconReader(const std::string& serial);

// Copies the phone's app list to destination. A phone that holds no list
// yet gives kNoIconList.
PhoneOutcome PullIconNames(const std::string& serial, const std::string& destination);

}  // namespace sw::device
