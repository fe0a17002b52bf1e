#include "sequencing/scene_state.h"

#include "sequencing/scene_set.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

struct SceneSlot {
    std::string name;
    int n;
    std::string type;
    uint32_t size, align;
    int version;
    void* record;
    int claimed;
};

namespace {

struct Block {
    uint64_t id; // rising: blocks are kept in the order they were made
    SceneSlot* owner;
    void* data;
    size_t size, align;
    int hasBorn;
    std::vector<uint8_t> born; // what it held when its preparation ended
};

struct Module {
    void* record;
    size_t size;
};

// Every block in the order made, the scenes' slots, whose blocks are made
// now, and the next block's id.
struct Store {
    std::vector<Block> blocks;
    std::vector<SceneSlot*> slots;
    SceneSlot* owner = nullptr;
    uint64_t nextId = 1;
};
Store store;

// Filled at static initialisation: constant-initialised, so never too late.
struct Modules {
    Module list[16];
    int count;
};
Modules modules = {};

// memcpy with an empty block's null pointers allowed.
void Copy(void* to, const void* from, size_t bytes) {
    if (bytes) memcpy(to, from, bytes);
}

void* NewBlock(size_t size, size_t align, SceneSlot* slot) {
    void* data = operator new(size ? size : 1, std::align_val_t(align), std::nothrow);
    if (!data) return nullptr;
    memset(data, 0, size ? size : 1);
    store.blocks.push_back(Block{store.nextId++, slot, data, size, align, 0, {}});
    return data;
}

void FreeBlock(const Block& block) {
    operator delete(block.data, std::align_val_t(block.align));
}

void Release(SceneSlot* slot) {
    size_t kept = 0;
    for (size_t i = 0; i < store.blocks.size(); i++) {
        if (store.blocks[i].owner == slot)
            FreeBlock(store.blocks[i]);
        else
            store.blocks[kept++] = std::move(store.blocks[i]);
    }
    store.blocks.resize(kept);
    if (store.owner == slot) store.owner = nullptr;
    delete slot;
}

std::string Changed(const SceneSlot& old, const SceneDef& def) {
    std::string is = std::string("its record ") + def.type;
    if (old.type != def.type)
        return "its record is now " + std::string(def.type) + " (was " + old.type + ")";
    if (old.size != def.size)
        return is + " is now " + std::to_string(def.size) + " bytes (was " +
               std::to_string(old.size) + ")";
    if (old.align != def.align)
        return is + " is now aligned to " + std::to_string(def.align) + " (was " +
               std::to_string(old.align) + ")";
    return is + " is now version " + std::to_string(def.version) + " (was " +
           std::to_string(old.version) + ")";
}

} // namespace

void* Scene_Alloc(size_t bytes) {
    return NewBlock(bytes, alignof(std::max_align_t), store.owner);
}

SceneSlot* SceneState_Claim(const SceneDef* def, int n, int* kept, std::string* why) {
    *kept = 0;
    why->clear();
    for (size_t i = 0; i < store.slots.size(); i++) {
        SceneSlot* old = store.slots[i];
        if (old->name != def->name || old->n != n) continue;
        if (old->type == def->type && old->size == def->size && old->align == def->align &&
            old->version == def->version) {
            old->claimed = 1;
            *kept = 1;
            return old;
        }
        *why = Changed(*old, *def);
        store.slots.erase(store.slots.begin() + (ptrdiff_t)i);
        Release(old);
        break;
    }
    SceneSlot* slot = new (std::nothrow)
        SceneSlot{def->name, n, def->type, def->size, def->align, def->version, nullptr, 1};
    if (!slot) return nullptr;
    size_t align = def->align > alignof(std::max_align_t) ? def->align : alignof(std::max_align_t);
    slot->record = NewBlock(def->size, align, slot);
    if (!slot->record) {
        delete slot;
        return nullptr;
    }
    def->make(slot->record);
    store.slots.push_back(slot);
    return slot;
}

void* SceneState_Record(const SceneSlot* slot) {
    return slot->record;
}

const char* SceneState_Name(const SceneSlot* slot) {
    return slot->name.c_str();
}

void SceneState_BeginClaims() {
    for (SceneSlot* slot : store.slots) slot->claimed = 0;
}

void SceneState_EndClaims() {
    size_t kept = 0;
    for (size_t i = 0; i < store.slots.size(); i++) {
        if (store.slots[i]->claimed)
            store.slots[kept++] = store.slots[i];
        else
            Release(store.slots[i]);
    }
    store.slots.resize(kept);
    for (Block& block : store.blocks) {
        if (block.hasBorn) continue;
        const uint8_t* bytes = (const uint8_t*)block.data;
        block.born.assign(bytes, bytes + block.size);
        block.hasBorn = 1;
    }
}

void SceneState_SetOwner(SceneSlot* slot) {
    store.owner = slot;
}

SceneSlot* SceneState_Owner() {
    return store.owner;
}

void SceneState_AddModule(void* record, size_t size) {
    if (modules.count < (int)(sizeof modules.list / sizeof modules.list[0]))
        modules.list[modules.count++] = Module{record, size};
}

struct SceneStateMark {
    std::vector<uint64_t> ids;
    std::vector<size_t> sizes;
    std::vector<uint8_t> bytes; // the blocks', then the modules', back to back
};

SceneStateMark* SceneState_Mark() {
    SceneStateMark* mark = new (std::nothrow) SceneStateMark();
    if (!mark) return nullptr;
    size_t total = 0;
    for (const Block& block : store.blocks) total += block.size;
    for (int m = 0; m < modules.count; m++) total += modules.list[m].size;
    mark->ids.reserve(store.blocks.size());
    mark->sizes.reserve(store.blocks.size());
    mark->bytes.resize(total);
    uint8_t* out = mark->bytes.data();
    for (const Block& block : store.blocks) {
        mark->ids.push_back(block.id);
        mark->sizes.push_back(block.size);
        Copy(out, block.data, block.size);
        out += block.size;
    }
    for (int m = 0; m < modules.count; m++) {
        Copy(out, modules.list[m].record, modules.list[m].size);
        out += modules.list[m].size;
    }
    return mark;
}

void SceneState_Rewind(const SceneStateMark* mark) {
    // Both lists rise by id.
    size_t j = 0, offset = 0;
    for (Block& block : store.blocks) {
        while (j < mark->ids.size() && mark->ids[j] < block.id) offset += mark->sizes[j++];
        if (j < mark->ids.size() && mark->ids[j] == block.id) {
            Copy(block.data, mark->bytes.data() + offset, block.size);
        } else if (block.hasBorn) {
            Copy(block.data, block.born.data(), block.size);
        }
    }
    for (; j < mark->ids.size(); j++) offset += mark->sizes[j];
    for (int m = 0; m < modules.count; m++) {
        Copy(modules.list[m].record, mark->bytes.data() + offset, modules.list[m].size);
        offset += modules.list[m].size;
    }
}

void SceneState_FreeMark(SceneStateMark* mark) {
    delete mark;
}

void SceneState_Clear() {
    for (const Block& block : store.blocks) FreeBlock(block);
    store.blocks.clear();
    for (SceneSlot* slot : store.slots) delete slot;
    store.slots.clear();
    store.owner = nullptr;
}
