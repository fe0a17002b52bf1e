// Every RGS operation, described once. RGS_OPERATIONS(X) expands
//   X(opcode, Name, "what it does", "example parameters", parameters)
// for opcodes 1-38 in order, where `parameters` is one RGS_P(kind, "name",
// "meaning") per parameter the operation reads, p0 first; the kinds are
// listed in rgs_opcodes.h. The interpreter's dispatch (which calls RGS_Name
// with the converted parameters), the text form's names and the reference
// that `zelkor rgs ops` prints are all made from this list.
#pragma once

#define RGS_P(kind, name, meaning) {kind, name, meaning},

#define RGS_LAYER RGS_P('L', "layer", "the layer it works on")
#define RGS_RGB(what)                                                                              \
    RGS_P('F', "red", "1: " what " the red channel; 0: set it to 0")                               \
    RGS_P('F', "green", "the same for green") RGS_P('F', "blue", "the same for blue")
#define RGS_SEED(zero) RGS_P('I', "seed", "the random generator's new state; 0 " zero)
#define RGS_WEIGHTED                                                                               \
    RGS_P('L', "destination", "the layer written (may be b or c)")                                 \
    RGS_P('L', "b", "the first layer read")                                                        \
    RGS_P('L', "c", "the second layer read")                                                       \
    RGS_P('R', "weight-b", "b's values are multiplied by this")                                    \
    RGS_P('R', "weight-c", "c's values are multiplied by this")

// clang-format off
#define RGS_OPERATIONS(X)                                                                          \
X(1, Cells, "distance to the nearest of up to 100 random points, normalised to 0-255",            \
  "0 24 1234 1 1 1",                                                                               \
  RGS_LAYER                                                                                        \
  RGS_P('B', "points", "how many points; more than 100 count as 100")                              \
  RGS_SEED("puts every point at (0, 0)")                                                           \
  RGS_RGB("write the distance to"))                                                                \
X(2, Plasma, "the sum of two sines, one down the rows and one along the columns",                 \
  "0 3 5 0 90 1 1 1",                                                                              \
  RGS_LAYER                                                                                        \
  RGS_P('B', "column-step", "degrees the column sine advances per column")                         \
  RGS_P('B', "row-step", "degrees the row sine advances per row")                                  \
  RGS_P('B', "column-phase", "angle of the column sine at column 0, degrees")                      \
  RGS_P('B', "row-phase", "angle of the row sine at row 0, degrees")                               \
  RGS_RGB("write the value to"))                                                                   \
X(3, Noise, "random values on a grid, cosine-interpolated between the grid points",               \
  "0 16 256 77 1 1 1",                                                                             \
  RGS_LAYER                                                                                        \
  RGS_P('W', "spacing", "pixels between grid points, 1 or more; 16 (any divisor of 256) tiles")    \
  RGS_P('I', "levels", "values drawn are ANDed with (levels - 1) mod 256: 256 for all, 1 for none") \
  RGS_SEED("continues from the state the last script or command left")                             \
  RGS_RGB("write the noise to"))                                                                   \
X(4, FractalNoise, "octaves of value noise at halving spacing, added up",                         \
  "0 32 5 128 1234 1 1 1",                                                                         \
  RGS_LAYER                                                                                        \
  RGS_P('I', "spacing", "grid spacing of the first octave in pixels, 1 or more")                   \
  RGS_P('W', "octaves", "how many octaves, the first black")                                       \
  RGS_P('W', "persistence", "each octave's value range is the last one's times this / 256")       \
  RGS_SEED("continues from the state the last script or command left")                             \
  RGS_RGB("write the noise to"))                                                                   \
X(5, RadialGlow, "brightness falling off linearly with the distance from the centre",            \
  "0 1.5 1 1 1",                                                                                   \
  RGS_LAYER                                                                                        \
  RGS_P('R', "falloff", "brightness lost per 128 pixels of distance, times 180; 0 is all white")   \
  RGS_RGB("write the brightness to"))                                                              \
