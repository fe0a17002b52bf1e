// The master stage: the level set by loudness rather than by peak, a gentle
// look-ahead limiter, and an MP3 that is measured again after encoding.
#pragma once
#include "loudness.h"
#include "mix.h"
#include "score.h"

#include <string>

// Lowers sample peaks above ceilingDb smoothly: the gain starts falling a few
// milliseconds ahead of a peak and recovers over about a tenth of a second.
void LimitPeaks(StereoBuffer* pcm, double ceilingDb);

// Scales the buffer until its integrated loudness is targetLufs (within
// 0.05 LU), limiting its peaks to ceilingDb after every step.
bool NormaliseLoudness(StereoBuffer* pcm, double targetLufs, double ceilingDb);

// Sets the master's level as the score asks: by loudness when it names a
// target (its peaks limited a little below its true-peak ceiling); else the
// render's own peak normalisation stands.
ZK_Status MasterLevel(const Score& score, StereoBuffer* pcm);

// Encodes to path and measures the decoded file. Encoding can raise peaks,
// so while the true peak is above the score's ceiling the level comes down
// (the limiter's ceiling when levelling by loudness, the whole mix otherwise)
// and the file is made again. `measured` describes the file as written.
ZK_Status WriteMeasuredMp3(const Score& score, StereoBuffer* pcm, int kbps, const std::string& path,
                           Loudness* measured);
