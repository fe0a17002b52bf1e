// The engine objects the shell owns: null before Startup and after Shutdown.
// Scene code reaches the OpenGL context, the timer and the sound through them.
#pragma once

class ZELKOR_Log;
class ZELKOR_Window;
class ZELKOR_OpenGL;
class ZELKOR_Sound;
class ZELKOR_Camera;
class ZELKOR_Timer;
struct VKZ_Archive;

extern ZELKOR_Log* g_shellLog;
extern ZELKOR_Window* g_window;
extern ZELKOR_OpenGL* g_opengl;
extern ZELKOR_Sound* g_sound;
extern ZELKOR_Camera* g_camera;
extern ZELKOR_Timer* g_timer;
extern VKZ_Archive* g_archive;
