#include "scenes/scene_names.h"

#include <strings.h>

#define ZK_KNOWN_NAME(name, scene, prepare, order, logLine) name,

const char* const* KnownSceneNames() {
    static const char* const names[] = {PreloadSceneName,
                                        ZK_SHOW_SCENES(ZK_KNOWN_NAME) EndeSceneName, nullptr};
    return names;
}

int IsRegisteredSceneName(const char* name) {
    for (const char* const* known = KnownSceneNames(); *known; known++)
        if (!strcasecmp(name, *known)) return 1;
    return 0;
}
