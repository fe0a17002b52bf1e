// ZELKOR_Sound: the MP3 stream in sixteen slots and the music clock.
#pragma once
#include <cstdint>

class ZELKOR_Log;

class ZELKOR_Sound {
  public:
    ZELKOR_Sound() {}
    int Initialize(ZELKOR_Log* log);
    int OpenStream(const char* fileName);
    int PlayStream(int slot);
    int PlayCurrentStream() { return PlayStream(currentSlot); }
    int CloseStream(int slot);
    int CloseAllStreams();
    uint32_t GetStreamTime(int slot);
    uint32_t GetTime() { return GetStreamTime(currentSlot); }
    void Shutdown();

  private:
    ZELKOR_Log* log = nullptr;
    int currentSlot = 0;
    void* streams[16] = {};
    int inUse[16] = {};
};
