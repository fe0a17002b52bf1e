// texmake: composites a texture from a recipe (and the layers a texture
// script left) and writes it as TGA.
//   texmake RECIPE.txt -o OUT.tga [--layers LAYERS.raw] [--fonts DIR]
#include "recipe.h"
#include "tga_write.h"

#include "text_file.h"

#include <cstdio>
#include <cstring>

static int Usage() {
    fprintf(stderr, "usage: texmake RECIPE.txt -o OUT.tga [--layers LAYERS.raw] [--fonts DIR]\n");
    return 2;
}

int main(int argc, char** argv) {
    std::string recipePath, outPath, layersPath, fontDir = "/usr/share/fonts/truetype/dejavu";
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool value = i + 1 < argc;
        if (a == "-o" && value)
            outPath = argv[++i];
        else if (a == "--layers" && value)
            layersPath = argv[++i];
        else if (a == "--fonts" && value)
            fontDir = argv[++i];
        else if (a[0] == '-' || !recipePath.empty())
            return Usage();
        else
            recipePath = a;
    }
    if (recipePath.empty() || outPath.empty()) return Usage();

    std::string recipe, layers;
    if (!ReadTextFile(recipePath, &recipe)) {
        fprintf(stderr, "texmake: %s: cannot read\n", recipePath.c_str());
        return 1;
    }
    RecipeInputs inputs;
    inputs.fontDir = fontDir;
    if (!layersPath.empty()) {
        if (!ReadTextFile(layersPath, &layers)) {
            fprintf(stderr, "texmake: %s: cannot read\n", layersPath.c_str());
            return 1;
        }
        if (layers.size() != 5u * 256 * 256 * 3) {
            fprintf(stderr, "texmake: %s: %zu bytes, not the five layers (983040 bytes)\n",
                    layersPath.c_str(), layers.size());
            return 1;
        }
        inputs.layers = (const uint8_t*)layers.data();
    }
    RecipeResult result;
    std::string error;
    if (!RunRecipe(recipe, inputs, &result, &error)) {
        fprintf(stderr, "texmake: %s: %s\n", recipePath.c_str(), error.c_str());
        return 1;
    }
    std::vector<uint8_t> tga = EncodeTga(result.canvas, result.format, result.id);
    FILE* f = fopen(outPath.c_str(), "wb");
    bool ok = f && fwrite(tga.data(), 1, tga.size(), f) == tga.size();
    if (f) ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "texmake: %s: cannot write\n", outPath.c_str());
        remove(outPath.c_str());
        return 1;
    }
    return 0;
}
