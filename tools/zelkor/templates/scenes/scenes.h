// The show's scene functions and their preparations.
#pragma once
#include "sequencing/scene_frame.h"

void Glow(const SceneFrame& frame);
int PrepareGlow();
