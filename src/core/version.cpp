#include "core/version.h"

extern const char* const zelkorGitRevision;

const char* ZELKOR_GitRevision() {
    return zelkorGitRevision;
}

void ZELKOR_PrintVersion(FILE* out, const char* program) {
    fprintf(out, "%s: ZELKOR Version %s (git %s)\n", program, ZELKOR_VERSION, zelkorGitRevision);
}