X(6, Checker, "a two-colour checkerboard", "0 32 32 #000000 #ffffff",                              \
  RGS_LAYER                                                                                        \
  RGS_P('W', "width", "cell width in pixels")                                                      \
  RGS_P('W', "height", "cell height in pixels")                                                    \
  RGS_P('C', "colour-a", "the colour of the top left cell")                                        \
  RGS_P('C', "colour-b", "the other colour"))                                                      \
X(7, Fill, "every pixel set to one colour", "1 #336699",                                           \
  RGS_LAYER                                                                                        \
  RGS_P('C', "colour", "the colour"))                                                              \
X(8, AddColor, "adds constants to the channels, wrapping modulo 256", "0 10 -5 0.5",               \
  RGS_LAYER                                                                                        \
  RGS_P('R', "red", "added to red, then rounded toward zero (250 + 10 gives 4)")                   \
  RGS_P('R', "green", "added to green") RGS_P('R', "blue", "added to blue"))                       \
X(9, ScaleColor, "multiplies the channels, clamped to 0-255", "0 1.5 1 0.5",                       \
  RGS_LAYER                                                                                        \
  RGS_P('R', "red", "red is multiplied by this") RGS_P('R', "green", "green is multiplied by this") \
  RGS_P('R', "blue", "blue is multiplied by this"))                                                \
X(10, SineColor, "each channel c becomes (sin(k * pi * c) + 1) * 127.5", "0 0.01 0 0.02",          \
  RGS_LAYER                                                                                        \
  RGS_P('R', "red", "k for red; 0 leaves red as it is")                                            \
  RGS_P('R', "green", "k for green; 0 leaves it") RGS_P('R', "blue", "k for blue; 0 leaves it"))   \
X(11, Colorize, "one hue and saturation for every pixel, keeping its brightness", "0 210 0.5",     \
  RGS_LAYER                                                                                        \
  RGS_P('R', "hue", "degrees: 0 red, 120 green, 240 blue (any value, wrapped)")                    \
  RGS_P('R', "saturation", "0 grey to 1 full colour (clamped)"))                                   \
X(12, ShuffleChannels, "red, green and blue become blue, blue and green", "1",                     \
  RGS_LAYER)                                                                                       \
X(13, HalfTile, "the layer at half size, tiled twice in each direction", "1",                      \
  RGS_LAYER)                                                                                       \
X(14, TransposeShift, "mirrored about the main diagonal, with wrap-around offsets", "0 16 8",      \
  RGS_LAYER                                                                                        \
  RGS_P('B', "row-offset", "pixel (x, y) comes from row x + this")                                 \
  RGS_P('B', "column-offset", "... and column y + this"))                                          \
X(15, DisplaceByBrightness, "the source sampled at offsets from the map's brightness",             \
  "0 1 2 0.1 0.05",                                                                                \
  RGS_P('L', "destination", "the layer written")                                                   \
  RGS_P('L', "source", "the layer sampled") RGS_P('L', "map", "the layer whose brightness moves")  \
  RGS_P('R', "x-gain", "pixels to the right per step of brightness (0-255)")                       \
  RGS_P('R', "y-gain", "pixels down per step of brightness"))                                      \
X(16, Swirl, "a rotation growing towards the centre", "0 128 128 100 0.5",                         \
  RGS_LAYER                                                                                        \
  RGS_P('W', "centre-x", "column of the centre") RGS_P('W', "centre-y", "row of the centre")       \
  RGS_P('R', "radius", "pixels; nothing outside it moves (0 does nothing)")                        \
  RGS_P('R', "strength", "turns at the centre; 0 does nothing"))                                   \
X(17, SineWarp, "displaced by a sine along each axis", "0 0.05 0.08 6 4",                          \
  RGS_LAYER                                                                                        \
  RGS_P('R', "row-frequency", "radians per row of the sideways wave")                              \
  RGS_P('R', "column-frequency", "radians per column of the up-down wave")                         \
  RGS_P('R', "x-amplitude", "pixels of the sideways wave")                                         \
  RGS_P('R', "y-amplitude", "pixels of the up-down wave"))                                         \
