// Every function of the scene API, named once here so that each program that
// links the engine links them all (a static library leaves out what nothing
// calls) and exports them: a scene library finds the same set in every host.
// tests/zelkor/scene_api_test.sh checks this list against zelkor.h.
#include "zelkor/zelkor.h"

#include <tuple>

// clang-format off
static const std::tuple api = {
    &Tracks_Intern, &Tracks_Value, &Tracks_ValueAtRow, &Tracks_Find, &Tracks_Grid,
    &MusicGrid_RowAt, &MusicGrid_MsAt, &MusicGrid_RowStart, &MusicGrid_Position,
    &MusicGrid_FormatBar,
    &DrawMatrix_Identity, &DrawMatrix_Multiply, &DrawMatrix_Translate, &DrawMatrix_Rotate,
    &DrawMatrix_Scale, &DrawMatrix_Perspective, &DrawMatrix_LookAt, &DrawMatrix_Point,
    &ZELKOR_Camera::Initialize, &ZELKOR_Camera::SetPosition, &ZELKOR_Camera::Use,
    &ZELKOR_Texture::LoadTexture, &ZELKOR_Texture::BindTexture,
    &AdvanceSceneClock, &UpdateFade, &BeginSceneFrame, &BindHolder, &DrawBackdrop,
    &DrawFadedBackdrop, &SceneTexture, &LoadSceneTextures,
    &ParticleSystem::Init, &ParticleSystem::InitWithRespawn, &ParticleSystem::Update,
    &ParticleSystem::Render, &SpiralRespawn,
    &LineSystem::Init, &LineSystem::Update, &LineSystem::Render,
    &DrawFigureRigid, &DrawFigure,
    &Scene_Alloc, &ZELKOR_Rand, &Draw_Current,
};
// clang-format on

// What the engine names, so that this file is linked wherever it is.
extern const void* const zelkorSceneApi;
const void* const zelkorSceneApi = &api;
