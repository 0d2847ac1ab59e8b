// How a phone operation ended, and the words that tell the designer why it
// failed: one text for the pages (Chinese, like every text of the editor)
// and one for the command line.
#pragma once

#include <string>

#include "device/adb.h"

namespace sw::device {

enum class PhoneFailure {
    kNone,
    kAdbMissing,         // adb could not be started
    kTimedOut,           // adb gave no answer within its time limit
    kCommandFailed,      // adb ended with a non-zero exit code (detail: its last line)
    kNoPhone,            // no phone is attached
    kUnauthorized,       // the phone has not authorised this computer
    kOffline,            // the phone is attached but not ready (detail: its state)
    kSeveralPhones,      // several phones and none was named
    kPhoneNotFound,      // the named phone is not attached (detail: the serial)
    kBusy,               // another push is using the staging folder
    kArchiveMissing,     // the archive is not a file (detail: the path)
    kArchiveUnreadable,  // the archive cannot be unpacked (detail: the path)
    kNoMeta,             // the archive has no readable meta.json
    kBadResourceId,      // meta.json's resource_id is not an integer
    kStagingFailed,      // the staging folder cannot be made (detail: the path)
    kIncomplete,         // adb pushed less than the theme holds (detail: what arrived)
    kIconReaderMissing,  // the icon reader's package file is missing (detail: the path)
    kNoIconList,         // the phone holds no icon-name file yet
};

struct PhoneOutcome {
    PhoneFailure failure = PhoneFailure::kNone;
    std::string detail;

    bool ok() const { return failure == PhoneFailure::kNone; }
};

// The outcome of an adb command: kNone, kAdbMissing, kTimedOut, or
// kCommandFailed with adb's last line (or a phone failure that line names).
PhoneOutcome OutcomeOf(const AdbResult& result);

// True for failures that lie with the archive or this computer (adb, the
// staging folder, the icon reader's package) rather than with the phone or
// its connection.
bool LiesWithThisComputer(PhoneFailure failure);

// "" for kNone.
std::string PageText(const PhoneOutcome& outcome);
std::string ConsoleText(const PhoneOutcome& outcome);

}  // namespace sw::device
