#include "scenes/ribbon_scenes.h"

RibbonScene ribbonScene4, ribbonScene9;

int PrepareScene4() {
    const char* path = "tarnis_2.tga";
    LoadSceneTextures(&ribbonScene4.picture, &path, 1);
    return 1;
}

int PrepareScene9() {
    const char* path = "tarnis_7.tga";
    LoadSceneTextures(&ribbonScene9.picture, &path, 1);
    return 1;
}
