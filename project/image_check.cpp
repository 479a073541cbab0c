// image_check.cpp: reading an image's declared size from its header.
#include "project/image_check.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static char sReason[64];   // why the last refused image was refused

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static bool SameExt(const char *a, const char *b);
static uint32_t ReadBig(const unsigned char *p, int bytes);
static uint32_t ReadLittle(const unsigned char *p, int bytes);
static int JpegFrameSize(const unsigned char *d, int size, int *width, int *height);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ImageHeaderSize(const unsigned char *data, int size, const char *ext, int *width, int *height)
{
    static const unsigned char kPng[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (ext == nullptr) return -1;
    const unsigned char *d = data;
    int64_t w = -1, h = -1;
    if (SameExt(ext, ".png")) {
        if (size >= 24 && memcmp(d, kPng, 8) == 0 && memcmp(d + 12, "IHDR", 4) == 0) {
            w = ReadBig(d + 16, 4);
            h = ReadBig(d + 20, 4);
        }
    } else if (SameExt(ext, ".jpg") || SameExt(ext, ".jpeg")) {
        int jw, jh;
        if (JpegFrameSize(d, size, &jw, &jh)) {
            w = jw;
            h = jh;
        }
    } else if (SameExt(ext, ".bmp")) {
        if (size >= 26 && d[0] == 'B' && d[1] == 'M') {
            bool core = ReadLittle(d + 14, 4) == 12;   // the oldest header: 16-bit sides
            w = core ? (int16_t)ReadLittle(d + 18, 2) : (int32_t)ReadLittle(d + 18, 4);
            h = core ? (int16_t)ReadLittle(d + 20, 2) : (int32_t)ReadLittle(d + 22, 4);
            if (h < 0) h = -h;                     // a top-down image
        }
    } else if (SameExt(ext, ".tga")) {
        if (size >= 18) {
            w = ReadLittle(d + 12, 2);
            h = ReadLittle(d + 14, 2);
        }
    } else if (SameExt(ext, ".gif")) {
        if (size >= 10 && memcmp(d, "GIF8", 4) == 0) {
            w = ReadLittle(d + 6, 2);
            h = ReadLittle(d + 8, 2);
        }
    } else if (SameExt(ext, ".qoi")) {
        if (size >= 14 && memcmp(d, "qoif", 4) == 0) {
            w = ReadBig(d + 4, 4);
            h = ReadBig(d + 8, 4);
        }
    } else {
        return -1;
    }
    if (w < 0 || h < 0 || w > INT32_MAX || h > INT32_MAX) return 0;
    *width = (int)w;
    *height = (int)h;
    return 1;
}

int ImageSizeAllowed(const unsigned char *data, int size, const char *ext)
{
    int w = 0, h = 0;
    int known = ImageHeaderSize(data, size, ext, &w, &h);
    if (known < 0 || (known == 1 && w <= kImageMaxSide && h <= kImageMaxSide)) return 1;
    if (known == 0) snprintf(sReason, sizeof(sReason), "%s", "bad header");
    else snprintf(sReason, sizeof(sReason), "image %d x %d over %d pixels a side", w, h, kImageMaxSide);
    return 0;
}

const char *ImageCheckReason(void)
{
    return sReason;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Extensions equal with case ignored.
static bool SameExt(const char *a, const char *b)
{
    for (; *a != '\0' && *b != '\0'; a++, b++) {
        if (tolower((unsigned char)*a) != tolower((unsigned char)*b)) return false;
    }
    return *a == *b;
}

static uint32_t ReadBig(const unsigned char *p, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; i++) v = (v << 8) | p[i];
    return v;
}

static uint32_t ReadLittle(const unsigned char *p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | p[i];
    return v;
}

// The size in a JPEG's first frame header (any SOF marker), walking the segments before it; 0 when
// the file is no JPEG or its scan or end comes first.
static int JpegFrameSize(const unsigned char *d, int size, int *width, int *height)
{
    if (size < 4 || d[0] != 0xFF || d[1] != 0xD8) return 0;
    int i = 2;
    while (i + 4 <= size) {
        if (d[i] != 0xFF) return 0;
        unsigned char m = d[i + 1];
        if (m == 0xFF) {                           // fill before a marker
            i++;
            continue;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {   // markers without a length
            i += 2;
            continue;
        }
        if (m == 0xD9 || m == 0xDA) return 0;     // the end, or a scan, before any frame
        int length = (int)ReadBig(d + i + 2, 2);
        if (length < 2) return 0;
        bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (frame) {
            if (i + 9 > size || length < 7) return 0;
            *height = (int)ReadBig(d + i + 5, 2);
            *width = (int)ReadBig(d + i + 7, 2);
            return 1;
        }
        i += 2 + length;
    }
    return 0;
}
