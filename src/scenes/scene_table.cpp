#include "scenes/scenes.h"

#include "scenes/cloud_scene.h"
#include "scenes/duel_scene.h"
#include "scenes/line_scenes.h"
#include "scenes/ribbon_scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"

#include <array>

#define ZK_SCENE_ENTRY(name, scene, prepare, order, logLine) {name, scene},
const SceneTableEntry SceneTable[SHOW_SCENE_COUNT] = {ZK_SHOW_SCENES(ZK_SCENE_ENTRY)};
#undef ZK_SCENE_ENTRY

namespace {

struct Ordered {
    int order;
    ScenePreparation preparation;
};

#define ZK_SCENE_PREPARATION(name, scene, prepare, order, logLine) {order, {logLine, prepare}},
constexpr Ordered listed[SHOW_SCENE_COUNT] = {ZK_SHOW_SCENES(ZK_SCENE_PREPARATION)};
#undef ZK_SCENE_PREPARATION

constexpr int PlacesAreOneToN() {
    int placed[SHOW_SCENE_COUNT] = {};
    for (const Ordered& o : listed) {
        if (o.order < 1 || o.order > SHOW_SCENE_COUNT || placed[o.order - 1]++) return 0;
    }
    return 1;
}
static_assert(PlacesAreOneToN(), "each scene needs its own place from 1 to the number of scenes");

// The routines sorted by their place in the start-up order, at compile time.
constexpr std::array<ScenePreparation, SHOW_SCENE_COUNT> ByOrder() {
    std::array<ScenePreparation, SHOW_SCENE_COUNT> sorted = {};
    for (const Ordered& o : listed) sorted[o.order - 1] = o.preparation;
    return sorted;
}

} // namespace

const std::array<ScenePreparation, SHOW_SCENE_COUNT> PrepareScenes = ByOrder();
