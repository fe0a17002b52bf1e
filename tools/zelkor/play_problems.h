// zelkor play's word on the picture about the show's shaders: while one
// does not compile, its file, line and complaint across the top of the
// picture (the last code that compiled draws on beneath), until it does.
#pragma once

struct Draw;

// Over a width x height picture, inside nothing (it begins its own overlay).
void Problems_Draw(const Draw* draw, int width, int height);
