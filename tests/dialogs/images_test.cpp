// The committed toolbar bitmap and icon: exactly what tools/make_images draws
// today, in the stated formats, and showing what each picture is meant to
// show (colours where the pictures' descriptions put them).
#include "tools/images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> readFile(const std::string& name) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen((std::string(VELMORA_RESOURCES_DIR) + "/" + name).c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int32_t s32(const std::vector<uint8_t>& b, size_t at) { return static_cast<int32_t>(u32(b, at)); }

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A decoded picture, top-down: colour of pixel (x, y), y counted from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[y * width + x]; }

    struct Found {
        int count = 0;
        double meanX = 0, meanY = 0;
    };
    // The pixels of one colour inside columns x0..x0+w-1.
    Found find(Rgb colour, int x0, int w) const {
        Found f;
        for (int y = 0; y < height; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (at(x, y) == colour) {
                    ++f.count;
                    f.meanX += x - x0;
                    f.meanY += y;
                }
        if (f.count) f.meanX /= f.count, f.meanY /= f.count;
        return f;
    }
};

// Decodes an uncompressed BITMAPINFOHEADER image of 4 or 8 bits per pixel
// whose colour table follows the header and whose rows are stored bottom-up.
Picture decode(const std::vector<uint8_t>& b, size_t header, int rows) {
    Picture p;
    p.width = s32(b, header + 4);
    p.height = rows;
    const int bits = static_cast<int>(u16(b, header + 14));
    const int colours = u32(b, header + 32) ? static_cast<int>(u32(b, header + 32)) : 1 << bits;
    const size_t table = header + u32(b, header);
    const size_t data = table + 4 * colours;
    const size_t stride = (p.width * bits / 8 + 3) / 4 * 4;
    p.pixels.resize(p.width * p.height);
    for (int y = 0; y < p.height; ++y) {
        const size_t row = data + (p.height - 1 - y) * stride;  // bottom row first
        for (int x = 0; x < p.width; ++x) {
            int index = bits == 8 ? b[row + x] : (b[row + x / 2] >> (x % 2 ? 0 : 4)) & 15;
            const size_t e = table + 4 * index;
            p.pixels[y * p.width + x] = Rgb{b[e + 2], b[e + 1], b[e]};
        }
    }
    return p;
}

constexpr Rgb grey192{192, 192, 192};
constexpr Rgb pureYellow{255, 255, 0};
constexpr Rgb pureMagenta{255, 0, 255};
constexpr Rgb pureCyan{0, 255, 255};
constexpr Rgb pureRed{255, 0, 0};
constexpr Rgb pureGreen{0, 255, 0};
constexpr Rgb pureBlue{0, 0, 255};
constexpr Rgb pureBlack{0, 0, 0};

TEST(Images, CommittedFilesAreWhatTheGeneratorDraws) {
    static uint8_t toolbar[toolbarFileSize];
    static uint8_t icon[iconFileSize];
    makeToolbarFile(toolbar);
    makeIconFile(icon);
    const std::vector<uint8_t> bmp = readFile("toolbar.bmp");
    const std::vector<uint8_t> ico = readFile("velmora.ico");
    ASSERT_EQ(bmp.size(), sizeof toolbar) << "rerun make_images (target velmora_images_update)";
    ASSERT_EQ(ico.size(), sizeof icon) << "rerun make_images (target velmora_images_update)";
    EXPECT_EQ(std::memcmp(bmp.data(), toolbar, sizeof toolbar), 0) << "toolbar.bmp is stale";
    EXPECT_EQ(std::memcmp(ico.data(), icon, sizeof icon), 0) << "velmora.ico is stale";
}

TEST(Images, ToolbarIs224By32With256ColoursBottomUp) {
    const std::vector<uint8_t> b = readFile("toolbar.bmp");
    ASSERT_EQ(b.size(), 14u + 40 + 1024 + 7168);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 10), 14u + 40 + 1024) << "pixels right after the colour table";
    EXPECT_EQ(u32(b, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(s32(b, 18), 224);
    EXPECT_EQ(s32(b, 22), 32) << "a positive height: bottom-up";
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), 8u);
    EXPECT_EQ(u32(b, 30), 0u) << "BI_RGB";
    EXPECT_EQ(u32(b, 34), 7168u);
    EXPECT_EQ(u32(b, 46), 256u);
}

