// zelkor play's keys: caught as SDL queues them, handled between frames.
#include "play_keys.h"

#include "play_editor.h"

#include "cli/times.h"
#include "engine/live.h"
#include "engine/timetable_nav.h"
#include "sequencing/tracks.h"

#include <algorithm>
#include <cmath>

namespace {

// What the maker presses, caught as SDL queues it, so keys reach us even
// when a scene ("preload") pumps the message that carries them. Key events
// are queued by the pump, on this thread. Escape or the close box mean
// leaving; a quit message without them is the show's own end. A window
// uncovered or resized wants its picture drawn again, paused or not.
std::vector<SDL_Keysym> keys;
int leaving = 0, exposed = 0;

int CatchKeys(void*, SDL_Event* ev) {
    if (ev->type == SDL_QUIT) leaving = 1;
    if (ev->type == SDL_WINDOWEVENT) {
        Uint8 e = ev->window.event;
        leaving |= e == SDL_WINDOWEVENT_CLOSE;
        exposed |= e == SDL_WINDOWEVENT_EXPOSED || e == SDL_WINDOWEVENT_SIZE_CHANGED;
    }
    if (ev->type != SDL_KEYDOWN) return 1;
    leaving |= ev->key.keysym.sym == SDLK_ESCAPE;
    // Held arrows and pages repeat; the toggles do not.
    SDL_Keycode k = ev->key.keysym.sym;
    int repeats = k == SDLK_LEFT || k == SDLK_RIGHT || k == SDLK_PAGEUP || k == SDLK_PAGEDOWN ||
                  k == SDLK_UP || k == SDLK_DOWN || k == SDLK_PERIOD || k == SDLK_COMMA ||
                  k == SDLK_BACKSPACE;
    if (!ev->key.repeat || repeats) keys.push_back(ev->key.keysym);
    return 1;
}

void SeekBy(int64_t delta) {
    int64_t t = (int64_t)Live_Time() + delta;
    Live_Seek(t < 0 ? 0 : t > CLI_MAX_TIME ? CLI_MAX_TIME : (uint32_t)t);
}

} // namespace

void Play_ToggleLoop() {
    if (Live_Looping()) {
        Live_ClearLoop();
        return;
    }
    int entry = Timetable_EntryAt(Live_Time());
    if (entry >= 0) Live_SetLoop(Timetable_Start(entry), Timetable_End(entry));
}

namespace {

// By rows of the grid: forward to the next row's start; back to this row's
// start, or the one before when already there.
void SeekRows(int64_t rows, int forward) {
    uint32_t t = Live_Time();
    int64_t row = (int64_t)std::floor(MusicGrid_RowAt(Tracks_Grid(), t));
    int64_t at = row - row % rows;
    int64_t to = forward ? at + rows : MusicGrid_RowStart(Tracks_Grid(), at) < t ? at : at - rows;
    Live_Seek(std::min<uint32_t>(MusicGrid_RowStart(Tracks_Grid(), to), CLI_MAX_TIME));
}

// One frame of 60 a second, on the frames' grid from music time 0.
void StepFrame(int forward) {
    uint64_t t = Live_Time(), n = t * 60 / 1000;
    auto start = [](uint64_t f) { return (uint32_t)((f * 1000 + 59) / 60); };
    if (forward)
        Live_Advance(std::min<uint32_t>(start(n + 1), CLI_MAX_TIME));
    else
        Live_Seek(start(n) < t ? start(n) : n ? start(n - 1) : 0);
}

} // namespace

void Play_HandleKey(const SDL_Keysym& key) {
    if (key.sym == SDLK_TAB) {
        Editor_Toggle();
        return;
    }
    if (Editor_HandleKey(key, Live_Time())) return;
    int64_t step = (key.mod & KMOD_SHIFT) ? 10000 : 2000;
    int ctrl = (key.mod & KMOD_CTRL) != 0;
    int64_t bar = (int64_t)Tracks_Grid().rowsPerBeat * MUSIC_BEATS_PER_BAR;
    uint32_t t = Live_Time(), to = 0;
    switch (key.sym) {
    case SDLK_SPACE:
        Live_SetPaused(!Live_Paused());
        break;
    case SDLK_LEFT:
        if (ctrl)
            SeekRows(bar, 0);
        else
            SeekBy(-step);
        break;
    case SDLK_RIGHT:
        if (ctrl)
            SeekRows(bar, 1);
        else
            SeekBy(step);
        break;
    case SDLK_UP:
        SeekRows(1, 0);
        break;
    case SDLK_DOWN:
        SeekRows(1, 1);
        break;
    case SDLK_PERIOD:
    case SDLK_COMMA:
        if (Live_Paused()) StepFrame(key.sym == SDLK_PERIOD);
        break;
    case SDLK_LEFTBRACKET:
        Live_SetSpeed(Live_Speed() / 2);
        break;
    case SDLK_RIGHTBRACKET:
        Live_SetSpeed(Live_Speed() * 2);
        break;
    case SDLK_PAGEUP:
        if (Timetable_PreviousStart(t, &to)) Live_Seek(to);
        break;
    case SDLK_PAGEDOWN:
        if (Timetable_NextStart(t, &to)) Live_Seek(to);
        break;
    case SDLK_HOME:
        Live_Seek(0);
        break;
    case SDLK_l:
        Play_ToggleLoop();
        break;
    case SDLK_f:
        Live_ToggleFullscreen();
        break;
    case SDLK_s:
        Live_SetExactSeeks(!Live_ExactSeeks());
        break;
    default:
        break;
    }
}

void Play_WatchKeys(int on) {
    if (on)
        SDL_AddEventWatch(CatchKeys, nullptr);
    else
        SDL_DelEventWatch(CatchKeys, nullptr);
}

std::vector<SDL_Keysym> Play_TakeKeys() {
    std::vector<SDL_Keysym> pressed;
    pressed.swap(keys);
    return pressed;
}

int Play_Leaving() {
    return leaving;
}

int Play_TakeExposed() {
    int was = exposed;
    exposed = 0;
    return was;
}
