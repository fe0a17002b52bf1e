// texmake: composites a texture from a recipe (and the layers a texture
// script left) and writes it as TGA.
//   texmake RECIPE.txt -o OUT.tga [--layers LAYERS.raw] [--fonts DIR]
#include "recipe.h"

#include "cli/args.h"
#include "io/tga_write.h"
#include "tool_io.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

// Recipes are a few lines, layers 983040 bytes; more is not what we make.
enum { MAX_INPUT = 16 << 20 };

static const CLI_Usage usage = {
    "texmake", "texmake RECIPE.txt -o OUT.tga [--layers LAYERS.raw] [--fonts DIR]",
    "Paints a texture from a recipe, one step per line (the steps are in\n"
    "zelkor-recipe(5)), and writes it as a TGA in the recipe's format.\n"
    "\n"
    "  -o OUT.tga     the picture, always a TGA: a name ending in another extension\n"
    "                 (x.png) is refused\n"
    "  --layers FILE  the five layers `zelkor rgs run --layers` writes, for the\n"
    "                 recipe's \"layer N\" steps\n"
    "  --fonts DIR    where font=NAME is looked up (default\n"
    "                 /usr/share/fonts/truetype/dejavu)\n"};

int main(int argc, char** argv) {
    CLI_CheckStdoutAtExit("texmake");
    int status;
    if (CLI_Info(usage, argc - 1, argv + 1, &status)) return status;
    static const CLI_Option options[] = {
        {"-o", CLI_TEXT}, {"--layers", CLI_TEXT}, {"--fonts", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(usage, options, argc - 1, argv + 1, &args, 1)) return CLI_USAGE;
    std::string recipePath = args.operands.empty() ? "" : args.operands[0];
    std::string outPath = args["-o"].Or(""), layersPath = args["--layers"].Or("");
    std::string fontDir = args["--fonts"].Or("/usr/share/fonts/truetype/dejavu");
    if (recipePath.empty()) return CLI_UsageError(usage, "no recipe given");
    if (outPath.empty()) return CLI_UsageError(usage, "no output given (-o OUT.tga)");
    // Only TGA is written: "x.png" would be a TGA in disguise. A name without
    // an extension (a FIFO, /dev/stdout) is taken as it is.
    size_t slash = outPath.rfind('/'), dot = outPath.rfind('.');
    bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (extension && strcasecmp(outPath.c_str() + dot, ".tga") != 0)
        return CLI_UsageError(usage, "writes TGA only; the output must end in .tga, not",
                              outPath.c_str());

    std::string recipe, layers;
    if (!ReadTextInput("texmake", recipePath.c_str(), MAX_INPUT, &recipe)) return 1;
    RecipeInputs inputs;
    inputs.fontDir = fontDir;
    if (!layersPath.empty()) {
        if (!ReadTextInput("texmake", layersPath.c_str(), MAX_INPUT, &layers)) return 1;
        if (layers.size() != 5u * 256 * 256 * 3) {
            fprintf(stderr, "texmake: %s: %zu bytes, not the five layers (983040 bytes)\n",
                    layersPath.c_str(), layers.size());
            return 1;
        }
        inputs.layers = (const uint8_t*)layers.data();
    }
    RecipeResult result;
    ZK_Status ran = RunRecipe(recipe, inputs, &result);
    if (!ran.ok) {
        fprintf(stderr, "texmake: %s: %s\n", recipePath.c_str(), ran.problem.c_str());
        return 1;
    }
    // The canvas's rows run top down; the file starts with the bottom one.
    IO_Image image;
    image.width = result.canvas.width;
    image.height = result.canvas.height;
    image.channels = 4;
    image.floats = result.canvas.px.data();
    image.topRowFirst = 1;
    std::vector<uint8_t> tga = IO_EncodeTga(image, result.format, result.id);
    return WriteOutput("texmake", outPath.c_str(), tga.data(), tga.size()) ? 0 : 1;
}
