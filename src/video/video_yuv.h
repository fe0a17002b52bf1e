// Full-range RGB rows to BT.709 limited-range 4:2:0 planes, the layout the
// H.264 and VP9 encoders take. Each chroma sample is the mean of its 2x2
// pixels (centred, as JPEG and most players place it).
#pragma once
#include <cstddef>
#include <cstdint>

struct VideoYuvPlanes {
    uint8_t* plane[3]; // Y, Cb, Cr
    ptrdiff_t stride[3];
};

// `rows` is the first row of a `width` x `height` picture (both even), rows
// `rowStep` bytes apart (negative for bottom-up). `pixelFormat` is
// ZK_VIDEO_RGB, ZK_VIDEO_RGBA or ZK_VIDEO_BGRA.
void VideoYuv_Convert(const uint8_t* rows, ptrdiff_t rowStep, int pixelFormat, int width,
                      int height, const VideoYuvPlanes& out);
