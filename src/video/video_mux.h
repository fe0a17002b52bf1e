// VideoMux: the FFmpeg side of ZK_Video. One container with a video stream
// and, if asked, an audio stream; used from one thread at a time. Each gives
// 1, or 0 with *status (when given) saying why without naming the file
// ("the disk is full"): the caller names it.
#pragma once
#include "video/video.h"

#include <string>

struct VideoMux;

// Whether the settings are ones the container and encoders take; touches no
// file.
int VideoMux_Check(const ZK_VideoSettings* settings, ZK_Status* status);
// Opens the encoders and writes the header to `file` (an existing file that
// is ours to overwrite). Null on failure.
VideoMux* VideoMux_Open(const ZK_VideoSettings* settings, const char* file, ZK_Status* status);
// One frame, laid out as ZK_VideoAcquireFrame describes; frames are numbered
// in the order they come.
int VideoMux_Frame(VideoMux* mux, const uint8_t* pixels, ZK_Status* status);
int VideoMux_Audio(VideoMux* mux, const int16_t* samples, int frames, ZK_Status* status);
// Flushes the encoders, writes the trailer and closes the file.
int VideoMux_Finish(VideoMux* mux, ZK_Status* status);
// Frees the mux (closing the file if still open); null is fine.
void VideoMux_Close(VideoMux* mux);
