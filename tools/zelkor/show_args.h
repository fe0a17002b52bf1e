// Arguments shared by the show-running commands.
#pragma once
#include <string>

// `path` from the current folder, so it holds after entering the show folder.
std::string AbsolutePath(const std::string& path);
