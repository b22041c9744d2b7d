// The BMP decoder on images built field by field with the shared writer:
// layout rules, every depth and compression it takes, row order, and hostile
// files (truncated, corrupt, absurd sizes, pictures the file cannot pay for).
// The buffers handed to the decoder are exactly as long as the file, so
// AddressSanitizer catches any read past the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/gfx/Bmp.h"
#include "core/gfx/BmpWriter.h"
#include "support/TestSupport.h"

namespace {

// ---- Files to decode -----------------------------------------------------

// Header fields as the shared writer takes them, and the pixel data as stored.
struct BmpRecipe : BmpFields {
    std::string pixels;
};

std::string MakeBmp(const BmpRecipe& layout) { return EncodeBmp(layout, layout.pixels); }

// Stored rows, bottom row first, padded to 4 bytes; `value(x, y)` is the raw
// pixel value (palette index or 0xRRGGBB for 24 and 32 bits) at row y from the bottom.
std::string StoreRows(int32_t width, int32_t height, int bits, const std::function<uint32_t(int, int)>& value) {
    std::string out;
    for (int y = 0; y < height; ++y) {
        std::string row;
        uint32_t acc = 0;
        int accBits = 0;
        for (int x = 0; x < width; ++x) {
            uint32_t v = value(x, y);
            if (bits == 24 || bits == 32) {
                row += char(v & 0xff);
                row += char((v >> 8) & 0xff);
                row += char((v >> 16) & 0xff);
                if (bits == 32) row += char(0x5A);
            } else if (bits == 16) {
                AppendLe16(row, v);
            } else {
                acc = (acc << bits) | (v & ((1u << bits) - 1));
                accBits += bits;
                if (accBits == 8) {
                    row += char(acc);
                    acc = 0;
                    accBits = 0;
                }
            }
        }
        if (accBits) row += char(acc << (8 - accBits));
        while (row.size() % 4) row += char(0xCD);   // junk padding must never show
        out += row;
    }
    return out;
}

// ---- Running the decoder ------------------------------------------------

struct ImageDeleter {
    void operator()(RgbImage* image) const { FreeRgbImage(image); }
};
using Image = std::unique_ptr<RgbImage, ImageDeleter>;

// Copies into a buffer of exactly the file's length, so any overread is caught.
Image Decode(const std::string& bytes, const char** reason = nullptr) {
    std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    return Image(DecodeBmpMemory(exact.empty() ? nullptr : exact.data(), exact.size(), reason));
}

std::vector<unsigned char> Pixels(const RgbImage& image) {
    return std::vector<unsigned char>(image.pixels, image.pixels + size_t(image.width) * image.height * 3);
}

// What the output must be: packed RGB, bottom row first.
std::vector<unsigned char> Expected(int width, int height, const std::function<uint32_t(int, int)>& rgb) {
    std::vector<unsigned char> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t c = rgb(x, y);
            out.push_back((unsigned char)(c >> 16));
            out.push_back((unsigned char)(c >> 8));
            out.push_back((unsigned char)c);
        }
    return out;
}

// Decoding must fail and give `text` as the reason.
void ExpectRefused(const std::string& bytes, const std::string& text) {
    const char* reason = nullptr;
    Image image = Decode(bytes, &reason);
    EXPECT_EQ(nullptr, image.get());
    ASSERT_NE(nullptr, reason);
    EXPECT_EQ(text, reason);
}

const char kUnknown[] = "Unknown DIB file format.";
const char kConversion[] = "Image file conversion error.";

uint32_t Gradient(int x, int y) { return uint32_t((x * 7) & 0xff) << 16 | uint32_t((y * 13) & 0xff) << 8 | uint32_t((x + y) & 0xff); }

const std::vector<uint32_t> kPalette16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                          0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                          0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

BmpRecipe Paletted(int bits, int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                 const std::function<uint32_t(int, int)>& index) {
    BmpRecipe layout;
    layout.bits = uint16_t(bits);
    layout.width = width;
    layout.height = height;
    layout.palette = palette;
    layout.coloursUsed = uint32_t(palette.size());
    layout.pixels = StoreRows(width, height, bits, index);
    return layout;
}

