// Reloading textures while the show runs: once tracking is on, every load is
// remembered (record, path, mipmaps), so a changed file can be decoded again
// and uploaded into the same texture objects, which every scene holding them
// then draws on its next frame.
#pragma once
#include "core/status.h"

#include <string>

class ZELKOR_Texture;
struct TexImage;

void Textures_TrackLoads(int on);
// Decodes `path` (as it was loaded) again into every record loaded from it,
// and returns how many there are (0: nothing was loaded from it, nothing is
// done). -1, with *status (when given) saying why, when the file cannot be
// read or decoded, or decodes only with a warning (a file still being
// written): the records keep their pictures.
// A texture script's picture depends on the scripts run before it, so a
// changed script runs every script again in load order from a fresh layer
// store, as a fresh start would: on a thread of its own, since scripts may
// take seconds. That gives TEXTURES_RELOAD_RUNNING, and Textures_Reloaded
// tells when the pictures are in; a newer save stops an older run. A script
// cut short (fewer commands than its count) is refused with -1.
enum { TEXTURES_RELOAD_RUNNING = -2 };
int Textures_Reload(const char* path, ZK_Status* status = nullptr);
// Called every frame: 1 when a run of scripts has ended and its pictures are
// in (the path saved, and the run's milliseconds), else 0.
int Textures_Reloaded(std::string* path, double* ms);
// Stops a run that is still going (before the program ends).
void Textures_StopReloads();

// The texture manager's side: remembers a load (when tracking), and uploads a
// decoded image into the record's own texture object (`reuse`) or a new one.
void NoteTextureLoad(ZELKOR_Texture* texture, const char* path, int useMipmaps);
void UploadTexture(ZELKOR_Texture* texture, const TexImage& image, int useMipmaps, int reuse);
// The largest side a picture may have here: TEX_MAX_SIDE, or OpenGL's smaller one.
int TextureMaxSide();
