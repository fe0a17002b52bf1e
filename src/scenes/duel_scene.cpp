#include "scenes/duel_scene.h"

DuelScene duelScene;

int PrepareScene5() {
    const char* paths[3] = {"tarnis_3.tga", "p1_kopf.tga", "p1_koerper.tga"};
    LoadSceneTextures(duelScene.textures, paths, 3);
    return 1;
}
