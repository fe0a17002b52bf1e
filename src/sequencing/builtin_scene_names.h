// The names of the engine's own two scenes, registered before and after the
// show's: "preload" keeps the window answering, "ende" ends the show.
#pragma once

inline constexpr const char* PreloadSceneName = "preload";
inline constexpr const char* EndeSceneName = "ende";
