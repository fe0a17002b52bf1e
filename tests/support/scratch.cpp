#include "support/scratch.h"

#include "io/read_file.h"
#include "io/write_file.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

ScratchDir::ScratchDir(const char* tag) {
    const char* base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/zk-" + tag + "-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) path = buf.data();
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

WorkingFolder::WorkingFolder(const std::string& dir) {
    char* cwd = getcwd(nullptr, 0);
    if (cwd) previous = cwd;
    free(cwd);
    entered = !previous.empty() && chdir(dir.c_str()) == 0;
}

WorkingFolder::~WorkingFolder() {
    if (entered && chdir(previous.c_str()) != 0) abort();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    IO_ReadFile(path.c_str(), UINT32_MAX, IO_ANY_FILE, &bytes);
    return bytes;
}

std::string ReadText(const std::string& path) {
    std::string text;
    IO_ReadText(path.c_str(), UINT32_MAX, IO_ANY_FILE, &text);
    return text;
}

bool WriteBytes(const std::string& path, const void* data, size_t size) {
    return IO_WriteFile(path.c_str(), data, size, 0).ok;
}
