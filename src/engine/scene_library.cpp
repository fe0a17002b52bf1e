#include "engine/scene_library.h"

#include "engine/library_file.h"
#include "sequencing/scene_set.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

struct SceneLibrary {
    void* handle;
    const SceneDef* scenes;
    int copy; // the descriptor of its copy, which names it to the loader
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
// file changed since, so each load opens a copy of its own: one in memory,
// checked before the loader maps it (a file cut short faults inside the
// loader), gone with the program whatever happens. Its name is its
// descriptor's, /proc/self/fd/N: N stays open while the loader may still hold
// a library by that name, so no later copy is ever taken for it.
static ZK_Status CopyOf(const std::vector<uint8_t>& bytes, int* copy) {
    int fd = memfd_create("zelkor-scenes", MFD_CLOEXEC);
    if (fd < 0) return ZK_Fail(std::string("cannot make its copy: ") + strerror(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += (size_t)n;
    }
    if (done != bytes.size()) {
        ZK_Status failed = ZK_Fail(std::string("cannot write its copy: ") + strerror(errno));
        close(fd);
        return failed;
    }
    *copy = fd;
    return ZK_Ok();
}

// A library whose code stays mapped after dlclose (a unique symbol marks it
// never to be unloaded) keeps its name: its descriptor then stays open.
static void Close(void* handle, int fd) {
    dlclose(handle);
    std::string name = "/proc/self/fd/" + std::to_string(fd);
    if (void* still = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(still);
        return;
    }
    close(fd);
}

// The library in *library, or the reason (the caller names the file).
static ZK_Status Load(const char* path, SceneLibrary** library) {
    std::vector<uint8_t> bytes;
    ZK_Status status = LibraryFile_Read(path, &bytes);
    if (status.ok) status = LibraryFile_Check(bytes);
    // The engine it was built for, read from the file: no code of it (not
    // even a constructor) runs before that is known to be this one.
    std::string abi;
    int found = status.ok ? LibraryFile_SymbolText(bytes, "zelkor_scene_abi", &abi, &status) : -1;
    if (found < 0) return ZK_Fail(status.problem);
    if (!found) return ZK_Fail("no zelkor_scene_abi: not built with ZELKOR_SCENE_LIBRARY");
    if (abi != ZELKOR_SCENE_ABI) return ZK_Fail("built against " + abi + ", not " ZELKOR_SCENE_ABI);
    int fd = -1;
    ZK_Status copied = CopyOf(bytes, &fd);
    if (!copied.ok) return copied;
    std::string copy = "/proc/self/fd/" + std::to_string(fd);
    // RTLD_NOW: a function the program does not have is said now, not mid-frame.
    void* handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        close(fd);
        const char* error = dlerror();
        std::string why = error ? error : "it cannot be loaded";
        size_t at = why.find(copy);
        if (at != std::string::npos) why.replace(at, copy.size(), "the library");
        return ZK_Fail(why);
    }
    auto entry = (const SceneDef* (*)())dlsym(handle, "zelkor_scenes");
    const SceneDef* scenes = entry ? entry() : nullptr;
    ZK_Status loaded;
    if (!entry) {
        loaded = ZK_Fail("no entry point zelkor_scenes (ZELKOR_SCENE_LIBRARY)");
    } else if (const char* broken = BrokenLine(scenes)) {
        loaded = ZK_Fail(broken);
    } else {
        *library = new SceneLibrary{handle, scenes, fd};
        return ZK_Ok();
    }
    Close(handle, fd);
    return loaded;
}

SceneLibrary* SceneLibrary_Load(const char* path, ZK_Status* status) {
    SceneLibrary* library = nullptr;
    ZK_Status loaded = Load(path, &library);
    // Named here: the file kit's reasons may name it already, as the user gave it or not.
    if (!loaded.ok) ZK_Report(status, ZK_FailIn(path, loaded.problem));
    return library;
}

const SceneDef* SceneLibrary_Scenes(const SceneLibrary* library) {
    return library ? library->scenes : nullptr;
}

void SceneLibrary_Unload(SceneLibrary* library) {
    if (!library) return;
    Close(library->handle, library->copy);
    delete library;
}
