// zelkor/zelkor.h: everything a scene may use, and all of it. Every program
// that plays scenes (marovy, zelkor play and capture, a show's own program,
// the web page) offers exactly these functions, so a scene library that
// builds against this header loads in each of them. docs/scene-api.md is
// the reference: each function, what it does and what it costs.
//
//   the frame          SceneFrame: times, the beat, the draw layer, Param()
//   registration       ZELKOR_SCENE(name, State, draw, prepare), one line
//   the state          the scene's record (the engine's); Scene_Alloc
//   the draw layer     Draw (the table in frame.draw; Draw_Current() in
//                      prepare) with shaders, targets and points, and its constants
//   textures           SceneTexture, LoadSceneTextures, ZELKOR_Texture
//   the kits           scene clock, fade, backdrop; ParticleSystem,
//                      LineSystem, SpiralRespawn; the jointed figure
//   random numbers     ZELKOR_Rand: the show's one sequence
//   camera, matrices   ZELKOR_Camera, DrawMatrix_*
//   tracks, the grid   Tracks_*, MusicGrid_*
#pragma once
#include "platform/camera.h"
#include "platform/draw.h"
#include "platform/draw_matrix.h"
#include "platform/system.h"
#include "scenes/figure_model.h"
#include "scenes/line_system.h"
#include "scenes/particle_system.h"
#include "scenes/scene_kit.h"
#include "sequencing/music_grid.h"
#include "sequencing/scene_frame.h"
#include "sequencing/scene_set.h"
#include "sequencing/scene_state.h"
#include "sequencing/tracks.h"
#include "textures/texture.h"