BmpRecipe Masked565(int32_t width, int32_t height, const std::function<uint32_t(int, int)>& value) {
    BmpRecipe layout;
    layout.bits = 16;
    layout.compression = 3;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    layout.width = width;
    layout.height = height;
    layout.pixels = StoreRows(width, height, 16, value);
    return layout;
}

BmpRecipe Rle(int bits, int32_t width, int32_t height, const std::string& data) {
    BmpRecipe layout;
    layout.bits = uint16_t(bits);
    layout.compression = bits == 8 ? 1 : 2;
    layout.width = width;
    layout.height = height;
    layout.palette = kPalette16;
    layout.coloursUsed = 16;
    layout.pixels = data;
    return layout;
}

std::string Bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += char(b);
    return s;
}

// ---- Layout ---------------------------------------------------------------

TEST(BmpLayout, TwentyFourBitWithFileHeaderGivesRgbRowsBottomLeftFirst) {
    BmpRecipe layout;
    layout.width = 256;
    layout.height = 128;
    layout.pixels = StoreRows(256, 128, 24, Gradient);
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(256, image->width);
    EXPECT_EQ(128, image->height);
    uint32_t bottomLeft = Gradient(0, 0);
    EXPECT_EQ((bottomLeft >> 16) & 0xff, image->pixels[0]);
    EXPECT_EQ((bottomLeft >> 8) & 0xff, image->pixels[1]);
    EXPECT_EQ(bottomLeft & 0xff, image->pixels[2]);
    EXPECT_EQ(Expected(256, 128, Gradient), Pixels(*image));
}

TEST(BmpLayout, ThreePixelRowsLoseTheirPadding) {
    BmpRecipe layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = StoreRows(3, 2, 24, Gradient);
    ASSERT_EQ(24u, layout.pixels.size());   // rows of 9 bytes and 3 of padding
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(3, 2, Gradient), Pixels(*image));
}

TEST(BmpLayout, FileHeaderOffsetIsHonouredAcrossAGap) {
    BmpRecipe layout = Paletted(8, 5, 3, kPalette16, [](int x, int y) { return uint32_t(x + y) % 16; });
    layout.gap = std::string(37, char(0xEE));   // junk that must never show
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(5, 3, [](int x, int y) { return kPalette16[(x + y) % 16]; }), Pixels(*image));
}

TEST(BmpLayout, PaletteCountFollowsColoursUsedOrTheDepth) {
    auto header = [](uint32_t size, uint16_t bits, uint32_t used) {
        BmpRecipe layout;
        layout.headerSize = size;
        layout.bits = bits;
        layout.coloursUsed = used;
        layout.fileHeader = false;
        return MakeBmp(layout);
    };
    EXPECT_EQ(256, BmpPaletteCount(header(40, 8, 0).data()));
    EXPECT_EQ(20, BmpPaletteCount(header(40, 8, 20).data()));
    EXPECT_EQ(2, BmpPaletteCount(header(40, 1, 0).data()));
    EXPECT_EQ(16, BmpPaletteCount(header(40, 4, 0).data()));
    EXPECT_EQ(0, BmpPaletteCount(header(40, 24, 0).data()));
    EXPECT_EQ(256, BmpPaletteCount(header(12, 8, 0).data()));
    EXPECT_EQ(INT_MAX, BmpPaletteCount(header(40, 8, 0xFFFFFFF0u).data()));
}

TEST(BmpLayout, ColoursUsedTwentyPlacesHeaderlessPixelsAfterTwentyEntries) {
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 20; ++i) palette.push_back(i * 0x0A0B0C);
    BmpRecipe layout = Paletted(8, 4, 2, palette, [](int x, int y) { return uint32_t(x * 5 + y) % 20; });
    layout.fileHeader = false;
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(4, 2, [&](int x, int y) { return palette[(x * 5 + y) % 20]; }), Pixels(*image));
}