class ToolbarPictures : public testing::Test {
protected:
    static Picture picture;
    static void SetUpTestSuite() { picture = decode(readFile("toolbar.bmp"), 14, 32); }
    static Picture::Found find(int button, Rgb colour) {
        return picture.find(colour, 32 * button, 32);
    }
};
Picture ToolbarPictures::picture;

TEST_F(ToolbarPictures, EachStandsOnLightGrey) {
    ASSERT_EQ(picture.width, 224);
    for (int i = 0; i < 7; ++i) {
        const int x0 = 32 * i;
        EXPECT_EQ(picture.at(x0, 0), grey192) << "picture " << i;
        EXPECT_EQ(picture.at(x0 + 31, 0), grey192) << "picture " << i;
        EXPECT_GT(find(i, grey192).count, 32 * 32 / 3) << "picture " << i;
        EXPECT_GT(32 * 32 - find(i, grey192).count, 60) << "picture " << i << " shows something";
    }
}

TEST_F(ToolbarPictures, ShowTheirElementsInTheirColours) {
    // F1: a yellow support under a beam that leaves its tip to the right.
    const auto f1Yellow = find(0, pureYellow);
    EXPECT_GT(f1Yellow.count, 25);
    EXPECT_LT(f1Yellow.meanX, 16) << "the left end's support stands on the left";
    // F2: a magenta support above the spring.
    EXPECT_GT(find(1, pureMagenta).count, 15);
    EXPECT_LT(find(1, pureMagenta).meanY, 12) << "the support sits on top of the spring";
    // F3: a cyan beam.
    EXPECT_GT(find(2, pureCyan).count, 25);
    // F4: the red arrow above the beam it points at.
    const auto f4Red = find(3, pureRed);
    EXPECT_GT(f4Red.count, 40);
    EXPECT_LT(f4Red.meanY, 16) << "the arrow comes from above";
    // F5: a green shaft.
    EXPECT_GT(find(4, pureGreen).count, 100);
    // F6: a red support below the beam.
    const auto f6Red = find(5, pureRed);
    EXPECT_GT(f6Red.count, 25);
    EXPECT_GT(f6Red.meanY, 12) << "the support is under the beam";
    // F7: a red body under a yellow head.
    const auto body = find(6, pureRed);
    const auto head = find(6, pureYellow);
    EXPECT_GT(body.count, 60);
    EXPECT_GT(head.count, 15);
    EXPECT_LT(head.meanY, body.meanY) << "the head is on top";
    // Only the runner's and the left end's pictures hold yellow.
    for (int i : {1, 2, 3, 4, 5}) EXPECT_EQ(find(i, pureYellow).count, 0) << "picture " << i;
}

TEST(Images, IconIs32By32In16Colours) {
    const std::vector<uint8_t> b = readFile("velmora.ico");
    ASSERT_EQ(b.size(), 6u + 16 + 40 + 64 + 512 + 128);
    EXPECT_EQ(u16(b, 0), 0u);
    EXPECT_EQ(u16(b, 2), 1u) << "an icon";
    EXPECT_EQ(u16(b, 4), 1u) << "one image";
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_EQ(b[8], 16) << "colours";
    EXPECT_EQ(u16(b, 10), 1u);
    EXPECT_EQ(u16(b, 12), 4u) << "bits per pixel";
    EXPECT_EQ(u32(b, 14), b.size() - 22);
    EXPECT_EQ(u32(b, 18), 22u);
    EXPECT_EQ(s32(b, 26), 32);
    EXPECT_EQ(s32(b, 30), 64) << "colour image and mask";
    EXPECT_EQ(u16(b, 36), 4u);

    const Picture icon = decode(b, 22, 32);
    EXPECT_GT(icon.find(pureCyan, 0, 32).count, 32 * 32 / 2) << "on a cyan background";
    const auto force = icon.find(pureRed, 0, 32);
    const auto beam = icon.find(Rgb{0, 0, 128}, 0, 32);
    EXPECT_GT(force.count, 20);
    EXPECT_GT(beam.count, 40);
    EXPECT_LT(force.meanY, beam.meanY) << "the force acts from above on the beam";
    EXPECT_GT(icon.find(pureBlue, 0, 32).count, 20) << "the moment";
    EXPECT_GT(icon.find(pureBlack, 0, 32).count, 40) << "supports and ground";
    for (size_t k = 22 + 40 + 64 + 512; k < b.size(); ++k) EXPECT_EQ(b[k], 0) << "opaque mask";
}

}  // namespace
