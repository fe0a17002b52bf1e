# find_package(Zelkor): the ZELKOR engine for a show of one's own.
#   zelkor_add_show(NAME ...)             the show: scenes, program, content (ZelkorShow.cmake)
#   Zelkor::engine                        the engine (static), with its headers
#   Zelkor::zelkor, ::zksynth, ::texmake  the content tools
#   zelkor_web_show(NAME SCENES...)       the web build (ZelkorWeb.cmake)
include(CMakeFindDependencyMacro)
if(NOT EMSCRIPTEN)
    find_dependency(PkgConfig)
    pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
    pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
    find_dependency(OpenGL COMPONENTS OpenGL)
    find_dependency(BZip2)
    find_dependency(PNG)
    find_dependency(Threads)
    include(${CMAKE_CURRENT_LIST_DIR}/ZelkorTargets.cmake)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ZelkorWeb.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ZelkorShow.cmake)