TEST(BmpLayout, CoreAndInfoHeadersGiveTheSameColours) {
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i) palette[i] = (i * 0x010305u) & 0xFFFFFF;
    auto index = [](int x, int y) { return uint32_t(x * 17 + y * 3) & 0xff; };
    BmpRecipe info = Paletted(8, 7, 4, palette, index);
    BmpRecipe core = info;
    core.headerSize = 12;
    Image a = Decode(MakeBmp(info));
    Image b = Decode(MakeBmp(core));
    ASSERT_NE(nullptr, a.get());
    ASSERT_NE(nullptr, b.get());
    EXPECT_EQ(Pixels(*a), Pixels(*b));
    EXPECT_EQ(Expected(7, 4, [&](int x, int y) { return palette[index(x, y)]; }), Pixels(*b));
}

TEST(BmpLayout, HeadersOf108And124BytesAreUnknown) {
    for (uint32_t size : {108u, 124u, 16u, 64u, 0u}) {
        SCOPED_TRACE(size);
        BmpRecipe layout;
        layout.headerSize = size;
        layout.pixels = StoreRows(1, 1, 24, Gradient);
        ExpectRefused(MakeBmp(layout), kUnknown);
    }
}

TEST(BmpLayout, HeaderlessPixelOffsetsFollowThePalette) {
    // Info header and 16 entries: pixels at 40 + 64 = 104.
    BmpRecipe info = Paletted(4, 3, 2, kPalette16, [](int x, int y) { return uint32_t(x + 4 * y); });
    info.fileHeader = false;
    std::string infoFile = MakeBmp(info);
    ASSERT_EQ(104u + info.pixels.size(), infoFile.size());
    Image a = Decode(infoFile);
    ASSERT_NE(nullptr, a.get());
    EXPECT_EQ(Expected(3, 2, [](int x, int y) { return kPalette16[x + 4 * y]; }), Pixels(*a));

    // Core header and 2 entries: pixels at 12 + 6 = 18.
    BmpRecipe core = Paletted(1, 9, 2, {0x102030, 0xF0E0D0}, [](int x, int y) { return uint32_t(x + y) & 1; });
    core.headerSize = 12;
    core.fileHeader = false;
    std::string coreFile = MakeBmp(core);
    ASSERT_EQ(18u + core.pixels.size(), coreFile.size());
    Image b = Decode(coreFile);
    ASSERT_NE(nullptr, b.get());
    EXPECT_EQ(Expected(9, 2, [](int x, int y) { return ((x + y) & 1) ? 0xF0E0D0u : 0x102030u; }), Pixels(*b));
}

// Scripts build damaged files through the shared writer: each field must land
// where the decoder reads it, however absurd, and the header keep the length
// the scripts count on (40 bytes for a size of 2^32 - 16, not 4 GiB).
TEST(BmpWriter, LyingFieldsAreWrittenAsGiven) {
    BmpFields lie;
    lie.width = 16;
    lie.height = -16;
    lie.bits = 7;
    lie.pixelOffset = 0xFFFFFFFFu;
    lie.headerSize = 0xFFFFFFF0u;
    lie.coloursUsed = 0xFFFFFFFFu;
    const std::string file = EncodeBmp(lie, "");
    EXPECT_EQ(Bytes({'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255,           // file header
                     0xF0, 255, 255, 255, 16, 0, 0, 0, 0xF0, 255, 255, 255, 1, 0, 7, 0,  // sizes, bits
                     0, 0, 0, 0, 0, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,         // .. resolution
                     255, 255, 255, 255, 0, 0, 0, 0}),                                    // colours
              file);
    ExpectRefused(file, kUnknown);
    lie.headerSize = 108;   // the longer header forms are written at their length
    EXPECT_EQ(14u + 108u, EncodeBmp(lie, "").size());
    lie.headerSize = 12;
    EXPECT_EQ(Bytes({12, 0, 0, 0, 16, 0, 0xF0, 255, 1, 0, 7, 0}), EncodeBmp(lie, "").substr(14));
}

// ---- Files on disk --------------------------------------------------------

TEST(BmpFile, MissingFileNamesThePathInItsMessage) {
    ScratchDir dir;
    std::string path = dir.File("absent.bmp");
    MessageRecorder recorder;
    EXPECT_EQ(nullptr, DecodeBmpFile(path.c_str()));
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ("Error", recorder.Messages()[0].title);
    EXPECT_EQ("Failed to open DIB file " + path + ".\n", recorder.Messages()[0].text);
}

