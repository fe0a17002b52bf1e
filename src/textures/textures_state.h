// The texture manager's one record, shared by its two files (not installed).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class ZELKOR_Texture;
struct RGS_Job;

struct TextureLoadNote {
    ZELKOR_Texture* texture;
    std::string path;
    int useMipmaps;
};

// What LoadTexture's `why` points at for a problem that is no static text
// (libpng's words, say), kept until the next failed load; and for reloading:
// every load noted (in load order; records live until the process ends, so
// the pointers stay good), the run of scripts going on, the notes its
// scripts belong to (in order), the save that started it, and a newer save
// waiting for it to stop.
struct TexturesState {
    std::string loadProblem;
    std::vector<TextureLoadNote> notes;
    int tracking = 0;
    RGS_Job* job = nullptr;
    std::vector<size_t> jobNotes;
    std::string jobPath, waitingPath;
};
extern TexturesState g_textures;
