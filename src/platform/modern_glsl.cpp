#include "modern_glsl.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const esFragmentPrecision = "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
                                        "precision highp float;\n"
                                        "#else\n"
                                        "precision mediump float;\n"
                                        "#endif\n";
const char* const coreVertex = "#define attribute in\n"
                               "#define varying out\n"
                               "#define texture2D texture\n";
const char* const coreFragment = "#define varying in\n"
                                 "#define texture2D texture\n"
                                 "out vec4 zk_FragColor;\n"
                                 "#define gl_FragColor zk_FragColor\n";
const char* const legacyQualifiers = "#define lowp\n#define mediump\n#define highp\n";

std::string Prefix(const ModernGL& gl, GLenum kind, const char* defines) {
    const int fragment = kind == GL_FRAGMENT_SHADER;
    std::string prefix;
    if (gl.glsl == 330) {
        prefix = "#version 330 core\n";
        prefix += fragment ? coreFragment : coreVertex;
    } else if (gl.glsl == 120) {
        prefix = std::string("#version 120\n") + legacyQualifiers;
    } else {
        prefix = "#version 100\n";
        if (fragment) prefix += esFragmentPrecision;
    }
    return prefix + defines;
}

int IsBlank(const std::string& s, size_t from, size_t to) {
    for (size_t i = from; i < to; i++)
        if (!isspace((unsigned char)s[i])) return 0;
    return 1;
}

// The source as the context takes it: a leading "#version 100" blanked, and
// for GLSL 1.20 (which has no precision statements) those blanked too, each
// keeping its line so that numbers in complaints still hold. 0 when the
// source names another version.
int Adapt(const ModernGL& gl, std::string* source, ModernGlslProblem* problem) {
    std::string& s = *source;
    int line = 1, first = 1;
    for (size_t at = 0; at < s.size(); line++) {
        size_t end = s.find('\n', at);
        if (end == std::string::npos) end = s.size();
        size_t text = at;
        while (text < end && (s[text] == ' ' || s[text] == '\t')) text++;
        if (first && text < end) {
            first = 0;
            if (!s.compare(text, 8, "#version")) {
                if (s.compare(text + 8, 4, " 100") || !IsBlank(s, text + 12, end)) {
                    problem->line = line;
                    problem->message = "write GLSL ES 1.00 without a version line (the engine "
                                       "writes the context's own)";
                    return 0;
                }
                s.replace(at, end - at, end - at, ' ');
            }
        }
        if (gl.glsl == 120 && !s.compare(text, 9, "precision") && text + 9 < end &&
            isspace((unsigned char)s[text + 9]))
            s.replace(at, end - at, end - at, ' ');
        at = end + 1;
    }
    return 1;
}

int CountLines(const std::string& s) {
    int lines = 0;
    for (char c : s) lines += c == '\n';
    return lines;
}

} // namespace

ModernGlslProblem ModernGlsl_ReadLog(const char* log, int prefixLines) {
    ModernGlslProblem problem;
    // The first line that is an error, else the first that says anything.
    std::vector<std::string> lines;
    for (const char* p = log; *p;) {
        const char* end = strchr(p, '\n');
        if (!end) end = p + strlen(p);
        if (end > p) lines.emplace_back(p, end);
        p = *end ? end + 1 : end;
    }
    std::string chosen;
    for (const std::string& l : lines) {
        std::string lower = l;
        for (char& c : lower) c = (char)tolower((unsigned char)c);
        if (lower.find("error") != std::string::npos) {
            chosen = l;
            break;
        }
    }
    if (chosen.empty() && !lines.empty()) chosen = lines[0];
    // "0:LINE" or "0(LINE)": source string 0, then the line.
    size_t rest = 0;
    for (size_t i = 0; i + 2 < chosen.size(); i++) {
        if (chosen[i] != '0' || (i > 0 && isalnum((unsigned char)chosen[i - 1]))) continue;
        if ((chosen[i + 1] != ':' && chosen[i + 1] != '(') ||
            !isdigit((unsigned char)chosen[i + 2]))
            continue;
        char* end = nullptr;
        long n = strtol(chosen.c_str() + i + 2, &end, 10);
        problem.line = n > prefixLines ? (int)(n - prefixLines) : 0;
        rest = (size_t)(end - chosen.c_str());
        break;
    }
    // What follows the place: a column, separators and the word "error".
    if (rest && rest < chosen.size() && chosen[rest] == '(') {
        size_t close = chosen.find(')', rest);
        rest = close == std::string::npos ? rest : close + 1;
    }
    while (rest < chosen.size() &&
           (chosen[rest] == ':' || chosen[rest] == ' ' || chosen[rest] == ')'))
        rest++;
    std::string message = chosen.substr(rest);
    for (const char* word : {"error:", "ERROR:", "error", "ERROR"}) {
        if (!message.compare(0, strlen(word), word)) {
            message.erase(0, strlen(word));
            break;
        }
    }
    while (!message.empty() && (message[0] == ' ' || message[0] == ':')) message.erase(0, 1);
    while (!message.empty() && isspace((unsigned char)message.back())) message.pop_back();
    problem.message = message.empty() ? "the compiler says nothing more" : message;
    return problem;
}

GLuint ModernGlsl_Compile(const ModernGL& gl, GLenum kind, const char* defines,
                          const std::string& source, ModernGlslProblem* problem) {
    std::string body = source;
    if (!Adapt(gl, &body, problem)) return 0;
    std::string prefix = Prefix(gl, kind, defines);
    GLuint shader = gl.CreateShader(kind);
    const char* parts[2] = {prefix.c_str(), body.c_str()};
    gl.ShaderSource(shader, 2, parts, nullptr);
    gl.CompileShader(shader);
    GLint ok = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[1024] = "";
    gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    *problem = ModernGlsl_ReadLog(log, CountLines(prefix));
    gl.DeleteShader(shader);
    return 0;
}