TEST(BmpFile, VeryLongPathIsCutButTheMessageKeepsItsEnding) {
    std::string path = "/nonexistent/" + std::string(287, 'p');
    ASSERT_EQ(300u, path.size());
    MessageRecorder recorder;
    EXPECT_EQ(nullptr, DecodeBmpFile(path.c_str()));
    ASSERT_EQ(1u, recorder.Messages().size());
    const std::string& text = recorder.Messages()[0].text;
    EXPECT_EQ(255u, text.size());
    EXPECT_EQ("Failed to open DIB file " + path.substr(0, 229) + ".\n", text);
}

TEST(BmpFile, MappedFileDecodesLikeTheBuffer) {
    ScratchDir dir;
    BmpRecipe layout;
    layout.width = 6;
    layout.height = 5;
    layout.pixels = StoreRows(6, 5, 24, Gradient);
    ASSERT_TRUE(WriteWholeFile(dir.File("a.bmp"), MakeBmp(layout)));
    MessageRecorder recorder;
    Image image(DecodeBmpFile(dir.File("a.bmp").c_str()));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(6, 5, Gradient), Pixels(*image));
    EXPECT_TRUE(recorder.Messages().empty());
}

// The decoder's reason reaches the user in exactly one box, whatever the fault.
TEST(BmpFile, EachRefusalShowsOneErrorBoxWithItsReason) {
    ScratchDir dir;
    BmpRecipe v4;
    v4.headerSize = 108;
    v4.pixels = StoreRows(1, 1, 24, Gradient);
    BmpRecipe rgb;
    rgb.width = 4;
    rgb.height = 4;
    rgb.pixels = StoreRows(4, 4, 24, Gradient);
    BmpRecipe huge = Rle(8, 16384, 16384, Bytes({0, 1}));
    struct Case { const char* name; std::string bytes; std::string text; };
    const Case cases[] = {
        {"empty.bmp", "", kUnknown},
        {"v4.bmp", MakeBmp(v4), kUnknown},
        {"cut.bmp", MakeBmp(rgb).substr(0, 30), kConversion},
        {"huge.bmp", MakeBmp(huge), kConversion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWholeFile(dir.File(c.name), c.bytes));
        MessageRecorder recorder;
        EXPECT_EQ(nullptr, DecodeBmpFile(dir.File(c.name).c_str()));
        ASSERT_EQ(1u, recorder.Messages().size());
        EXPECT_EQ("Error", recorder.Messages()[0].title);
        EXPECT_EQ(c.text, recorder.Messages()[0].text);
        EXPECT_EQ(0, recorder.Messages()[0].icon);
    }
    MessageRecorder recorder;
    EXPECT_EQ(nullptr, DecodeBmpFile(dir.Path().c_str()));
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ("Failed to open DIB file " + dir.Path() + ".\n", recorder.Messages()[0].text);
}

// ---- Depths and compressions --------------------------------------------

// Odd widths exercise every partial byte and every tail of the fast row loops.
TEST(BmpDepths, PalettedAndDirectDepthsMatchTheFormatAtEveryWidth) {
    for (int bits : {1, 4, 8, 24, 32}) {
        for (int width = 1; width <= 19; ++width) {
            SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(width));
            int count = bits <= 8 ? (1 << bits) : 0;
            std::vector<uint32_t> palette;
            for (int i = 0; i < count; ++i) palette.push_back(uint32_t(i * 0x3F1D07) & 0xFFFFFF);
            auto raw = [&](int x, int y) { return bits <= 8 ? uint32_t(x * 3 + y) % count : Gradient(x, y); };
            BmpRecipe layout = Paletted(bits, width, 3, palette, raw);
            Image image = Decode(MakeBmp(layout));
            ASSERT_NE(nullptr, image.get());
            EXPECT_EQ(Expected(width, 3, [&](int x, int y) { return bits <= 8 ? palette[raw(x, y)] : raw(x, y); }),
                      Pixels(*image));
        }
    }
}

