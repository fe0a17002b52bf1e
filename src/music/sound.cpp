// Placeholder until the music stream lands: no audio, the clock reads 0.
#include "music/sound.h"

#include <SDL.h>

int ZELKOR_Sound::Initialize(ZELKOR_Log* logger) {
    log = logger;
    return 1;
}
int ZELKOR_Sound::OpenStream(const char*) { return -1; }
int ZELKOR_Sound::PlayStream(int) { return 0; }
int ZELKOR_Sound::CloseStream(int) { return 1; }
int ZELKOR_Sound::CloseAllStreams() { return 0; }
uint32_t ZELKOR_Sound::GetStreamTime(int) { return SDL_GetTicks(); }
void ZELKOR_Sound::Shutdown() {}
