// Which phones adb lists, and which one a command goes to.
#include "device/attached_phones.h"

#include "device/device_fixture.h"

namespace sw::test {
namespace {

using device::PhoneFailure;

TEST(DeviceListTest, OnlySerialAndStateLinesArePhones) {
    const std::string output =
        "* daemon not running; starting now at tcp:5037\n"
        "* daemon started successfully\n"
        "List of devices attached\n"
        "0123456789ABCDEF\tdevice\r\n"
        "192.168.1.20:5555\toffline\n"
        "R58M12\tunauthorized\n"
        "ZX1G22\tno permissions (user in plugdev group; are your udev rules wrong?)\n"
        "\n";
    const auto phones = device::ParseDeviceList(output);
    ASSERT_EQ(phones.size(), 4u);
    EXPECT_EQ(phones[0].serial, "0123456789ABCDEF");
    EXPECT_EQ(phones[0].state, "device");
    EXPECT_TRUE(phones[0].ready());
    EXPECT_EQ(phones[1].serial, "192.168.1.20:5555");
    EXPECT_EQ(phones[1].state, "offline");
    EXPECT_EQ(phones[2].state, "unauthorized");
    EXPECT_FALSE(phones[2].ready());
    EXPECT_EQ(phones[3].state,
              "no permissions (user in plugdev group; are your udev rules wrong?)");
    EXPECT_TRUE(device::ParseDeviceList("List of devices attached\n\n").empty());
}

// A phone whose serial held a blank used to be left out, so that with two
// phones the push went to the other one without a word.
TEST(DeviceListTest, SerialsWithBlanksScriptsAndMarkupArePhones) {
    const char* const serials[] = {"My Phone 2", "小米 手机", "<b>x</b>&amp;'\"", " lead",
                                   "a\x01b"};
    for (const char* serial : serials) {
        const auto phones = device::ParseDeviceList(
            std::string("List of devices attached\nA1\tdevice\n") + serial + "\tdevice\n\n");
        ASSERT_EQ(phones.size(), 2u) << serial;
        EXPECT_EQ(phones[1].serial, serial);
        EXPECT_EQ(phones[1].state, "device");
    }
    EXPECT_TRUE(device::ParseDeviceList("\tdevice\n").empty()) << "no serial, no phone";
}

class FindPhoneTest : public DeviceTest {};

TEST_F(FindPhoneTest, ThePhoneToUseOrWhyThereIsNone) {
    struct Case {
        const char* phones;
        const char* wanted;
        PhoneFailure failure;
        const char* serial;
        const char* detail;
    };
    const Case cases[] = {
        {"A1\tdevice\n", "", PhoneFailure::kNone, "A1", ""},
        {"", "", PhoneFailure::kNoPhone, "", ""},
        {"A1\tunauthorized\n", "", PhoneFailure::kUnauthorized, "", ""},
        {"A1\toffline\n", "", PhoneFailure::kOffline, "", "offline"},
        {"A1\tdevice\nB2\tunauthorized\n", "", PhoneFailure::kSeveralPhones, "",
         "A1 (device), B2 (unauthorized)"},
        {"A1\tdevice\nB2\tdevice\n", "B2", PhoneFailure::kNone, "B2", ""},
        {"A1\tdevice\nB2\tunauthorized\n", "B2", PhoneFailure::kUnauthorized, "", ""},
        {"A1\tdevice\n", "C3", PhoneFailure::kPhoneNotFound, "", "C3"},
        {"A1\tdevice\nMy Phone\tdevice\n", "", PhoneFailure::kSeveralPhones, "",
         "A1 (device), My Phone (device)"},
        {"A1\tdevice\nMy Phone\tdevice\n", "My Phone", PhoneFailure::kNone, "My Phone", ""},
        {"小米 手机\tdevice\n", "", PhoneFailure::kNone, "小米 手机", ""},
        {"<i>x</i>\tunauthorized\n", "<i>x</i>", PhoneFailure::kUnauthorized, "", ""},
    };
    for (const Case& c : cases) {
        phone_.SetPhones(c.phones);
        const device::PhoneSearch search = device::FindPhone(c.wanted);
        EXPECT_EQ(search.outcome.failure, c.failure) << c.phones << " wanted " << c.wanted;
        EXPECT_EQ(search.serial, c.serial) << c.phones;
        EXPECT_EQ(search.outcome.detail, c.detail) << c.phones;
    }
}

TEST_F(FindPhoneTest, AnAdbThatFailsOrHangsIsNoPhoneList) {
    phone_.FailOn("devices");
    EXPECT_EQ(device::FindPhone("").outcome.failure, PhoneFailure::kCommandFailed);
    phone_.Heal();
    phone_.HangOn("devices");
    device::AdbTimeLimits limits;
    limits.devices = 300;
    device::SetAdbTimeLimits(limits);
    EXPECT_EQ(device::FindPhone("").outcome.failure, PhoneFailure::kTimedOut);
    ::setenv("SKINWRIGHT_ADB", (folder_ / "missing-adb").c_str(), 1);
    EXPECT_EQ(device::FindPhone("").outcome.failure, PhoneFailure::kAdbMissing);
}

// What adb says when a command finds no phone to run on is told as the
// phone's state, not as a failed command.
TEST(AdbOutcomeTest, AdbsPhoneMessagesNameThePhonesState) {
    struct Case {
        const char* output;
        PhoneFailure failure;
    };
    const Case cases[] = {
        {"adb: no devices/emulators found\n", PhoneFailure::kNoPhone},
        {"error: device unauthorized.\nThis adb server's $ADB_VENDOR_KEYS is not set\n",
         PhoneFailure::kUnauthorized},
        {"adb: device offline\n", PhoneFailure::kOffline},
        {"adb: error: failed to copy 'a' to 'b': No space left on device\n",
         PhoneFailure::kCommandFailed},
    };
    for (const Case& c : cases) {
        device::AdbResult result;
        result.started = true;
        result.exit_code = 1;
        result.output = c.output;
        EXPECT_EQ(device::OutcomeOf(result).failure, c.failure) << c.output;
    }
}

}  // namespace
}  // namespace sw::test
