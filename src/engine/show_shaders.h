// A show's own shaders, for the programs that play it. They decide the draw
// backend before the context is made: a show with shaders (a folder
// "shaders" in the show folder) needs the modern backend, so it gets it
// without being asked, and the fixed one is refused. Other shows run on
// what was asked, fixed by default.
#pragma once

// In the show folder (the current one): the renderer to start (DrawRenderer)
// for `asked` (a DrawRenderer, or -1 when none was asked for), saying on
// stderr, after "WHO: ", when the modern one is taken unasked; or -1 when
// the one asked for cannot draw the show, the reason said. `shown` names the
// show folder in those lines ("" for the current one, else ending in '/').
int Engine_ShowRenderer(const char* who, const char* shown, int asked);

// After the start-up: each shader that did not compile, with its file, line
// and complaint, one line each on stderr after "WHO: SHOWN".
void Engine_TellShaderProblems(const char* who, const char* shown);
