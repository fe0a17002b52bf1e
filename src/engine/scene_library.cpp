#include "engine/scene_library.h"

#include "io/read_file.h"
#include "sequencing/scene_set.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>
#include <vector>

struct SceneLibrary {
    void* handle;
    const SceneDef* scenes;
};

// Null when every line is whole, else what is wrong.
static const char* BrokenLine(const SceneDef* scenes) {
    int count = 0;
    for (const SceneDef* d = scenes; d; d = d->next) {
        if (!d->name || !d->draw || !d->make || !d->type || !d->size || !d->align)
            return "zelkor_scenes gave a scene line that is not whole";
        if (++count > 100000) return "zelkor_scenes gave a list without end";
    }
    return count ? nullptr : "zelkor_scenes gave no scenes";
}

// dlopen hands back the library already loaded under a name, however the
// file changed since; each load gets a copy of its own, removed once open
// (the mapping stays).
static std::string CopyOf(const char* path, std::string* why) {
    std::vector<uint8_t> bytes;
    const char* error = nullptr;
    // A scene library of a gigabyte is something else.
    if (!IO_ReadFile(path, 1u << 30, IO_REGULAR_ONLY, &bytes, &error)) {
        *why = error ? error : "cannot read it";
        return "";
    }
    const char* tmp = getenv("TMPDIR");
    std::string copy = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/zelkor-scenes-XXXXXX";
    int fd = mkstemp(copy.data());
    if (fd < 0) {
        *why = std::string("cannot make a copy in ") + copy + ": " + strerror(errno);
        return "";
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += (size_t)n;
    }
    close(fd);
    if (done != bytes.size()) {
        unlink(copy.c_str());
        *why = "cannot write its copy " + copy;
        return "";
    }
    return copy;
}

SceneLibrary* SceneLibrary_Load(const char* path, std::string* why) {
    std::string copy = CopyOf(path, why);
    if (copy.empty()) return nullptr;
    // RTLD_NOW: a function the program does not have is said now, not mid-frame.
    void* handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    unlink(copy.c_str());
    if (!handle) {
        const char* error = dlerror();
        *why = error ? error : "it cannot be loaded";
        size_t at = why->find(copy);
        if (at != std::string::npos) why->replace(at, copy.size(), "the library");
        return nullptr;
    }
    const char* abi = (const char*)dlsym(handle, "zelkor_scene_abi");
    auto entry = (const SceneDef* (*)())dlsym(handle, "zelkor_scenes");
    const SceneDef* scenes = entry ? entry() : nullptr;
    if (!abi || strcmp(abi, ZELKOR_SCENE_ABI) != 0) {
        *why = abi ? std::string("built against ") + abi + ", not " + ZELKOR_SCENE_ABI
                   : "no zelkor_scene_abi: not built with ZELKOR_SCENE_LIBRARY";
    } else if (!entry) {
        *why = "no entry point zelkor_scenes (ZELKOR_SCENE_LIBRARY)";
    } else if (const char* broken = BrokenLine(scenes)) {
        *why = broken;
    } else {
        return new SceneLibrary{handle, scenes};
    }
    dlclose(handle);
    return nullptr;
}

const SceneDef* SceneLibrary_Scenes(const SceneLibrary* library) {
    return library ? library->scenes : nullptr;
}

void SceneLibrary_Unload(SceneLibrary* library) {
    if (!library) return;
    dlclose(library->handle);
    delete library;
}
