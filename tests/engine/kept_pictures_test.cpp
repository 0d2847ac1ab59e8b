// Decoded pictures kept between drawings: used while their file is as it
// was, read again once it changed, and let go of when the room is full.
#include "engine/kept_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "engine/engine_fixture.h"
#include "gfx/image_decode.h"

namespace sw {
namespace {

class KeptPicturesTest : public ::testing::Test {
  public:
    ~KeptPicturesTest() override { KeepPictures(0); }

    // The picture of path through the store, counting the real reads.
    KeptPicture Get(const std::string& path) {
        return KeptOrDecoded(path, 0, [&]() -> KeptPicture {
            ++reads_[path];
            auto image = std::make_shared<gfx::Image>();
            if (!gfx::DecodeImage(path, image.get())) {
                return nullptr;
            }
            return image;
        });
    }

    // A 10 x 10 picture is 400 bytes.
    std::string Solid(const std::string& name, gfx::Pixel color, int size = 10) const {
        const std::string path = folder_ / name;
        test::WriteSolidPng(path, size, size, color, true);
        return path;
    }

    test::TempFolder folder_;
    std::map<std::string, int> reads_;
};

TEST_F(KeptPicturesTest, APictureIsReadAgainOnlyOnceItsFileChanged) {
    const struct {
        const char* what;
        std::function<void(const std::string& path, KeptPicturesTest& test)> change;
        int reads;  // of the file over both uses
        bool found;
    } cases[] = {
        {"unchanged", [](const std::string&, KeptPicturesTest&) {}, 1, true},
        {"replaced through a rename",
         [](const std::string& path, KeptPicturesTest& test) {
             const std::string other = test.Solid("other.png", test::Rgb(0, 0, 255));
             ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
         },
         2, true},
        {"written in place with another size",
         [](const std::string& path, KeptPicturesTest&) {
             test::WriteSolidPng(path, 12, 12, test::Rgb(0, 0, 255), true);
         },
         2, true},
        {"removed", [](const std::string& path, KeptPicturesTest&) { std::remove(path.c_str()); },
         2, false},
        {"forgotten",
         [](const std::string& path, KeptPicturesTest&) {
             ForgetPictures({"/elsewhere.png", path});
         },
         2, true},
    };
    KeepPictures(1 << 20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reads_.clear();
        const std::string path = Solid("picture.png", test::Rgb(255, 0, 0));
        ForgetPictures({path});
        const KeptPicture first = Get(path);
        ASSERT_NE(first, nullptr);
        c.change(path, *this);
        const KeptPicture second = Get(path);
        EXPECT_EQ(reads_[path], c.reads);
        ASSERT_EQ(second != nullptr, c.found);
        if (c.found && c.reads == 2) {
            EXPECT_NE(second, first);
            gfx::Image now;
            ASSERT_TRUE(gfx::DecodeImage(path, &now));
            EXPECT_EQ(second->width(), now.width());
            EXPECT_EQ(second->PixelAt(1, 1).b, now.PixelAt(1, 1).b);
        }
    }
}

TEST_F(KeptPicturesTest, TheRoomBoundsWhatIsKept) {
    const std::string a = Solid("a.png", test::Rgb(255, 0, 0));
    const std::string b = Solid("b.png", test::Rgb(0, 255, 0));
    const std::string c = Solid("c.png", test::Rgb(0, 0, 255));
    const std::string big = Solid("big.png", test::Rgb(9, 9, 9), 20);

    // Without room nothing is kept.
    Get(a);
    Get(a);
    EXPECT_EQ(reads_[a], 2);
    EXPECT_EQ(CountKeptPictures().pictures, 0u);

    // Room for two of the small ones; the least recently used goes first.
    KeepPictures(800);
    reads_.clear();
    Get(a);
    Get(b);
    Get(a);
    Get(c);
    EXPECT_EQ(CountKeptPictures().pictures, 2u);
    EXPECT_EQ(CountKeptPictures().bytes, 800u);
    Get(a);
    Get(c);
    EXPECT_EQ(reads_[a], 1);
    EXPECT_EQ(reads_[c], 1);
    Get(b);
    EXPECT_EQ(reads_[b], 2);

    // A picture larger than the room is read every time and pushes none out.
    Get(big);
    Get(big);
    EXPECT_EQ(reads_[big], 2);
    EXPECT_EQ(CountKeptPictures().pictures, 2u);

    // Taking the room away lets go of every picture.
    KeepPictures(0);
    EXPECT_EQ(CountKeptPictures().pictures, 0u);
    EXPECT_EQ(CountKeptPictures().bytes, 0u);
}

}  // namespace
}  // namespace sw
