// The engine's version, for About and every program's --version.
#pragma once
#include <cstdio>

#define ZELKOR_VERSION "0.99"

// The git revision the build was made from ("unknown" outside a checkout,
// with "-dirty" when it had uncommitted changes).
const char* ZELKOR_GitRevision();
// "PROGRAM: ZELKOR Version 0.99 (git REVISION)" and a newline.
void ZELKOR_PrintVersion(FILE* out, const char* program);
