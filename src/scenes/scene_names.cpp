#include "scenes/scene_names.h"

#include <cstring>
#include <strings.h>
#include <vector>

#define ZK_KNOWN_NAME(name, order, logLine) name,

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

namespace {

struct Line {
    const char* name;
    int order;
    const char* logLine;
};
#define ZK_SCENE_LINE(name, order, logLine) {name, order, logLine},
constexpr Line lines[] = {ZK_SHOW_SCENES(ZK_SCENE_LINE)};
#undef ZK_SCENE_LINE

constexpr int PlacesAreOneToN() {
    int placed[SHOW_SCENE_COUNT] = {};
    for (const Line& line : lines) {
        if (line.order < 1 || line.order > SHOW_SCENE_COUNT || placed[line.order - 1]++) return 0;
    }
    return 1;
}
static_assert(PlacesAreOneToN(), "each scene needs its own place from 1 to the number of scenes");

} // namespace

int ShowScenePlace(const char* name, int* order, const char** logLine) {
    for (int i = 0; i < SHOW_SCENE_COUNT; i++) {
        if (strcmp(lines[i].name, name) != 0) continue;
        *order = lines[i].order;
        *logLine = lines[i].logLine;
        return i;
    }
    return -1;
}
