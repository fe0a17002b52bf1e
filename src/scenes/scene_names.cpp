#include "scenes/scene_names.h"

#include <strings.h>

int IsRegisteredSceneName(const char* name) {
    if (!strcasecmp(name, PreloadSceneName) || !strcasecmp(name, EndeSceneName)) return 1;
    for (const char* known : ShowSceneNames)
        if (!strcasecmp(name, known)) return 1;
    return 0;
}
