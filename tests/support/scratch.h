// Test support: scratch folders, the working folder, whole files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under $TMPDIR (or /tmp) named after `tag`, removed with all
// it holds when the object goes. Path() is empty when none could be made.
class ScratchDir {
  public:
    explicit ScratchDir(const char* tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path; }
    // A path inside the folder.
    std::string operator/(const std::string& name) const { return path + "/" + name; }

  private:
    std::string path;
};

// Makes `dir` the working folder until the object goes, so a failed assertion
// cannot leave the next test in the wrong folder.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::string& dir);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    bool Entered() const { return entered; }

  private:
    std::string previous;
    bool entered = false;
};

// The whole file, or nothing when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
bool WriteBytes(const std::string& path, const void* data, size_t size);
inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteBytes(path, bytes.data(), bytes.size());
}
