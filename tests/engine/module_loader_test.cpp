#include "engine/module_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "engine/engine_fixture.h"
#include "engine/image_resolve.h"
#include "engine/values.h"
#include "gfx/image.h"
#include "gfx/text.h"

namespace sw {
namespace {

using test::Bgra;
using test::ModuleFolder;
using test::Rgb;
using test::WriteSolidPng;
using test::WriteText;

class ModuleLoaderTest : public ::testing::Test {
  protected:
    ModuleLoaderTest() : log_(folder_.path()), fixture_(folder_ / "launcher") {
        fixture_.WriteDefault();
    }

    bool Load(bool keepPictures = false) {
        module_ = std::make_unique<ThemeModule>();
        module_->context.screen_width = 1080;
        module_->context.screen_height = 1920;
        module_->context.density = 320;
        return LoadModule(*module_, fixture_.path(), keepPictures);
    }

    // A one-screen template holding the given element lines.
    void WriteScreen(const std::string& elements) {
        fixture_.WriteTemplate("  <category list=\"a|b\" />\n  <screen>\n" + elements +
                               "  </screen>\n");
    }

    test::TempFolder folder_;
    test::LogCapture log_;
    ModuleFolder fixture_;
    std::unique_ptr<ThemeModule> module_;
};

TEST_F(ModuleLoaderTest, LoadsScreensElementsAndTheirValues) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(log_.HasSequence({"INFO \tloading module: " + fixture_.path()}));
    const ThemeModule& m = *module_;
    EXPECT_EQ(m.path, fixture_.path());
    EXPECT_EQ(m.context.module_path, fixture_.path());
    std::string pageName;
    ASSERT_TRUE(m.PageName(pageName));
    EXPECT_EQ(pageName, "桌面");
    EXPECT_EQ(m.template_attributes["version"].asString(), "3");
    EXPECT_EQ(m.category_list, (std::vector<std::string>{"壁纸", "图标", "文字"}));
    ASSERT_EQ(m.screens.size(), 2u);
    EXPECT_EQ(m.screens[0].attributes["id"].asString(), "home");
    EXPECT_EQ(m.screens[1].index, 1);

    const ThemeElement& wallpaper = m.screens[0].elements[0];
    EXPECT_EQ(wallpaper.tag, "icon");
    EXPECT_EQ(wallpaper.category, "壁纸");
    EXPECT_EQ(wallpaper.rect, (Rect{0, 0, 1080, 1920}));
    EXPECT_EQ(wallpaper.images, (std::vector<std::string>{fixture_.Image("wallpaper.png")}));
    EXPECT_EQ(wallpaper.image_width, 108);
    EXPECT_EQ(wallpaper.image_height, 192);
    EXPECT_EQ(wallpaper.image_kind, kImageKindPng);
    EXPECT_EQ(wallpaper.context, &m.context);

    const ThemeElement& label = m.screens[0].elements[1];
    EXPECT_EQ(label.text, "Hello");
    EXPECT_EQ(label.size, 40);  // 20dp at density 320
    EXPECT_EQ(label.color, 0xFF000000u);
    const gfx::Size extent = gfx::MeasureText(40, "Hello");
    EXPECT_GT(extent.width, 0);
    EXPECT_EQ(label.rect, (Rect{100, 100, 100 + extent.width, 100 + extent.height}));
    EXPECT_EQ(label.attributes["size"].asString(), "label_size");

    const ThemeElement& block = m.screens[0].elements[2];
    EXPECT_EQ(block.color, 0x800000FFu);
    EXPECT_EQ(block.rect, (Rect{100, 400, 300, 500}));
    EXPECT_EQ(block.screen_id, 0);
    EXPECT_EQ(block.element_id, 2);

