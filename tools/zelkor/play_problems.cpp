#include "play_problems.h"

#include "play_font.h"

#include "platform/draw.h"
#include "platform/draw_modern.h"

namespace {

std::vector<std::string> buildLines;

// Each text wrapped to the width, `most` lines in all.
void Wrap(const std::string& text, size_t cells, size_t most, std::vector<std::string>* lines) {
    for (size_t at = 0; at < text.size() && lines->size() < most; at += at ? cells - 2 : cells)
        lines->push_back((at ? "  " : "") + text.substr(at, at ? cells - 2 : cells));
}

} // namespace

void Problems_SetBuild(const std::vector<std::string>& lines) {
    buildLines = lines;
}

void Problems_Draw(const Draw* d, int width, int height) {
    if ((!DrawModern_ShaderProblem(0) && buildLines.empty()) || width < 64 || height < 64) return;
    const int scale = height >= 700 ? 2 : 1;
    const int cw = FONT_CELL_W * scale, lh = (FONT_CELL_H + 3) * scale;
    const size_t cells = (size_t)(width / cw - 1);
    // The build's lines first, then each shader's problem, twelve lines at most.
    std::vector<std::string> lines;
    for (const std::string& line : buildLines) Wrap(line, cells, 12, &lines);
    for (int i = 0; const char* problem = DrawModern_ShaderProblem(i); i++)
        Wrap(problem, cells, 12, &lines);
    d->BeginOverlay(width, height);
    const int h = (int)lines.size() * lh + 2 * scale;
    Font_Box(d, 0, (float)(height - h), (float)width, (float)h, 0.45f, 0.0f, 0.0f, 0.8f);
    for (size_t i = 0; i < lines.size(); i++)
        Font_Text(d, cw / 2, height - (int)(i + 1) * lh, lines[i], 1.0f, scale);
    d->EndOverlay();
}
