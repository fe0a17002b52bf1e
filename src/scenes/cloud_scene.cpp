#include "scenes/cloud_scene.h"

CloudScene cloudScene;

int PrepareScene3() {
    // "tarnis_particle2.tga" is loaded but drawn by nothing.
    const char* paths[5] = {"tarnis_1.tga", "p1_kopf.tga", "p1_koerper.tga", "tarnis_particle2.tga",
                            "tarnis_cloud.tga"};
    LoadSceneTextures(cloudScene.textures, paths, 5);
    return 1;
}
