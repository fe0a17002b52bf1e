// VideoMux: the FFmpeg side of ZK_Video. One container with a video stream
// and, if asked, an audio stream; used from one thread at a time. Errors are
// reasons without the file name ("the disk is full"), the caller adds it.
#pragma once
#include "video/video.h"

#include <string>

struct VideoMux;

// 1 when the settings are ones the container and encoders take, else 0 with
// the reason; touches no file.
int VideoMux_Check(const ZK_VideoSettings* settings, std::string* error);
// Opens the encoders and writes the header to `file` (an existing file that
// is ours to overwrite). Null on failure, with the reason.
VideoMux* VideoMux_Open(const ZK_VideoSettings* settings, const char* file, std::string* error);
// One frame, laid out as ZK_VideoAcquireFrame describes; frames are numbered
// in the order they come.
int VideoMux_Frame(VideoMux* mux, const uint8_t* pixels, std::string* error);
int VideoMux_Audio(VideoMux* mux, const int16_t* samples, int frames, std::string* error);
// Flushes the encoders, writes the trailer and closes the file.
int VideoMux_Finish(VideoMux* mux, std::string* error);
// Frees the mux (closing the file if still open); null is fine.
void VideoMux_Close(VideoMux* mux);
