#include "engine/show_shaders.h"

#include "platform/draw.h"
#include "platform/draw_modern.h"

#include <cstdio>
#include <sys/stat.h>

int Engine_ShowRenderer(const char* who, const char* shown, int asked) {
    struct stat info;
    int shaders = stat("shaders", &info) == 0 && S_ISDIR(info.st_mode);
    if (!shaders) return asked < 0 ? DRAW_FIXED : asked;
    if (asked == DRAW_FIXED) {
        fprintf(stderr,
                "%s: %sshaders: the show's shaders need the modern renderer; the fixed one "
                "cannot draw them (leave out --renderer fixed)\n",
                who, shown);
        return -1;
    }
    if (asked < 0)
        fprintf(stderr,
                "%s: %sshaders: the show has shaders of its own: drawn with the modern "
                "renderer\n",
                who, shown);
    return DRAW_MODERN;
}

void Engine_TellShaderProblems(const char* who, const char* shown) {
    for (int i = 0; const char* problem = DrawModern_ShaderProblem(i); i++)
        fprintf(stderr, "%s: %s%s\n", who, shown, problem);
}
