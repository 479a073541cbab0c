// image_check.h: what an image file from outside must pass before a decoder sees it.
//
// A decoder allocates what the image's header declares before it reads a pixel, so a file of a few
// bytes can ask for gigabytes. The header's width and height are read here first, and an image
// larger than kImageMaxSide on either side is refused like a broken file.
#pragma once

constexpr int kImageMaxSide = 8192;   // 256 MB of pixels at four bytes each
// An image file longer than this is not read: room for the largest image let through, stored
// without compression, and its header.
constexpr int kImageMaxFileBytes = kImageMaxSide * kImageMaxSide * 4 + (1 << 20);

// The width and height the header of an image of extension ext (".png", ".jpg", ".jpeg", ".bmp",
// ".tga", ".gif" or ".qoi", case ignored) declares: 1 with both written, 0 when the header is
// broken or cut short, -1 for an extension it does not read.
int ImageHeaderSize(const unsigned char *data, int size, const char *ext, int *width, int *height);
// 1 when an image of extension ext may go to the decoder: a header that declares at most
// kImageMaxSide on each side, or a format ImageHeaderSize does not read (the decoder's own limits
// hold there); 0 otherwise.
int ImageSizeAllowed(const unsigned char *data, int size, const char *ext);
// Why the last refused image was refused, a short lower-case phrase ("bad header").
const char *ImageCheckReason(void);
