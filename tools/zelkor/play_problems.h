// zelkor play's word on the picture about what does not build: while a
// show's shader does not compile, its file, line and complaint, and while
// zelkor dev's build of the project fails, its first error lines, across the
// top of the picture (the last good code draws on beneath), until they are
// mended.
#pragma once
#include <string>
#include <vector>

struct Draw;

// Over a width x height picture, inside nothing (it begins its own overlay).
void Problems_Draw(const Draw* draw, int width, int height);
// The build's lines to show, the first of them saying what failed; none
// while the last build succeeded.
void Problems_SetBuild(const std::vector<std::string>& lines);