X(18, Invert, "each value becomes 255 minus it", "1", RGS_LAYER)                                   \
X(19, BitRotate, "each value shifted left OR shifted right, 8 bits", "0 1 7",                      \
  RGS_LAYER                                                                                        \
  RGS_P('B', "left", "bits shifted left (8 to 31 give 0)")                                         \
  RGS_P('B', "right", "bits shifted right; left + right = 8 rotates"))                             \
X(20, GradientDisplace, "each channel displaced by its own local gradient", "1", RGS_LAYER)        \
X(21, Equalize, "per-channel histogram equalisation to 0-255", "1", RGS_LAYER)                    \
X(22, Stretch, "per-channel histogram equalisation within the values in use", "1", RGS_LAYER)     \
X(23, EdgeBoost, "adds gain times the difference to a pixel offset down and right", "0 1 1 2",     \
  RGS_LAYER                                                                                        \
  RGS_P('B', "x-offset", "columns to the compared pixel (clamped at the edge)")                    \
  RGS_P('B', "y-offset", "rows to the compared pixel")                                             \
  RGS_P('B', "gain", "times the difference, added; 0 changes nothing"))                            \
X(24, EdgeDetect, "3 x 3 gradient magnitude, biased so a flat area gives 181", "1", RGS_LAYER)    \
X(25, Sharpen, "3 x 3 sharpen; a flat area stays", "1", RGS_LAYER)                                 \
X(26, Scatter, "each pixel taken from a random pixel above and to the left", "0 3 99",            \
  RGS_LAYER                                                                                        \
  RGS_P('I', "spread", "offsets reach up to 2^spread pixels (0 gives 1)")                          \
  RGS_P('I', "seed", "its own generator's start; the shared state is left where it ends"))        \
X(27, Threshold, "values above 128 become 255, the rest 0", "1", RGS_LAYER)                        \
X(28, BlurTranspose, "triangle blur along the rows, the result transposed", "0 2",                 \
  RGS_LAYER                                                                                        \
  RGS_P('W', "radius", "pixels each side; run twice to blur both ways and turn back"))             \
X(29, Blur3x3, "repeated 3 x 3 blur with weights 1-2-1", "0 2",                                    \
  RGS_LAYER                                                                                        \
  RGS_P('B', "passes", "how many times; 0 does nothing"))                                          \
X(30, CopyChannels, "copies the flagged channels and clears the others", "0 1 1 0 1",              \
  RGS_P('L', "destination", "the layer written") RGS_P('L', "source", "the layer read")            \
  RGS_RGB("copy"))                                                                                 \
X(31, SwapChannels, "exchanges the flagged channels of two layers", "0 1 0 1 1",                   \
  RGS_P('L', "layer-a", "one layer") RGS_P('L', "layer-b", "the other")                            \
  RGS_P('F', "red", "1: exchange red; 0: leave it") RGS_P('F', "green", "the same for green")      \
  RGS_P('F', "blue", "the same for blue"))                                                         \
X(32, CombineOr, "bitwise OR of the weighted values", "0 1 2 1 1", RGS_WEIGHTED)                   \
X(33, CombineXor, "bitwise XOR of the weighted values", "0 1 2 1 1", RGS_WEIGHTED)                 \
X(34, CombineAnd, "bitwise AND of the weighted values", "0 1 2 1 1", RGS_WEIGHTED)                 \
X(35, CombineAdd, "sum of the weighted values, up to 255", "0 1 2 1 0.5", RGS_WEIGHTED)            \
X(36, CombineMultiply, "product of the values times both weights / 255", "0 1 2 1 1",              \
  RGS_WEIGHTED)                                                                                    \
X(37, CombineMin, "per channel, the value whose weighted value is smaller (ties: c)",              \
  "0 1 2 1 1", RGS_WEIGHTED)                                                                       \
X(38, CombineMax, "per channel, the value whose weighted value is larger (ties: c)", "0 1 2 1 1", \
  RGS_WEIGHTED)
// clang-format on
