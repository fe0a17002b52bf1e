// What the engine asks of the system beside its window: the tick count, a
// sleep, the platform layer's last error and the message box. SDL on the
// desktop (system.cpp), the browser under Emscripten (system_web.cpp).
#pragma once
#include <cstdint>

// Milliseconds since some fixed point, wrapping at 2^32.
uint32_t ZELKOR_GetTicks();
void ZELKOR_Sleep(uint32_t ms);
// The platform layer's last error, named by the layer ("SDL: ...").
const char* ZELKOR_PlatformError();
void ZELKOR_SetPlatformError(const char* text);
// Shows the modal box; where none can be shown, the text goes to stderr
// with the platform's error.
void ZELKOR_ShowMessageBox(const char* caption, const char* text);
