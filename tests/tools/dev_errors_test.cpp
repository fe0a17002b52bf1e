// What zelkor dev shows of a failed build, from real outputs of cmake
// --build: with Ninja, a compiler's errors without the step's name and
// command; with Make, CMake's own error without its blank lines, and a
// content tool's complaint that names no "error", found before Make's "***".
#include "dev_errors.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

TEST(DevErrors, FailingStepOfNinjaAndMake) {
    const std::string ninja =
        "[1/2] Building CXX object CMakeFiles/nin_scenes.dir/scenes/glow.cpp.o\n"
        "FAILED: CMakeFiles/nin_scenes.dir/scenes/glow.cpp.o \n"
        "/usr/bin/c++ -Dnin_scenes_EXPORTS -O3 -o CMakeFiles/x.o -c /tmp/nin/scenes/glow.cpp\n"
        "/tmp/nin/scenes/glow.cpp: In function 'void Glow(const SceneFrame&)':\n"
        "/tmp/nin/scenes/glow.cpp:48:30: error: expected ')' before 'kColour'\n"
        "   48 |         d->Color4f(kColour[0] kColour[1], kColour[2], 0.9f);\n"
        "      |                   ~          ^~~~~~~~\n"
        "ninja: build stopped: subcommand failed.\n";
    EXPECT_EQ(Dev_ErrorLines(ninja, 2, "/tmp/nin/", "nin/"),
              (Lines{"nin/scenes/glow.cpp:48:30: error: expected ')' before 'kColour'",
                     "   48 |         d->Color4f(kColour[0] kColour[1], kColour[2], 0.9f);"}));

    const std::string cmake = "-- Configuring done\n"
                              "CMake Error at CMakeLists.txt:34 (add_library):\n"
                              "  Cannot find source file:\n"
                              "\n"
                              "    scenes/gone.cpp\n"
                              "\n"
                              "\n"
                              "CMake Generate step failed.  Build files cannot be regenerated.\n"
                              "gmake: *** [Makefile:332: cmake_check_build_system] Error 1\n";
    EXPECT_EQ(Dev_ErrorLines(cmake, 8, "/tmp/mine/", ""),
              (Lines{"CMake Error at CMakeLists.txt:34 (add_library):",
                     "  Cannot find source file:", "    scenes/gone.cpp",
                     "CMake Generate step failed.  Build files cannot be regenerated."}));

    const std::string tool =
        "[ 12%] Making backdrop.tga\n"
        "random 2251952978\n"
        "[ 75%] Packing the timetable and the tracks into data.vkz\n"
        "zelkor tmg: /tmp/mine/timetable.txt: line 8: expected a decimal number, not 'x'\n"
        "gmake[2]: *** [CMakeFiles/show_content.dir/build.make:83: show/data.vkz] Error 1\n"
        "gmake[1]: *** [CMakeFiles/Makefile2:139: CMakeFiles/show_content.dir/all] Error 2\n";
    EXPECT_EQ(Dev_ErrorLines(tool, 8, "/tmp/mine/", ""),
              (Lines{"zelkor tmg: timetable.txt: line 8: expected a decimal number, not 'x'"}));
}