TEST(BmpDepths, SixteenBitDefaultsToFiveFiveFiveScaledWithRounding) {
    BmpRecipe layout;
    layout.bits = 16;
    layout.width = 3;
    layout.height = 1;
    // 0x8000 is the unused top bit: it must not change the colour.
    layout.pixels = StoreRows(3, 1, 16, [](int x, int) {
        return x == 0 ? (31u << 10) | 15u : x == 1 ? 0x8000u | (1u << 5) : 0x7FFFu;
    });
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    // 15 * 255 / 31 = 123.4 and 1 * 255 / 31 = 8.2.
    EXPECT_EQ(Expected(3, 1, [](int x, int) { return x == 0 ? 0xFF007Bu : x == 1 ? 0x000800u : 0xFFFFFFu; }),
              Pixels(*image));
}

TEST(BmpDepths, BitFieldMasksSelectAndScaleTheChannels) {
    BmpRecipe layout = Masked565(2, 1, [](int x, int) { return x == 0 ? 0xF800u | (32u << 5) : 0x001Fu; });
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    // Green 32 of 63: 129.5 rounds to 130.
    EXPECT_EQ(Expected(2, 1, [](int x, int) { return x == 0 ? 0xFF8200u : 0x0000FFu; }), Pixels(*image));

    layout.fileHeader = false;   // masks sit between header and pixels
    Image headerless = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, headerless.get());
    EXPECT_EQ(Pixels(*image), Pixels(*headerless));
}

TEST(BmpDepths, ThirtyTwoBitMasksMayPutTheChannelsInAnyOrder) {
    BmpRecipe layout;
    layout.bits = 32;
    layout.compression = 3;
    layout.masks = {0x000000FFu, 0x0000FF00u, 0x00FF0000u};   // red in the lowest byte
    layout.width = 1;
    layout.height = 1;
    AppendLe32(layout.pixels, 0xAA332211u);
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(1, 1, [](int, int) { return 0x112233u; }), Pixels(*image));
}

TEST(BmpDepths, MasksThatAreSplitOrWiderThanEightBitsAreRefused) {
    for (std::vector<uint32_t> masks : {std::vector<uint32_t>{0xF00F, 0x07E0, 0x0010},
                                        std::vector<uint32_t>{0xFFE00000u, 0x001FFC00u, 0x000003FFu}}) {
        BmpRecipe layout;
        layout.bits = 32;
        layout.compression = 3;
        layout.masks = masks;
        layout.pixels = std::string(4, '\0');
        ExpectRefused(MakeBmp(layout), kConversion);
    }
}

TEST(BmpDepths, UnsupportedDepthsAndCompressionsAreConversionErrors) {
    struct Case { uint16_t bits; uint32_t compression; };
    for (Case c : {Case{2, 0}, Case{64, 0}, Case{0, 0}, Case{30000, 0}, Case{24, 4}, Case{24, 5}, Case{32, 6},
                   Case{8, 3}, Case{4, 1}, Case{8, 2}, Case{24, 1}}) {
        SCOPED_TRACE("bits " + std::to_string(c.bits) + " compression " + std::to_string(c.compression));
        BmpRecipe layout;
        layout.bits = c.bits;
        layout.compression = c.compression;
        layout.masks = c.compression == 3 ? std::vector<uint32_t>{0xE0, 0x1C, 0x03} : std::vector<uint32_t>{};
        layout.pixels = std::string(64, '\0');
        ExpectRefused(MakeBmp(layout), kConversion);
    }
}

// ---- Row order ------------------------------------------------------------

TEST(BmpRowOrder, TopDownFilesComeOutBottomRowFirstWithPositiveHeight) {
    for (int bits : {8, 24}) {
        SCOPED_TRACE(bits);
        std::vector<uint32_t> palette(256);
        for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
        auto raw = [&](int x, int y) { return bits == 8 ? uint32_t(x * 40 + y * 9) & 0xff : Gradient(x, y); };
        BmpRecipe bottomUp = Paletted(bits, 5, 4, bits == 8 ? palette : std::vector<uint32_t>{}, raw);
        BmpRecipe topDown = bottomUp;
        topDown.height = -4;
        topDown.pixels = StoreRows(5, 4, bits, [&](int x, int y) { return raw(x, 3 - y); });
        Image a = Decode(MakeBmp(bottomUp));
        Image b = Decode(MakeBmp(topDown));
        ASSERT_NE(nullptr, a.get());
        ASSERT_NE(nullptr, b.get());
        EXPECT_EQ(4, b->height);
        EXPECT_EQ(Pixels(*a), Pixels(*b));
    }
}

