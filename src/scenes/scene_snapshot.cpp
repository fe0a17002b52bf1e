#include "scenes/scene_snapshot.h"

#include "platform/system.h"
#include "scenes/cloud_scene.h"
#include "scenes/duel_scene.h"
#include "scenes/line_scenes.h"
#include "scenes/ribbon_scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"

#include <cstring>
#include <vector>

// A particle array of a system, whichever kind owns it.
struct SavedParticles {
    Particle** owner;
    uint16_t count;
    std::vector<Particle> copy;
};

struct SceneSnapshot {
    LineScene lines[3];
    SwirlScene swirls[2];
    WobbleScene wobble;
    CloudScene cloud;
    DuelScene duel;
    RibbonScene ribbons[2];
    ParticleSystem systems[3]; // the swirls' and the wobble's
    std::vector<SavedParticles> particles;
    float wobbleTube[16][16][2];
    int32_t spiralCounter;
    float swirlAngle, lastUpdateSeconds;
    ZELKOR_RandState random;
};

namespace {

LineScene* const kLines[3] = {&lineScene1, &lineScene8, &lineCreditsEnd};
SwirlScene* const kSwirls[2] = {&swirlScene2, &swirlScene7};
RibbonScene* const kRibbons[2] = {&ribbonScene4, &ribbonScene9};

ParticleSystem* SystemOf(int i) {
    return i < 2 ? kSwirls[i]->particles : wobbleScene.particles;
}

void SaveParticles(SceneSnapshot* s, Particle** owner, uint16_t count) {
    if (!*owner) return;
    s->particles.push_back(
        SavedParticles{owner, count, std::vector<Particle>(*owner, *owner + count)});
}

} // namespace

SceneSnapshot* SceneSnapshot_Take() {
    SceneSnapshot* s = new (std::nothrow) SceneSnapshot();
    if (!s) return nullptr;
    for (int i = 0; i < 3; i++) s->lines[i] = *kLines[i];
    for (int i = 0; i < 2; i++) s->swirls[i] = *kSwirls[i];
    for (int i = 0; i < 2; i++) s->ribbons[i] = *kRibbons[i];
    s->wobble = wobbleScene;
    s->cloud = cloudScene;
    s->duel = duelScene;
    for (int i = 0; i < 3; i++) {
        ParticleSystem* system = SystemOf(i);
        if (!system) continue;
        s->systems[i] = *system;
        SaveParticles(s, &system->particles, system->count);
    }
    for (LineScene* line : kLines)
        if (line->lines) SaveParticles(s, &line->lines->particles, line->lines->count);
    memcpy(s->wobbleTube, WobbleTube, sizeof WobbleTube);
    s->spiralCounter = spiralCounter;
    s->swirlAngle = swirlAngle;
    s->lastUpdateSeconds = lastUpdateSeconds;
    ZELKOR_RandSave(&s->random);
    return s;
}

void SceneSnapshot_Restore(const SceneSnapshot* s) {
    // The records hold the same pointers as when taken: the systems and
    // their arrays live as long as the show.
    for (int i = 0; i < 3; i++) *kLines[i] = s->lines[i];
    for (int i = 0; i < 2; i++) *kSwirls[i] = s->swirls[i];
    for (int i = 0; i < 2; i++) *kRibbons[i] = s->ribbons[i];
    wobbleScene = s->wobble;
    cloudScene = s->cloud;
    duelScene = s->duel;
    for (int i = 0; i < 3; i++)
        if (ParticleSystem* system = SystemOf(i)) *system = s->systems[i];
    for (const SavedParticles& p : s->particles)
        if (*p.owner) memcpy(*p.owner, p.copy.data(), p.count * sizeof(Particle));
    memcpy(WobbleTube, s->wobbleTube, sizeof WobbleTube);
    spiralCounter = s->spiralCounter;
    swirlAngle = s->swirlAngle;
    lastUpdateSeconds = s->lastUpdateSeconds;
    ZELKOR_RandRestore(&s->random);
}

void SceneSnapshot_Free(SceneSnapshot* s) {
    delete s;
}
