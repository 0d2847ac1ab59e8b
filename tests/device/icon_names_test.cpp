// The phone's app list: reading iconNames.xml, and the icon reader's
// commands.
#include "device/icon_names.h"

#include "device/device_fixture.h"
#include "device/icon_reader.h"

namespace sw::test {
namespace {

using device::IconName;
using device::IconNamesRead;
using device::PhoneFailure;

class IconNamesTest : public DeviceTest {
  protected:
    IconNamesRead Read(const std::string& xml, std::vector<IconName>& names) {
        const std::string file = folder_ / "home/iconNames.xml";
        WriteText(file, xml);
        return device::ReadIconNames(file, names);
    }
};

TEST_F(IconNamesTest, OnlyApplicationsAreListedInDocumentOrder) {
    std::vector<IconName> names;
    ASSERT_EQ(Read(R"(<?xml version="1.0" encoding="utf-8"?>
<ICONS>
  <icon icon_name="com_android_dialer.png" type="Application" title="电话" />
  <icon icon_name="widget_clock.png" type="Widget" title="Clock widget" />
  <note>not an app</note>
  <icon icon_name="com_example_cafe.png" type="Application" title="Rosie's Café" />
  <icon icon_name="shortcut.png" type="application" title="Lower case" />
  <icon icon_name="com_example_untitled.png" type="Application" />
  <icon icon_name="../../escape.png" type="Application" title="Escapes" />
  <icon icon_name="" type="Application" title="No icon" />
  <icon icon_name="a,b.png" type="Application" title="Comma, Inc." />
</ICONS>
)",
                   names),
              IconNamesRead::kRead);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0].title, "电话");
    EXPECT_EQ(names[0].icon, "com_android_dialer.png");
    EXPECT_EQ(names[1].title, "Rosie's Café");
    EXPECT_EQ(names[2].title, "com_example_untitled.png");
    EXPECT_EQ(names[3].title, "Comma, Inc.");
    EXPECT_EQ(device::IconFileList(names),
              "com_android_dialer.png,com_example_cafe.png,com_example_untitled.png,a,b.png,");
    EXPECT_EQ(device::IconTitleList(names),
              "电话,Rosie's Café,com_example_untitled.png,Comma, Inc.,");
    EXPECT_NE(log().find("WARN \ticonNames.xml: an app with the icon name \"../../escape.png\""),
              std::string::npos);
}

TEST_F(IconNamesTest, ABrokenOrEmptyFileIsLogged) {
    struct Case {
        const char* xml;
        IconNamesRead read;
        const char* log;
    };
    const Case cases[] = {
        {"<ICONS><icon", IconNamesRead::kBroken, "can not parse template_values.xml file\n"},
        {"<!-- nothing -->", IconNamesRead::kBroken, "can not parse template_values.xml file\n"},
        {"<resources><icon icon_name=\"a.png\" type=\"Application\" /></resources>",
         IconNamesRead::kBroken, "iconNames.xml root node isn't <resources />\n"},
        {"<ICONS></ICONS>", IconNamesRead::kRead,
         "iconNames.xml no child nodes for <resources />\n"},
    };
    for (const Case& c : cases) {
        std::vector<IconName> names = {{"stale", "stale.png"}};
        EXPECT_EQ(Read(c.xml, names), c.read) << c.xml;
        EXPECT_TRUE(names.empty()) << c.xml;
        EXPECT_NE(log().find(std::string("ERROR\t") + c.log), std::string::npos) << c.xml;
    }
}

TEST_F(IconNamesTest, AMissingFileIsNotAnError) {
    std::vector<IconName> names;
    EXPECT_EQ(device::ReadIconNames(folder_ / "home/iconNames.xml", names),
              IconNamesRead::kMissing);
    EXPECT_EQ(log().find("ERROR"), std::string::npos);
}

class IconReaderTest : public DeviceTest {};

TEST_F(IconReaderTest, TheReaderIsInstalledStartedAndItsListFetched) {
    const std::string apk = folder_ / "data/ViveDereDodudo.apk";
    WriteText(apk, "apk bytes");
    EXPECT_TRUE(device::InstallIconReader("SIM001").ok());
    EXPECT_TRUE(device::LaunchIconReader("SIM001").ok());
    EXPECT_TRUE(device::CopyIconReaderApk("SIM001").ok());
    EXPECT_EQ(ReadText(phone_.PhoneRoot() + "/installed/ViveDereDodudo.apk"), "apk bytes");
    EXPECT_EQ(ReadText(phone_.PhoneRoot() + "/data/app/ViveDereDodudo.apk"), "apk bytes");
    EXPECT_EQ(ReadText(phone_.PhoneRoot() + "/launched"), "com.pellor.vivederedodudo\n");

    const std::string destination = folder_ / "home/iconNames.xml";
    EXPECT_EQ(device::PullIconNames("SIM001", destination).failure, PhoneFailure::kNoIconList);
    EXPECT_FALSE(IsFile(destination));
    WriteText(phone_.PhoneRoot() + "/sdcard/iconNames.xml", "<ICONS/>");
    EXPECT_TRUE(device::PullIconNames("SIM001", destination).ok());
    EXPECT_EQ(ReadText(destination), "<ICONS/>");
}

TEST_F(IconReaderTest, AMissingPackageFileIsToldWithoutAskingThePhone) {
    for (auto operation : {&device::InstallIconReader, &device::CopyIconReaderApk}) {
        const device::PhoneOutcome outcome = operation("SIM001");
        EXPECT_EQ(outcome.failure, PhoneFailure::kIconReaderMissing);
        EXPECT_EQ(outcome.detail, folder_ / "data/ViveDereDodudo.apk");
    }
    EXPECT_TRUE(phone_.Calls().empty());
}

}  // namespace
}  // namespace sw::test
