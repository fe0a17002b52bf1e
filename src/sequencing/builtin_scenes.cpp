// The two scenes the engine brings along: "preload" keeps the window
// responsive while nothing is drawn, "ende" ends the show.
#include "platform/message.h"
#include "platform/window.h"
#include "sequencing/scene_registry.h"
#include "core/globals.h"

void PreloadScene(const SceneFrame&) {
    // Its own record: a quit message taken here is dropped, as the main loop
    // never sees it.
    ZELKOR_Message message;
    if (g_window) g_window->PumpMessage(&message);
}

// Posted again every frame while the entry is active; the main loop ends
// after the frame that pumps it.
void EndeScene(const SceneFrame&) {
    ZELKOR_PostQuitMessage(0);
}
