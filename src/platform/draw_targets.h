// The render targets at the engine's marks: a mark keeps each target's
// ping-pong side and, while the targets hold what the frames run so far
// drew into them, a copy of their pixels, so that going back to the mark
// and drawing on from there gives what a run that drew every frame gives
// (a feedback trail seeks exactly). Frames run without drawing break that
// for the targets they would have drawn into; a mark restored brings it
// back. The modern backend's; elsewhere there are no targets.
#pragma once
#include <cstdint>

struct DrawTargetsMark;

// The targets as they are now into *mark (null when there are none); 0 when
// out of memory. *whole is 1 when the mark keeps every target's pixels as
// the frames drew them (or there are no targets). Copies are kept up to a
// budget shared by all marks; past it a mark keeps the sides only.
int DrawTargets_Mark(DrawTargetsMark** mark, int* whole);
// Back to the mark: the sides, and the pixels where it holds them (else the
// target no longer holds what the frames drew).
void DrawTargets_Rewind(const DrawTargetsMark* mark);
void DrawTargets_FreeMark(DrawTargetsMark* mark);
// 1 when every target holds what the frames run so far drew into it.
int DrawTargets_Consistent();
// A frame run without drawing was to draw into the target.
void DrawTargets_Missed(uint32_t target);
