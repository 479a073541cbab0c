// The sizes image headers declare, read before any decoder allocates for them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "project/image_check.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutBig(Bytes &b, size_t at, uint32_t v, int n)
{
    for (int i = 0; i < n; i++) b[at + i] = (uint8_t)(v >> (8 * (n - 1 - i)));
}

void PutLittle(Bytes &b, size_t at, uint32_t v, int n)
{
    for (int i = 0; i < n; i++) b[at + i] = (uint8_t)(v >> (8 * i));
}

Bytes Cut(Bytes b, size_t keep)
{
    b.resize(keep);
    return b;
}

Bytes Png(uint32_t w, uint32_t h)
{
    Bytes b = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R' };
    b.resize(33);
    PutBig(b, 16, w, 4);
    PutBig(b, 20, h, 4);
    return b;
}

// An APP0 segment, then the frame header (or, with scanFirst, a scan before it).
Bytes Jpeg(uint32_t w, uint32_t h, bool scanFirst = false)
{
    Bytes b = { 0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0 };
    const Bytes scan = { 0xFF, 0xDA, 0, 2 };
    Bytes frame = { 0xFF, 0xFF, 0xC2, 0, 11, 8, 0, 0, 0, 0, 1, 1, 0x11, 0 };   // a fill byte first
    PutBig(frame, 6, h, 2);
    PutBig(frame, 8, w, 2);
    for (uint8_t x : scanFirst ? scan : Bytes()) b.push_back(x);
    for (uint8_t x : frame) b.push_back(x);
    return b;
}

Bytes Bmp(int32_t w, int32_t h, bool core = false)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLittle(b, 14, core ? 12 : 40, 4);
    PutLittle(b, 18, (uint32_t)w, core ? 2 : 4);
    PutLittle(b, core ? 20 : 22, (uint32_t)h, core ? 2 : 4);
    return b;
}

}  // namespace

TEST(ImageCheck, HeadersGiveTheirSizesAndOnlyImagesThatFitPass)
{
    Bytes tga(18, 0), gif = { 'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0 }, qoi(14, 0);
    PutLittle(tga, 12, 300, 2);
    PutLittle(tga, 14, 200, 2);
    PutLittle(gif, 6, 9000, 2);
    PutLittle(gif, 8, 2, 2);
    qoi[0] = 'q', qoi[1] = 'o', qoi[2] = 'i', qoi[3] = 'f';
    PutBig(qoi, 4, 64, 4);
    PutBig(qoi, 8, 0xFFFFFFFFu, 4);
    const struct { const char *what; Bytes bytes; const char *ext; int known, w, h; bool allowed; } cases[] = {
        { "a PNG", Png(16, 8), ".png", 1, 16, 8, true },
        { "a PNG, extension in capitals", Png(kImageMaxSide, kImageMaxSide), ".PNG", 1, kImageMaxSide, kImageMaxSide, true },
        { "a PNG one pixel too wide", Png(kImageMaxSide + 1, 1), ".png", 1, kImageMaxSide + 1, 1, false },
        { "a PNG past 2^31", Png(0x80000000u, 1), ".png", 0, 0, 0, false },
        { "a PNG cut short", Cut(Png(16, 8), 20), ".png", 0, 0, 0, false },
        { "a JPEG named .jpeg, frame after a segment and a fill", Jpeg(640, 480), ".jpeg", 1, 640, 480, true },
        { "a JPEG too tall", Jpeg(10, 60000), ".jpg", 1, 10, 60000, false },
        { "a JPEG whose scan comes first", Jpeg(10, 10, true), ".jpg", 0, 0, 0, false },
        { "a JPEG cut inside its frame header", Cut(Jpeg(10, 10), Jpeg(10, 10).size() - 8), ".jpg", 0, 0, 0, false },
        { "a BMP drawn top-down", Bmp(100, -50), ".bmp", 1, 100, 50, true },
        { "a BMP of the oldest header", Bmp(70, 30, true), ".bmp", 1, 70, 30, true },
        { "a BMP of negative width", Bmp(-5, 5), ".bmp", 0, 0, 0, false },
        { "a TGA", tga, ".tga", 1, 300, 200, true },
        { "a GIF too wide", gif, ".gif", 1, 9000, 2, false },
        { "a QOI past 2^31", qoi, ".qoi", 0, 0, 0, false },
        { "a PNG named .jpg", Png(16, 8), ".jpg", 0, 0, 0, false },
        { "a format read by its decoder alone", Png(100000, 100000), ".dds", -1, 0, 0, true },
    };
    for (const auto &c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(ImageHeaderSize(c.bytes.data(), (int)c.bytes.size(), c.ext, &w, &h), c.known) << c.what;
        if (c.known == 1) {
            EXPECT_TRUE(w == c.w && h == c.h) << c.what << ": " << w << " x " << h;
        }
        EXPECT_EQ(ImageSizeAllowed(c.bytes.data(), (int)c.bytes.size(), c.ext) == 1, c.allowed) << c.what;
    }
}

TEST(ImageCheck, ARefusedImageKeepsItsReason)
{
    const struct { Bytes bytes; const char *ext; const char *reason; } cases[] = {
        { Png(kImageMaxSide + 1, 1), ".png", "image 8193 x 1 over 8192 pixels a side" },
        { Cut(Png(16, 8), 20), ".png", "bad header" },
        { Jpeg(10, 10, true), ".jpg", "bad header" },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ImageSizeAllowed(c.bytes.data(), (int)c.bytes.size(), c.ext), 0) << c.reason;
        EXPECT_STREQ(ImageCheckReason(), c.reason);
    }
}
