#include "scenes/scene_names.h"

#include <strings.h>
#include <vector>

#define ZK_KNOWN_NAME(name, scene, prepare, order, logLine) name,

static std::vector<const char*> ownNames; // a show's own, "preload" first; empty: the list's

const char* const* KnownSceneNames() {
    static const char* const names[] = {PreloadSceneName,
                                        ZK_SHOW_SCENES(ZK_KNOWN_NAME) EndeSceneName, nullptr};
    return ownNames.empty() ? names : ownNames.data();
}

void UseShowSceneNames(const char* const* names, int count) {
    ownNames.clear();
    if (!names) return;
    ownNames.push_back(PreloadSceneName);
    for (int i = 0; i < count; i++) ownNames.push_back(names[i]);
    ownNames.push_back(EndeSceneName);
    ownNames.push_back(nullptr);
}

int IsRegisteredSceneName(const char* name) {
    for (const char* const* known = KnownSceneNames(); *known; known++)
        if (!strcasecmp(name, *known)) return 1;
    return 0;
}
