#include "core/globals.h"

ZELKOR_Log* g_shellLog = nullptr;
ZELKOR_Window* g_window = nullptr;
ZELKOR_OpenGL* g_opengl = nullptr;
ZELKOR_Sound* g_sound = nullptr;
ZELKOR_Camera* g_camera = nullptr;
ZELKOR_Timer* g_timer = nullptr;
VKZ_Archive* g_archive = nullptr;