// ---- Run-length encoding ------------------------------------------------

TEST(BmpRle, Rle8RunsLiteralsDeltaAndEndsLeaveSkippedPixelsBlack) {
    // Row 0: 3 x colour 9, literal 1 2 3 (padded), end of line.
    // Row 1: delta right 2 and up 1 -> row 2 at x 2, run of 2 x colour 15, end of bitmap.
    std::string data = Bytes({3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 15, 0, 1});
    Image image = Decode(MakeBmp(Rle(8, 6, 3, data)));
    ASSERT_NE(nullptr, image.get());
    const uint32_t rows[3][6] = {
        {kPalette16[9], kPalette16[9], kPalette16[9], kPalette16[1], kPalette16[2], kPalette16[3]},
        {0, 0, 0, 0, 0, 0},
        {0, 0, kPalette16[15], kPalette16[15], 0, 0}};
    EXPECT_EQ(Expected(6, 3, [&](int x, int y) { return rows[y][x]; }), Pixels(*image));
}

TEST(BmpRle, Rle4AlternatesNibblesInRunsAndLiterals) {
    // Row 0: run of 5 alternating 0xA and 0x3, end of line.
    // Row 1: literal of 3 nibbles 1 2 5 (2 bytes, already even), end of bitmap.
    std::string data = Bytes({5, 0xA3, 0, 0, 0, 3, 0x12, 0x50, 0, 1});
    Image image = Decode(MakeBmp(Rle(4, 5, 2, data)));
    ASSERT_NE(nullptr, image.get());
    const uint32_t rows[2][5] = {
        {kPalette16[10], kPalette16[3], kPalette16[10], kPalette16[3], kPalette16[10]},
        {kPalette16[1], kPalette16[2], kPalette16[5], 0, 0}};
    EXPECT_EQ(Expected(5, 2, [&](int x, int y) { return rows[y][x]; }), Pixels(*image));
}