    const ThemeElement& icon = m.screens[1].elements[1];
    EXPECT_EQ(icon.screen_id, 1);
    EXPECT_EQ(icon.element_id, 1);
    EXPECT_EQ(icon.rect, (Rect{300, 600, 396, 696}));
}

// One failing module: what to change in the default module, and the log lines
// that must follow one another.
struct FailureCase {
    const char* name;
    std::function<void(ModuleFolder&)> change;
    std::vector<std::string> log;
};

std::string OneScreen(const std::string& elements) {
    return "  <category list=\"a|b\" />\n  <screen>\n" + elements + "  </screen>\n";
}

const char* const kWallpaper =
    "    <icon left=\"zero\" top=\"zero\" width=\"screen_w\" height=\"screen_h\" "
    "res=\"wallpaper\" />\n";

std::vector<std::string> ElementFailure(std::vector<std::string> lines, int position = 0) {
    lines.push_back("ERROR\tinvalid format");
    lines.push_back("ERROR\tload element " + std::to_string(position) + " failed");
    lines.push_back("ERROR\tload screen failed.");
    return lines;
}

std::vector<FailureCase> FailureCases() {
    auto element = [](const std::string& line) {
        return [line](ModuleFolder& m) { m.WriteTemplate(OneScreen("    " + line + "\n")); };
    };
    return {
        {"NoTemplateValues",
         [](ModuleFolder& m) { std::filesystem::remove(m / "template_values.xml"); },
         {"ERROR\tcan not parse template parameter file", "ERROR\tcan not parse theme parameters"}},
        {"BrokenTemplateValues",
         [](ModuleFolder& m) { WriteText(m / "template_values.xml", "<a>"); },
         {"ERROR\tcan not parse template parameter file", "ERROR\tcan not parse theme parameters"}},
        {"NoValuesFolder",
         [](ModuleFolder& m) { std::filesystem::remove_all(m / "content/res/values"); },
         {"ERROR\tfail to search directory.", "ERROR\tcan not parse theme parameters"}},
        {"NoTemplate",
         [](ModuleFolder& m) { std::filesystem::remove(m / "template.xml"); },
         {"ERROR\tcan not parse template file"}},
        {"TemplateIsAFolder",
         [](ModuleFolder& m) {
             std::filesystem::remove(m / "template.xml");
             std::filesystem::create_directory(m / "template.xml");
         },
         {"ERROR\tcan not parse template file"}},
        {"BrokenTemplate",
         [](ModuleFolder& m) { WriteText(m / "template.xml", "<package>"); },
         {"ERROR\tcan not parse template file"}},
        {"NoRoot",
         [](ModuleFolder& m) {
             WriteText(m / "template.xml", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n");
         },
         {"ERROR\tno root node."}},
        {"WrongRoot",
         [](ModuleFolder& m) {
             WriteText(m / "template.xml", "<theme name=\"x\"><screen/></theme>");
         },
         {"ERROR\troot node isn't <package />"}},
        {"NoChildren",
         [](ModuleFolder& m) { m.WriteTemplate(""); },
         {"ERROR\tno child nodes for <package />"}},
        {"ResourceWithoutRes",
         [](ModuleFolder& m) {
             m.WriteTemplate("<resources><wp name=\"w\" /></resources>" + OneScreen(kWallpaper));
         },
         {"ERROR\tname or res property not specified.", "ERROR\tload resources failed."}},
        {"ResourceWithoutName",
         [](ModuleFolder& m) {
             m.WriteTemplate("<resources><wp res=\"w\" /></resources>" + OneScreen(kWallpaper));
         },
         {"ERROR\tname or res property not specified.", "ERROR\tload resources failed."}},
        {"NoCategory",
         [](ModuleFolder& m) {
             m.WriteTemplate(std::string("<screen>") + kWallpaper + "</screen>");
         },
         {"ERROR\tload category list failed."}},
        {"CategoryWithoutList",
         [](ModuleFolder& m) {
             m.WriteTemplate(std::string("<category /><screen>") + kWallpaper + "</screen>");
         },
         {"ERROR\tno list attribute for <category />"}},
        {"CategoryListOfSeparators",
         [](ModuleFolder& m) {
             m.WriteTemplate(std::string("<category list=\"||\" /><screen>") + kWallpaper +
                             "</screen>");
         },
         {"ERROR\tload category list failed."}},
        {"NoScreen",
         [](ModuleFolder& m) { m.WriteTemplate("<category list=\"a\" />"); },
         {"ERROR\tno <screen /> nodes found."}},
        {"EmptyScreen",
         [](ModuleFolder& m) { m.WriteTemplate("<category list=\"a\" /><screen a=\"1\" />"); },
         {"ERROR\tno child nodes for screen node", "ERROR\tload screen failed."}},
        {"UnknownTag",
         element("<image left=\"zero\" />"),
         {"ERROR\tinvalid element node <image />", "ERROR\tload element 0 failed",
          "ERROR\tload screen failed."}},
        {"NoAttributes",
         element("<icon />"),
         {"ERROR\tno attributes for <icon /> node", "ERROR\tload element 0 failed",
          "ERROR\tload screen failed."}},
        {"NoLeft",
         element("<colorblock top=\"zero\" width=\"zero\" height=\"zero\" color=\"c\" />"),
         ElementFailure({"ERROR\tleft not specified"})},
        {"LeftNotFound", element("<colorblock left=\"nope\" top=\"zero\" />"),
         ElementFailure({"ERROR\t'left' field (nope) not found."})},
        {"NoTop", element("<colorblock left=\"zero\" />"),
         ElementFailure({"ERROR\ttop not specified"})},
        {"TopNotFound", element("<colorblock left=\"zero\" top=\"nope\" />"),
         ElementFailure({"ERROR\t'top' field (nope) not found."})},
        {"NoColor", element("<colorblock left=\"zero\" top=\"zero\" />"),
         ElementFailure({"ERROR\tcolor not specified"})},
        {"ColorNotFound", element("<text left=\"zero\" top=\"zero\" color=\"nope\" />"),
         ElementFailure({"ERROR\t'color' field (nope) not found."})},
        {"NoText", element("<text left=\"zero\" top=\"zero\" color=\"label_color\" />"),
         ElementFailure({"ERROR\ttext not specified"})},
        {"NoSize", element("<text left=\"zero\" top=\"zero\" color=\"label_color\" text=\"t\" />"),
         ElementFailure({"ERROR\tsize not specified"})},
        {"SizeNotFound",
         element("<text left=\"zero\" top=\"zero\" color=\"label_color\" text=\"t\" size=\"x\" />"),
         ElementFailure({"ERROR\t'size' field (x) not found."})},
        {"NoRes", element("<icon left=\"zero\" top=\"zero\" />"),
         ElementFailure({"ERROR\tres not specified"})},
        {"UnknownGroup", element("<icon left=\"zero\" top=\"zero\" res=\"@nope\" />"),
         ElementFailure({"ERROR\tcan not get group info"})},
        {"ResOfSeparatorOnly", element("<icon left=\"zero\" top=\"zero\" res=\"|\" />"),
         ElementFailure({"ERROR\tres specified value is empty"})},
        {"ImageMissing", element("<icon left=\"zero\" top=\"zero\" res=\"wallpaper|nope\" />"),
         ElementFailure({"ERROR\timage 'nope' not found.", "ERROR\timg 'nope' not found."})},
        {"NoWidth", element("<icon left=\"zero\" top=\"zero\" res=\"wallpaper\" />"),
         ElementFailure({"ERROR\twidth not specified"})},
        {"WidthNotFound",
         element("<icon left=\"zero\" top=\"zero\" res=\"wallpaper\" width=\"w\" />"),
         ElementFailure({"ERROR\t'width' field (w) not found."})},
        {"NoHeight",
         element("<colorblock left=\"zero\" top=\"zero\" color=\"label_color\" width=\"zero\" />"),
         ElementFailure({"ERROR\theight not specified"})},
        {"HeightNotFound",
         element("<icon left=\"zero\" top=\"zero\" res=\"wallpaper\" width=\"zero\" "
                 "height=\"h\" />"),
         ElementFailure({"ERROR\t'height' field (h) not found."})},
        {"SecondElementFails",
         [](ModuleFolder& m) {
             m.WriteTemplate(OneScreen(std::string(kWallpaper) + "    <mask left=\"zero\" />\n"));
         },
         ElementFailure({"ERROR\ttop not specified"}, 1)},
        {"LaterScreenFails",
         [](ModuleFolder& m) {
             m.WriteTemplate(OneScreen(kWallpaper) + "<screen><text /></screen>");
         },
         {"ERROR\tno attributes for <text /> node", "ERROR\tload element 0 failed",
          "ERROR\tload screen failed."}},
    };
}

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ModuleFailureTest : public ModuleLoaderTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ModuleFailureTest, FailsWithItsLogLines) {
    GetParam().change(fixture_);
    log_.Clear();
    EXPECT_FALSE(Load());
    EXPECT_TRUE(log_.HasSequence(GetParam().log)) << ::testing::PrintToString(log_.Lines());
}

INSTANTIATE_TEST_SUITE_P(Cases, ModuleFailureTest, ::testing::ValuesIn(FailureCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The first image of every element is decoded whole at load (a damaged one
// is refused there); an open keeps those pictures for its drawing.
TEST_F(ModuleLoaderTest, KeepsTheDecodedFirstImagesOnlyWhenAsked) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(module_->context.load_pictures.empty());
    ASSERT_TRUE(Load(true));
    int images = 0;
    for (const ThemePackage& screen : module_->screens) {
        for (const ThemeElement& element : screen.elements) {
            if (element.images.empty()) {
                continue;
            }
            ++images;
            const std::string& first = element.images[0];
            const auto kept = module_->context.load_pictures.find({first, ImageKindOf(first)});
            ASSERT_NE(kept, module_->context.load_pictures.end()) << first;
            EXPECT_EQ(kept->second->width(), element.image_width) << first;
            EXPECT_EQ(kept->second->height(), element.image_height) << first;
        }
    }
    EXPECT_GT(images, 0);
}

TEST_F(ModuleLoaderTest, OptionalPartsOnlyWarn) {
    fixture_.WriteTemplate(
        "<resources />\n<category list=\"a\" />\n<screen>" + std::string(kWallpaper) + "</screen>",
        "");
    ASSERT_TRUE(Load());
    EXPECT_TRUE(log_.HasSequence({"WARN \tno attributes for root node"}));
    EXPECT_TRUE(log_.HasSequence({"WARN \tno child nodes for <resources /> node."}));
    EXPECT_TRUE(log_.HasSequence({"INFO \tno attributes for screen node"}));
    std::string pageName;
    EXPECT_FALSE(module_->PageName(pageName));
}

TEST_F(ModuleLoaderTest, ValuesFilesThatAreNoResourcesAreSkipped) {
    // A style sheet is dropped without a word, a broken file with one line.
    WriteText(fixture_ / "content/res/values/styles.xml", "<style name=\"zero\">99px</style>");
    WriteText(fixture_ / "content/res/values/broken.xml", "<resources><dimen>");
    std::filesystem::create_directory(fixture_ / "content/res/values/folder.xml");
    ASSERT_TRUE(Load());
    EXPECT_EQ(module_->context.values_documents.size(), 2u);  // colors, dimens
    const std::string broken = fixture_ / "content/res/values/broken.xml";
    EXPECT_TRUE(log_.HasSequence({"ERROR\tfail to parse xml: " + broken}));
    for (const std::string& line : log_.Lines()) {
        EXPECT_EQ(line.find("styles.xml"), std::string::npos) << line;
    }
    EXPECT_EQ(module_->screens[0].elements[0].rect.left, 0);
}

TEST_F(ModuleLoaderTest, ImageListsAndGroupsOfResources) {
    WriteSolidPng(fixture_.Image("a.png"), 10, 20, Rgb(1, 2, 3));
    WriteSolidPng(fixture_.Image("b.png"), 30, 40, Rgb(1, 2, 3));
    WriteSolidPng(fixture_.Image("c.9.png"), 3, 3, Bgra(0, 0, 0, 255));
    fixture_.WriteTemplate(
        "<resources>\n"
        "  <r name=\"pair\" res=\"b|a\" desc=\"第一|second\" />\n"
        "  <r name=\"pair\" res=\"c\" />\n"
        "</resources>\n"
        "<category list=\"x\" />\n"
        "<screen>\n"
        "  <icon left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" res=\"a|b|\" "
        "desc=\"one||two\" index=\"1\" />\n"
        "  <icongroup left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" res=\"@pair\" "
        "desc=\"own\" />\n"
        "  <icon left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" res=\"a|c\" />\n"
        "</screen>\n");
    ASSERT_TRUE(Load());
    const auto& elements = module_->screens[0].elements;
    EXPECT_EQ(elements[0].images,
              (std::vector<std::string>{fixture_.Image("a.png"), fixture_.Image("b.png")}));
    EXPECT_EQ(elements[0].descriptions, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(elements[0].image_index, 1);
    EXPECT_EQ(elements[0].image_width, 10);
    EXPECT_EQ(elements[0].image_height, 20);

    // The first group of the name counts; its descriptions follow the own.
    EXPECT_EQ(elements[1].images,
              (std::vector<std::string>{fixture_.Image("b.png"), fixture_.Image("a.png")}));
    EXPECT_EQ(elements[1].descriptions, (std::vector<std::string>{"own", "第一", "second"}));
    EXPECT_EQ(elements[1].image_width, 30);
    EXPECT_EQ(module_->context.resource_groups.size(), 2u);

    // The kind comes from the last image resolved, the size from the first.
    EXPECT_EQ(elements[2].image_kind, kImageKindNinePatch);
    EXPECT_EQ(elements[2].image_width, 10);
}

TEST_F(ModuleLoaderTest, FlagsAreSetByAnyNonEmptyText) {
    WriteScreen(
        "<colorblock left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" "
        "color=\"label_color\" readonly=\"false\" clip=\"0\" redraw=\"\" />\n");
    ASSERT_TRUE(Load());
    const ThemeElement& e = module_->screens[0].elements[0];
    EXPECT_TRUE(e.readonly);
    EXPECT_TRUE(e.clip);
    EXPECT_FALSE(e.redraw);
    EXPECT_EQ(e.category, "");
}

TEST_F(ModuleLoaderTest, AtSignOnlyAtTheStartNamesAGroup) {
    WriteSolidPng(fixture_.Image("a@b.png"), 5, 5, Rgb(1, 2, 3));
    WriteScreen("<icon left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" res=\"a@b\" />\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(module_->screens[0].elements[0].images[0], fixture_.Image("a@b.png"));
}

TEST_F(ModuleLoaderTest, TextRectangleFollowsTextAndSize) {
    fixture_.WriteTemplateValues({{"small", "20px"}, {"large", "40px"}, {"w", "5px"}});
    WriteScreen(
        "<text left=\"zero\" top=\"zero\" text=\"ab\" size=\"small\" color=\"label_color\" "
        "width=\"w\" height=\"w\" />\n"
        "<text left=\"zero\" top=\"zero\" text=\"abcdef\" size=\"small\" color=\"label_color\" />\n"
        "<text left=\"zero\" top=\"zero\" text=\"ab\" size=\"large\" color=\"label_color\" />\n");
    ASSERT_TRUE(Load());
    const auto& e = module_->screens[0].elements;
    // width and height are ignored for text.
    EXPECT_GT(e[0].rect.width(), 5);
    EXPECT_GT(e[1].rect.width(), e[0].rect.width());
    EXPECT_EQ(e[1].rect.height(), e[0].rect.height());
    EXPECT_GT(e[2].rect.width(), e[0].rect.width());
    EXPECT_GT(e[2].rect.height(), e[0].rect.height());
}

// Images that cannot be read fail the element that shows them first.
TEST_F(ModuleLoaderTest, UnreadableFirstImagesFailTheirElement) {
    const std::string good = fixture_.Image("wallpaper.png");
    const std::string png = test::ReadText(good);
    struct Case {
        const char* name;
        std::string bytes;
    };
    // A PNG header that claims 100000 x 100000 pixels (its checksum right).
    std::string forged("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0",
                       29);
    forged += std::string("\xa8\x52\x0b\xc8", 4);  // CRC of the IHDR chunk
    const Case cases[] = {
        {"truncated", png.substr(0, png.size() / 2)},
        {"forged", forged},
        {"text", "not an image at all"},
        {"empty", ""},
        {"jpeg-start-only", std::string("\xff\xd8\xff\xe0", 4)},
    };
    for (const Case& c : cases) {
        const std::string path = fixture_.Image(std::string("bad_") + c.name + ".png");
        WriteText(path, c.bytes);
        WriteScreen(std::string("<icon left=\"zero\" top=\"zero\" width=\"zero\" height=\"zero\" "
                                "res=\"bad_") +
                    c.name + "\" />\n");
        log_.Clear();
        EXPECT_FALSE(Load()) << c.name;
        EXPECT_TRUE(log_.HasSequence(
            ElementFailure({"ERROR\tcan't get size info of '" + path + "'",
                            std::string("ERROR\timg 'bad_") + c.name + "' not found."})))
            << c.name << ::testing::PrintToString(log_.Lines());
    }
}

class ResolveImageTest : public ModuleLoaderTest {
  protected:
    ResolvedImage Resolve(const std::string& name, bool readSize = false) {
        module_ = std::make_unique<ThemeModule>();
        module_->context.module_path = fixture_.path();
        ResolvedImage image;
        resolved_ = ResolveImage(module_->context, name, readSize, image);
        return image;
    }
    bool resolved_ = false;
};

TEST_F(ResolveImageTest, TriesJpgPngNinePatchInXxhdpiThenNodpi) {
    const gfx::Pixel grey = Rgb(128, 128, 128);
    WriteSolidPng(fixture_.Image("a.9.png", true), 3, 3, grey);
    EXPECT_EQ(Resolve("a").path, fixture_.Image("a.9.png", true));
    EXPECT_EQ(Resolve("a").kind, kImageKindNinePatch);
    WriteSolidPng(fixture_.Image("a.png", true), 3, 3, grey);
    EXPECT_EQ(Resolve("a").path, fixture_.Image("a.png", true));
    test::WriteSolidJpeg(fixture_.Image("a.jpg", true), 8, 4, grey);
    EXPECT_EQ(Resolve("a").path, fixture_.Image("a.jpg", true));
    EXPECT_EQ(Resolve("a").kind, kImageKindJpeg);
    // Any file of drawable-xxhdpi comes before every file of drawable-nodpi.
    WriteSolidPng(fixture_.Image("a.9.png"), 3, 3, grey);
    EXPECT_EQ(Resolve("a").path, fixture_.Image("a.9.png"));
    WriteSolidPng(fixture_.Image("a.png"), 6, 7, grey);
    const ResolvedImage png = Resolve("a", true);
    EXPECT_EQ(png.path, fixture_.Image("a.png"));
    EXPECT_EQ(png.kind, kImageKindPng);
    EXPECT_EQ(png.width, 6);
    EXPECT_EQ(png.height, 7);
    // A folder of that name is no image.
    std::filesystem::create_directories(fixture_.Image("a.jpg"));
    EXPECT_EQ(Resolve("a").path, fixture_.Image("a.png"));
    EXPECT_TRUE(resolved_);
}

TEST_F(ResolveImageTest, MissingImageIsLogged) {
    log_.Clear();
    Resolve("nothing");
    EXPECT_FALSE(resolved_);
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"ERROR\timage 'nothing' not found."}));
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// A project received from elsewhere: a link out of the project is never read
// (a values file, an image, the template), a link inside it is, and a FIFO
// never stalls the load.
TEST(HostileModuleTest, LinksOutOfTheProjectAreNotReadAndFifosDoNotStall) {
    test::TempFolder project;
    test::TempFolder outside;
    test::LogCapture log(project.path());
    test::ModuleFolder fixture(project / "launcher");
    fixture.WriteDefault();
    WriteText(outside / "extra.xml",
              "<resources><dimen name=\"outside_value\">5px</dimen></resources>");
    WriteSolidPng(outside / "far.png", 4, 4, Rgb(1, 2, 3));
    WriteText(project / "shared.xml",
              "<resources><dimen name=\"inside_value\">7px</dimen></resources>");
    namespace fs = std::filesystem;
    fs::create_symlink(outside / "extra.xml", fixture / "content/res/values/extra.xml");
    fs::create_symlink("../../../../shared.xml", fixture / "content/res/values/shared.xml");
    ASSERT_EQ(::mkfifo((fixture / "content/res/values/pipe.xml").c_str(), 0644), 0);
    fs::create_symlink(outside / "far.png", fixture.Image("far.png"));

    ThemeModule module;
    module.context.screen_width = 1080;
    module.context.screen_height = 1920;
    module.context.density = 480;
    ASSERT_TRUE(LoadModule(module, fixture.path()));
    std::string value;
    EXPECT_FALSE(LookupValue(module.context, "outside_value", value));
    EXPECT_TRUE(LookupValue(module.context, "inside_value", value));
    EXPECT_EQ(value, "7px");
    ResolvedImage image;
    EXPECT_FALSE(ResolveImage(module.context, "far", false, image));
    bool named = false;
    for (const std::string& line : log.Lines()) {
        named |= line.find(fixture / "content/res/values/extra.xml") != std::string::npos &&
                 line.find("is not read: it is a link to") != std::string::npos;
    }
    EXPECT_TRUE(named);

    // A template that is a link out of the project fails the module.
    fs::rename(fixture / "template.xml", outside / "template.xml");
    fs::create_symlink(outside / "template.xml", fixture / "template.xml");
    ThemeModule linked;
    linked.context.screen_width = 1080;
    linked.context.screen_height = 1920;
    linked.context.density = 480;
    EXPECT_FALSE(LoadModule(linked, fixture.path()));
}

}  // namespace
}  // namespace sw
