// A scene is one file and one line. The line names the scene, its state
// record, and its draw and prepare functions:
//
//   struct Glow {                  // trivially copyable, engine-owned
//       float angle;
//       static constexpr int version = 1; // optional: bump when the fields change meaning
//   };
//   void DrawGlow(const SceneFrame& frame, Glow& state);
//   int PrepareGlow(Glow& state, int kept); // or nullptr; 1 ok, 0 failed
//   ZELKOR_SCENE("glow", Glow, DrawGlow, PrepareGlow);
//
// The engine makes the record (as `Glow{}` makes it), hands it to prepare and
// draw, saves it at its marks, and keeps it when a rebuilt scene library
// brings a record of the same type name, size, alignment and version: prepare
// then runs with `kept` 1 and must leave it as it is.
//
// Each program or library collects its own lines, in the order they run
// (file by file in link order, line by line within a file). A scene library
// adds one ZELKOR_SCENE_LIBRARY() (the show's CMake helper does it), which
// hands them to the engine that loads it.
#pragma once
#include "core/version.h"
#include "sequencing/scene_frame.h"

#include <cstdint>
#include <new>
#include <type_traits>

struct SceneDef {
    const char* name;                      // what timetable entries call it by
    void (*draw)(const SceneFrame& frame); // frame.state is its record
    int (*prepare)(void* state, int kept); // null: none
    void (*make)(void* state);             // constructs a fresh record in place
    uint32_t size, align;                  // the record's
    const char* type;                      // the record's type, as the line names it
    int version;                           // the record's `version`, or 0
    SceneDef* next;                        // the next line of the same program or library
};

// The lines of this program or library (hidden: each has its own).
struct SceneList {
    SceneDef* first;
    SceneDef* last;
};
inline __attribute__((visibility("hidden"))) SceneList zelkorSceneList = {};

// The engine a scene library was built against; one built against another
// is refused, since the records and functions it shares may differ.
#define ZELKOR_SCENE_ABI "ZELKOR " ZELKOR_VERSION " scenes 2"

extern "C" const SceneDef* zelkor_scenes();
extern "C" const char zelkor_scene_abi[];

namespace zelkor_scene {

template <class State, void (*Draw)(const SceneFrame&, State&)>
void DrawRecord(const SceneFrame& frame) {
    Draw(frame, *static_cast<State*>(frame.state));
}

template <class State, int (*Prepare)(State&, int)> int PrepareRecord(void* state, int kept) {
    return Prepare(*static_cast<State*>(state), kept);
}

template <class State, int (*Prepare)(State&, int)> constexpr int (*PrepareOf())(void*, int) {
    if constexpr (Prepare == nullptr)
        return nullptr;
    else
        return PrepareRecord<State, Prepare>;
}

template <class State> void Make(void* state) {
    new (state) State();
}

template <class State> constexpr int VersionOf() {
    if constexpr (requires { State::version; })
        return State::version;
    else
        return 0;
}

struct Line {
    explicit Line(SceneDef* def) {
        if (zelkorSceneList.last)
            zelkorSceneList.last->next = def;
        else
            zelkorSceneList.first = def;
        zelkorSceneList.last = def;
    }
};

} // namespace zelkor_scene

#define ZELKOR_SCENE_JOIN2(a, b) a##b
#define ZELKOR_SCENE_JOIN(a, b) ZELKOR_SCENE_JOIN2(a, b)
#define ZELKOR_SCENE_LINE(id, name, State, draw, prepare)                                          \
    static_assert(std::is_trivially_copyable_v<State>,                                             \
                  "a scene's state is one plain record: the engine copies it");                    \
    static SceneDef ZELKOR_SCENE_JOIN(id, Def) = {name,                                            \
                                                  zelkor_scene::DrawRecord<State, draw>,           \
                                                  zelkor_scene::PrepareOf<State, prepare>(),       \
                                                  zelkor_scene::Make<State>,                       \
                                                  sizeof(State),                                   \
                                                  alignof(State),                                  \
                                                  #State,                                          \
                                                  zelkor_scene::VersionOf<State>(),                \
                                                  nullptr};                                        \
    static zelkor_scene::Line ZELKOR_SCENE_JOIN(id, Line)(&ZELKOR_SCENE_JOIN(id, Def))
#define ZELKOR_SCENE(name, State, draw, prepare)                                                   \
    ZELKOR_SCENE_LINE(ZELKOR_SCENE_JOIN(zelkorScene, __COUNTER__), name, State, draw, prepare)

// Once in a scene library: its engine version and its scenes, for the loader.
#define ZELKOR_SCENE_LIBRARY()                                                                     \
    extern "C" __attribute__((visibility("default"))) const char zelkor_scene_abi[] =              \
        ZELKOR_SCENE_ABI;                                                                          \
    extern "C" __attribute__((visibility("default"))) const SceneDef* zelkor_scenes() {            \
        return zelkorSceneList.first;                                                              \
    }
