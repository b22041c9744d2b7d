// The public BMP suite kept beside the project (corpus/bmpsuite): each file's
// class in manifest.tsv says whether it must decode to a known SHA-256 of our
// output, must be refused, or may do either. Skipped when the folder is absent.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/gfx/Bmp.h"
#include "support/TestSupport.h"

namespace {

// ---- SHA-256 (FIPS 180-4), enough to hash a decoded image ----------------

class Sha256 {
public:
    Sha256() {
        static const uint32_t init[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
        for (int i = 0; i < 8; ++i) h[i] = init[i];
    }
    void Update(const unsigned char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            block[fill++] = data[i];
            if (fill == 64) {
                Compress();
                fill = 0;
            }
        }
        total += size;
    }
    std::string HexDigest() {
        uint64_t bits = total * 8;
        unsigned char pad = 0x80;
        Update(&pad, 1);
        unsigned char zero = 0;
        while (fill != 56) Update(&zero, 1);
        unsigned char length[8];
        for (int i = 0; i < 8; ++i) length[i] = (unsigned char)(bits >> (56 - 8 * i));
        Update(length, 8);
        std::string hex;
        char buf[9];
        for (int i = 0; i < 8; ++i) {
            std::snprintf(buf, sizeof buf, "%08x", h[i]);
            hex += buf;
        }
        return hex;
    }

private:
    static uint32_t Rot(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
    void Compress() {
        static const uint32_t k[64] = {
            0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
            0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
            0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
            0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
            0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
            0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
            0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
            0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 | uint32_t(block[4 * i + 2]) << 8 |
                   block[4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            uint32_t s0 = Rot(w[i - 15], 7) ^ Rot(w[i - 15], 18) ^ (w[i - 15] >> 3);
            uint32_t s1 = Rot(w[i - 2], 17) ^ Rot(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            uint32_t t1 = hh + (Rot(e, 6) ^ Rot(e, 11) ^ Rot(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            uint32_t t2 = (Rot(a, 2) ^ Rot(a, 13) ^ Rot(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += hh;
    }
    uint32_t h[8];
    unsigned char block[64];
    size_t fill = 0;
    uint64_t total = 0;
};

std::string Sha256Hex(const std::string& bytes) {
    Sha256 sha;
    sha.Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return sha.HexDigest();
}

TEST(BmpSuiteHash, Sha256MatchesKnownDigests) {
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256Hex(""));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex("abc"));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

// ---- The suite --------------------------------------------------------------

struct SuiteEntry {
    std::string path;       // folder/file under the suite's root
    std::string cls;        // must_decode, may_decode, must_reject
    std::string sha256;     // expected output hash, may be empty for may_decode
    std::string message;    // the refusal's text, when the reason names it
    int width = 0;
    int height = 0;
};

const std::string kSuiteDir = std::string(ORRERY_SHARED_DIR) + "/corpus/bmpsuite";

std::vector<SuiteEntry> ReadManifest() {
    std::vector<SuiteEntry> entries;
    std::ifstream in(kSuiteDir + "/manifest.tsv");
    std::string line;
    std::map<std::string, size_t> column;
    bool first = true;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t')) fields.push_back(field);
        if (first) {
            for (size_t i = 0; i < fields.size(); ++i) column[fields[i]] = i;
            first = false;
            continue;
        }
        auto get = [&](const char* name) {
            size_t i = column.count(name) ? column[name] : SIZE_MAX;
            return i < fields.size() ? fields[i] : std::string();
        };
        SuiteEntry e;
        e.path = get("folder") + "/" + get("file");
        e.cls = get("class");
        e.sha256 = get("sha256_expected");
        std::string reason = get("reason");
        size_t quote = reason.find("-> '");
        if (quote != std::string::npos) e.message = reason.substr(quote + 4, reason.rfind('\'') - quote - 4);
        e.width = std::atoi(get("out_width").c_str());
        e.height = std::atoi(get("out_height").c_str());
        entries.push_back(e);
    }
    return entries;
}

class BmpSuite : public ::testing::Test {
protected:
    void SetUp() override {
        if (ReadWholeFile(kSuiteDir + "/manifest.tsv").empty()) GTEST_SKIP() << "no BMP suite at " << kSuiteDir;
        entries = ReadManifest();
        ASSERT_GT(entries.size(), 80u);
    }
    std::vector<SuiteEntry> entries;
};

std::string OutputHash(const RgbImage& image) {
    return Sha256Hex(std::string(reinterpret_cast<const char*>(image.pixels), size_t(image.width) * image.height * 3));
}

TEST_F(BmpSuite, EveryFileMeetsItsClass) {
    int decoded = 0, refused = 0;
    for (const SuiteEntry& e : entries) {
        SCOPED_TRACE(e.path + " (" + e.cls + ")");
        MessageRecorder recorder;
        RgbImage* image = DecodeBmpFile((kSuiteDir + "/" + e.path).c_str());
        if (image) {
            ++decoded;
            EXPECT_NE("must_reject", e.cls) << "decoded a file that must be refused";
            EXPECT_TRUE(recorder.Messages().empty());
            if (!e.sha256.empty()) {
                EXPECT_EQ(e.width, image->width);
                EXPECT_EQ(e.height, image->height);
                EXPECT_EQ(e.sha256, OutputHash(*image));
            }
            FreeRgbImage(image);
        } else {
            ++refused;
            EXPECT_NE("must_decode", e.cls) << "refused a file that must decode";
            ASSERT_EQ(1u, recorder.Messages().size());
            if (!e.message.empty()) {
                EXPECT_EQ(e.message, recorder.Messages()[0].text);
            }
        }
    }
    std::printf("bmp suite: %d decoded, %d refused\n", decoded, refused);
}

// The suite has no file without the "BM" header: drop it from every file whose
// pixels follow the palette directly, and the output must not change.
TEST_F(BmpSuite, MustDecodeFilesWithoutTheirFileHeaderDecodeTheSame) {
    int tried = 0;
    for (const SuiteEntry& e : entries) {
        if (e.cls != "must_decode") continue;
        std::string bytes = ReadWholeFile(kSuiteDir + "/" + e.path);
        ASSERT_GT(bytes.size(), 18u);
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data());
        uint32_t offset = b[10] | b[11] << 8 | b[12] << 16 | uint32_t(b[13]) << 24;
        std::vector<unsigned char> headerless(bytes.begin() + 14, bytes.end());
        int count = BmpPaletteCount(headerless.data());
        uint32_t headerSize = headerless[0];
        if (offset != 14 + headerSize + uint32_t(count) * (headerSize == 12 ? 3 : 4)) continue;
        SCOPED_TRACE(e.path);
        ++tried;
        const char* reason = "";
        RgbImage* image = DecodeBmpMemory(headerless.data(), headerless.size(), &reason);
        ASSERT_NE(nullptr, image) << reason;
        EXPECT_EQ(e.sha256, OutputHash(*image));
        FreeRgbImage(image);
    }
    EXPECT_GE(tried, 20);
}

}  // namespace
