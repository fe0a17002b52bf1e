// The jointed figure of scene3 and scene5: ten flat textured quads (torso, two
// legs and two arms of two segments each, head) drawn in immediate mode.
#pragma once
#include "core/api.h"

class ZELKOR_Texture;
struct Draw;

// Both leave the modelview scaled by 1.5 and use the caller's colour, blend
// and depth state. A null texture record binds nothing.
ZELKOR_API void DrawFigureRigid(const Draw* draw, ZELKOR_Texture* body, ZELKOR_Texture* head);
// Torso and head tilted by swing degrees about the figure's x axis.
ZELKOR_API void DrawFigure(const Draw* draw, ZELKOR_Texture* body, ZELKOR_Texture* head,
                           float swing);