TEST(BmpRle, CorruptRunsAreRefusedNotClipped) {
    struct Case { const char* what; int bits; std::string data; };
    const Case cases[] = {
        {"run past the row end", 8, Bytes({7, 1, 0, 1})},
        {"literal past the row end", 8, Bytes({0, 7, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1})},
        {"rle4 run past the row end", 4, Bytes({7, 0x11, 0, 1})},
        {"delta above the image", 8, Bytes({0, 2, 0, 9, 0, 1})},
        {"delta right of the image", 8, Bytes({0, 2, 9, 0, 0, 1})},
        {"pixels above the last row", 8, Bytes({0, 0, 0, 0, 0, 0, 1, 1, 0, 1})},
        {"no end of bitmap", 8, Bytes({2, 1})},
        {"literal cut by the end of data", 8, Bytes({0, 5, 1, 2})},
        {"delta cut by the end of data", 8, Bytes({0, 2, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectRefused(MakeBmp(Rle(c.bits, 6, 2, c.data)), kConversion);
    }
    BmpRecipe topDown = Rle(8, 6, -2, Bytes({0, 1}));
    ExpectRefused(MakeBmp(topDown), kConversion);
}

// ---- Hostile files --------------------------------------------------------

TEST(BmpHostile, EveryTruncationFailsCleanlyWithAReasonAndNoMessage) {
    std::vector<std::string> files;
    BmpRecipe rgb;
    rgb.width = 3;
    rgb.height = 3;
    rgb.pixels = StoreRows(3, 3, 24, Gradient);
    files.push_back(MakeBmp(rgb));
    BmpRecipe core = Paletted(8, 5, 2, kPalette16, [](int x, int) { return uint32_t(x); });
    core.headerSize = 12;
    core.fileHeader = false;
    files.push_back(MakeBmp(core));
    files.push_back(MakeBmp(Rle(4, 5, 2, Bytes({5, 0xA3, 0, 0, 0, 3, 0x12, 0x50, 0, 1}))));
    BmpRecipe masked = Masked565(2, 2, [](int x, int y) { return uint32_t(x * 1000 + y); });
    masked.fileHeader = false;
    files.push_back(MakeBmp(masked));

    for (size_t f = 0; f < files.size(); ++f) {
        // Only the padding after the last pixel may be missing.
        size_t mustHave = files[f].size() - (f == 0 ? 3 : 0);
        for (size_t length = 0; length < files[f].size(); ++length) {
            SCOPED_TRACE("file " + std::to_string(f) + " cut to " + std::to_string(length));
            MessageRecorder recorder;
            const char* reason = nullptr;
            Image image = Decode(files[f].substr(0, length), &reason);
            if (length < mustHave) {
                EXPECT_EQ(nullptr, image.get());
                EXPECT_NE(nullptr, reason);
            } else {
                EXPECT_NE(nullptr, image.get());
            }
            EXPECT_TRUE(recorder.Messages().empty()) << "decoding in memory shows nothing";
        }
    }
}

TEST(BmpHostile, TooShortForAHeaderSizeIsUnknownTooShortForTheRestIsAConversionError) {
    ExpectRefused("", kUnknown);
    ExpectRefused("BM", kUnknown);
    ExpectRefused(Bytes({40, 0, 0}), kUnknown);
    ExpectRefused(Bytes({40, 0, 0, 0, 1, 0}), kConversion);
}

TEST(BmpHostile, ZeroOrNegativeSizesAreRefused) {
    for (int32_t w : {0, -3}) {
        for (int32_t h : {0, 2}) {
            if (w == -3 && h == 0) continue;
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
            BmpRecipe layout;
            layout.width = w;
            layout.height = h;
            layout.pixels = std::string(64, '\0');
            ExpectRefused(MakeBmp(layout), kConversion);
        }
    }
    BmpRecipe noRows;
    noRows.width = 2;
    noRows.height = 0;
    ExpectRefused(MakeBmp(noRows), kConversion);
    BmpRecipe coreZero;
    coreZero.headerSize = 12;
    coreZero.width = 0;
    ExpectRefused(MakeBmp(coreZero), kConversion);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(BmpHostile, SizesThatWouldOverflowOrExhaustMemoryAreRefused) {
    // The last three are within the caps on sides and pixels: only the length
    // of the run-length files, 64 bytes, rules them out.
    struct Case { int32_t width, height; };
    const auto start = std::chrono::steady_clock::now();
    for (Case c : {Case{INT32_MAX, INT32_MAX}, Case{INT32_MAX, 1}, Case{1, INT32_MIN}, Case{40000, 1},
                   Case{1, -40000}, Case{20000, 20000}, Case{3000000, 2000000}, Case{16384, 16384},
                   Case{32768, 8192}, Case{8192, 32768}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        BmpRecipe layout;
        layout.width = c.width;
        layout.height = c.height;
        layout.pixels = std::string(3000, '\0');
        ExpectRefused(MakeBmp(layout), kConversion);
        for (int bits : {8, 4}) {   // run-length data could otherwise ask for any size
            BmpRecipe rle = Rle(bits, c.width, c.height, Bytes({0, 1}));
            rle.palette = {0x000000, 0xFFFFFF};
            rle.coloursUsed = 2;
            ASSERT_EQ(64u, MakeBmp(rle).size());
            ExpectRefused(MakeBmp(rle), kConversion);
        }
    }
    EXPECT_LT(SecondsSince(start), 1.0) << "refused before any picture is allocated";
}

// Ends of line and deltas skip any number of pixels for two or four bytes, so
// the picture must be paid for by the file's length, whatever the file holds.
TEST(BmpHostile, PictureMustBePaidForByTheFileLength) {
    std::string eols, deltas;
    for (int y = 0; y < 16383; ++y) eols += Bytes({0, 0});
    for (int i = 0; i < 64; ++i) deltas += Bytes({0, 2, 0, 255});
    struct Case { const char* what; int bits; std::string data; };
    const Case hostile[] = {
        {"rle8 ends of line only", 8, eols + Bytes({0, 1})},
        {"rle4 ends of line only", 4, eols + Bytes({0, 1})},
        {"rle8 deltas only", 8, deltas + Bytes({0, 1})},
        {"rle4 deltas only", 4, deltas + Bytes({0, 1})},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const Case& c : hostile) {
        SCOPED_TRACE(c.what);
        ExpectRefused(MakeBmp(Rle(c.bits, 16384, 16384, c.data)), kConversion);
    }
    EXPECT_LT(SecondsSince(start), 1.0) << "refused before any picture is allocated";

    // 8192 x 3072 is 72 MiB of output, 8 MiB beyond the 64 MiB any file may
    // cost: at 1024 bytes per byte of file that takes a file of 8 KiB.
    auto padded = [](size_t total) {
        BmpRecipe layout = Rle(8, 8192, 3072, Bytes({0, 1}));
        layout.pixels.resize(total - (MakeBmp(layout).size() - layout.pixels.size()), '\0');
        return MakeBmp(layout);
    };
    ExpectRefused(padded(8192 - 16), kConversion);
    Image sparse = Decode(padded(8192 + 16));
    ASSERT_NE(nullptr, sparse.get());
    EXPECT_EQ(3072, sparse->height);

    // The same picture honestly encoded in runs of 255 pixels: 68 bytes a row.
    std::string runs;
    for (int y = 0; y < 3072; ++y) {
        for (int x = 0; x < 8192; x += 255) runs += Bytes({std::min(255, 8192 - x), (y + x / 255) % 16});
        runs += Bytes({0, 0});
    }
    runs += Bytes({0, 1});
    Image honest = Decode(MakeBmp(Rle(8, 8192, 3072, runs)));
    ASSERT_NE(nullptr, honest.get());
    for (int y : {0, 1, 3071}) {
        for (int x : {0, 254, 255, 8191}) {
            SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
            const unsigned char* p = honest->pixels + (size_t(y) * 8192 + x) * 3;
            uint32_t c = kPalette16[(y + x / 255) % 16];
            EXPECT_EQ(c, uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
}

TEST(BmpHostile, PaletteLargerThanTheFileIsRefused) {
    BmpRecipe layout = Paletted(8, 2, 2, kPalette16, [](int, int) { return 1u; });
    layout.coloursUsed = 0x12345678;
    ExpectRefused(MakeBmp(layout), kConversion);
    layout.coloursUsed = 17;   // one entry more than the file holds, without a file header
    layout.fileHeader = false;
    layout.pixels.clear();
    ExpectRefused(MakeBmp(layout), kConversion);
}

TEST(BmpHostile, PaletteBeyondTheDepthUsesTheFirstEntries) {
    std::vector<uint32_t> palette(300);
    for (uint32_t i = 0; i < 300; ++i) palette[i] = i < 256 ? i * 0x000101u : 0xFFFFFFu;
    BmpRecipe layout = Paletted(8, 3, 1, palette, [](int x, int) { return uint32_t(x * 100); });
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(3, 1, [&](int x, int) { return palette[x * 100]; }), Pixels(*image));
}

TEST(BmpHostile, IndexesBeyondThePaletteAreBlack) {
    BmpRecipe layout = Paletted(8, 3, 1, {0x112233, 0x445566}, [](int x, int) { return x == 0 ? 1u : x == 1 ? 2u : 255u; });
    Image image = Decode(MakeBmp(layout));
    ASSERT_NE(nullptr, image.get());
    EXPECT_EQ(Expected(3, 1, [](int x, int) { return x == 0 ? 0x445566u : 0u; }), Pixels(*image));
    // Also when the run-length path looks them up.
    BmpRecipe rle = Rle(8, 2, 1, Bytes({2, 200, 0, 1}));
    Image fromRle = Decode(MakeBmp(rle));
    ASSERT_NE(nullptr, fromRle.get());
    EXPECT_EQ(Expected(2, 1, [](int, int) { return 0u; }), Pixels(*fromRle));
}

TEST(BmpHostile, PixelOffsetBeyondTheFileIsRefused) {
    BmpRecipe layout;
    layout.pixels = StoreRows(1, 1, 24, Gradient);
    std::string file = MakeBmp(layout);
    file[10] = char(0xF0);
    file[13] = char(0x7F);
    ExpectRefused(file, kConversion);
}

}  // namespace
