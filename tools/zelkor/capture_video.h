// A capture's video file: the output frames go to ZK_Video, with the show's
// sound decoded by the engine's own MP3 stream code and cut sample-exactly to
// the range, so sample n of the track is at T_from + n / 44100 s as it is in
// the show. Past the end of a short track the sound is silence, as in the show.
#pragma once
#include "capture_loop.h"
#include "video/video.h"

#include <string>

struct CaptureVideo;

// The file `settings` describes (its fps and audio fields are set here from
// `schedule`, whose fps must be > 0). With `soundPath` the video gets a sound
// track; when that file is not a regular file holding MPEG audio it gets none,
// and `soundProblem` says why. Null with *status saying why, leaving no file.
CaptureVideo* CaptureVideo_Open(ZK_VideoSettings* settings, const CaptureSchedule* schedule,
                                const char* soundPath, ZK_Status* soundProblem, ZK_Status* status);
// The sink function (CaptureSink::frame) for it: frame k and the sound up to T_(k+1).
int CaptureVideo_Frame(void* video, uint64_t k, uint32_t music, const uint8_t* pixels);
// The encoder's next frame buffer, to read the picture straight into (a
// CaptureSink's `buffer`); null, having said why, once the encoder failed.
uint8_t* CaptureVideo_Buffer(void* video);
// Completes the file and puts it in place. Frees it.
ZK_Status CaptureVideo_Finish(CaptureVideo* video);
// Removes what was written and frees it; null is fine.
void CaptureVideo_Abort(CaptureVideo* video);
