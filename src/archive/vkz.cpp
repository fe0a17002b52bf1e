// Placeholder until the archive reader lands: opens nothing.
#include "archive/vkz.h"

VKZ_Archive* VKZ_Open(const char*) { return nullptr; }
void VKZ_Close(VKZ_Archive*) {}
VKZ_EntryRecord* VKZ_FindEntry(VKZ_Archive*, char*) { return nullptr; }
int VKZ_ReadEntry(VKZ_Archive*, VKZ_EntryRecord*, void*) { return 0; }
