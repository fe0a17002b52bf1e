// A scene library that calls every function of the scene API: loaded into a
// program, every symbol bound at once, it proves the program offers them
// all; played (zelkor capture), it proves they run.
#include "zelkor/zelkor.h"

struct Everything {
    ZELKOR_Texture* textures[2];
    ZELKOR_Texture* own;
    ZELKOR_Texture direct;
    ParticleSystem particles, spiral;
    LineSystem lines;
    SceneClock clock;
    float fade;
    float* block; // the engine's
};

static int PrepareEverything(Everything& s, int kept) {
    if (kept) return 1;
    const char* paths[2] = {"everything_a.tga", "everything_b.tga"};
    LoadSceneTextures(s.textures, paths, 2);
    s.own = SceneTexture("everything_c.tga");
    s.direct.LoadTexture("everything_d.tga", 0, 1);
    s.block = (float*)Scene_Alloc(16 * sizeof(float));
    Draw_Current()->MaxTextureSide();
    return s.particles.Init(16, s.textures[0]) &&
           s.spiral.InitWithRespawn(16, s.textures[1], SpiralRespawn) &&
           s.lines.Init(8, 1.0f, 0.5f, 0.25f) && s.block;
}

static void DrawEverything(const SceneFrame& f, Everything& s) {
    const Draw* d = f.draw;
    float t = SceneTime(f.musicTime);
    AdvanceSceneClock(&s.clock, t);
    UpdateFade(&s.fade, &s.clock, t, 1000.0f);
    BeginSceneFrame(d);
    BindHolder(d, s.textures[0]);
    DrawBackdrop(d);
    DrawFadedBackdrop(d, s.own, s.fade);
    s.direct.BindTexture(d);

    ZELKOR_Camera camera;
    camera.Initialize(0.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f, nullptr);
    camera.SetPosition(0.0f, 1.0f, 5.0f, 0.0f, 0.0f, 0.0f);
    d->LoadIdentity();
    camera.Use(d);
    s.particles.Update(f.elapsed);
    s.particles.Render(d, 0.0f, 0.0f, -20.0f, 0);
    s.spiral.Update(f.elapsed);
    s.spiral.Render(d, 0.0f, 0.0f, -30.0f, 1);
    s.lines.Update();
    s.lines.Render(d, 0.0f, 0.0f, -10.0f);
    DrawFigureRigid(d, s.textures[1], s.textures[0]);
    DrawFigure(d, s.textures[1], s.textures[0], 12.0f);

    DrawMatrix m, n;
    float point[4];
    DrawMatrix_Identity(&m);
    DrawMatrix_Translate(&m, 1.0f, 2.0f, 3.0f);
    DrawMatrix_Rotate(&m, 30.0f, 0.0f, 0.0f, 1.0f);
    DrawMatrix_Scale(&m, 2.0f, 2.0f, 2.0f);
    DrawMatrix_Perspective(&n, 45.0, 4.0 / 3.0, 0.1, 100.0);
    DrawMatrix_LookAt(&n, 0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    DrawMatrix_Multiply(&n, n, m);
    DrawMatrix_Point(n, 1.0f, 1.0f, 1.0f, point);

    static const TrackHandle value = Tracks_Intern("everything.value");
    const MusicGrid& grid = Tracks_Grid();
    double row = MusicGrid_RowAt(grid, f.musicTime);
    float sum = Tracks_Value(value, f.musicTime, 0.0f) + Tracks_ValueAtRow(value, row, 0.0f) +
                (Tracks_Find(value) ? 1.0f : 0.0f) + f.Param(value, 1.0f) +
                (float)MusicGrid_MsAt(grid, row) + (float)MusicGrid_RowStart(grid, 4) +
                (float)MusicGrid_Position(grid, f.musicTime).bar +
                (float)MusicGrid_FormatBar(grid, f.musicTime).size() + (float)(ZELKOR_Rand() % 2);
    s.block[0] += sum * 0.0f + point[0] * 0.0f + 1.0f;
}

ZELKOR_SCENE("everything", Everything, DrawEverything, PrepareEverything);
ZELKOR_SCENE_LIBRARY()
