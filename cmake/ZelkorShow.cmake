# zelkor_add_show(NAME [SETTING VALUE...]): a show of one's own, made from
# the project's folder into ${PROJECT_BINARY_DIR}/show:
#   scenes/*.cpp          the scenes, a file each (ZELKOR_SCENE): a shared
#                         library beside the program, which zelkor play loads
#                         again when it is rebuilt (compiled in on the web)
#   shaders/              the scenes' shader programs, as they are
#   timetable.txt         checked against the scenes' names and packed into
#                         data.vkz, with tracks.txt if there is one
#   score.txt             rendered into sound.mp3 (zksynth); without it, the
#                         project's own sound.mp3 is taken as it is
#   textures/             every picture (ZelkorPictures.cmake)
# and the program NAME, which plays the show. The settings, each optional:
#   TITLE "T"             the show's name for people: the web page's title,
#                         the menu's entry (default NAME)
#   SUMMARY "S"           one line on it: the package's and the menu's
#   DESCRIPTION "D"       a few sentences more, for the package
#   SECTION S             the package's section (default games)
#   CONTACT "N <MAIL>"    who makes it: the package's maintainer
#   VERSION V             the package's version (default the project's, or 0.1)
#   ICON P                the picture textures/P.* made the package's icon
#   CATEGORIES "C;..."    the menu's categories (default Game;Amusement;)
#   WARNING "W"           a line the web page shows before the show starts
# `cpack -G DEB` in the build folder packs it (ZelkorPackage.cmake), and
# zelkor-build-web makes its web page (ZelkorWeb.cmake).
set(_zelkor_cmake_dir ${CMAKE_CURRENT_LIST_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/ZelkorPictures.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ZelkorPackage.cmake)

function(zelkor_add_show name)
    # PICTURES is what projects named before every picture was found; it is
    # taken and not needed.
    cmake_parse_arguments(S "" "TITLE;SUMMARY;DESCRIPTION;SECTION;CONTACT;VERSION;ICON;CATEGORIES;WARNING"
                          "PICTURES" ${ARGN})
    if(S_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "zelkor_add_show: unknown setting ${S_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT DEFINED S_TITLE)
        set(S_TITLE ${name})
    endif()
    if(NOT DEFINED S_SUMMARY)
        set(S_SUMMARY "a real-time show")
    endif()
    if(NOT DEFINED S_DESCRIPTION)
        set(S_DESCRIPTION "${S_TITLE}, a real-time show made on the ZELKOR engine.")
    endif()
    if(NOT DEFINED S_SECTION)
        set(S_SECTION games)
    endif()
    if(NOT DEFINED S_CONTACT)
        set(S_CONTACT "The maker of ${name} <${name}@example.org>")
    endif()
    if(NOT DEFINED S_VERSION)
        set(S_VERSION ${PROJECT_VERSION})
    endif()
    if(S_VERSION STREQUAL "")
        set(S_VERSION 0.1)
    endif()
    if(NOT DEFINED S_CATEGORIES)
        set(S_CATEGORIES "Game;Amusement;")
    endif()
    if(NOT CMAKE_BUILD_TYPE)
        set(CMAKE_BUILD_TYPE Release PARENT_SCOPE)
    endif()
    set(src ${CMAKE_CURRENT_SOURCE_DIR})
    set(show ${PROJECT_BINARY_DIR}/show)
    set(work ${PROJECT_BINARY_DIR}/work)
    file(MAKE_DIRECTORY ${show} ${work})
    # A new scene file is found at the next build.
    file(GLOB scenes CONFIGURE_DEPENDS ${src}/scenes/*.cpp)

    if(EMSCRIPTEN)
        # The web has no shared libraries: the scenes are compiled in.
        zelkor_web_show(${name} TITLE "${S_TITLE}" WARNING "${S_WARNING}" SCENES ${scenes})
        return()
    endif()

    # The show folder records where its sources are, so zelkor play's track
    # editor saves this project's tracks.txt rather than a copy in the show.
    file(CONFIGURE OUTPUT ${show}/sources.txt @ONLY
         CONTENT "source ${src}\ntracks ${src}/tracks.txt\n")

    # The scenes link nothing: the program that loads them hands them the
    # engine's scene API. Their own symbols stay theirs.
    file(CONFIGURE OUTPUT ${work}/zelkor_scene_library.cpp
         CONTENT "#include \"zelkor/zelkor.h\"\nZELKOR_SCENE_LIBRARY()\n")
    add_library(${name}_scenes SHARED ${scenes} ${work}/zelkor_scene_library.cpp)
    target_include_directories(${name}_scenes PRIVATE
                               $<TARGET_PROPERTY:Zelkor::engine,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_features(${name}_scenes PRIVATE cxx_std_20)
    # A plug-in, opened by its path: no SONAME, nothing for ldconfig.
    set_target_properties(${name}_scenes PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${show} NO_SONAME ON
                          CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

    file(CONFIGURE OUTPUT ${work}/zelkor_show_main.cpp CONTENT [[
// @name@'s program: the engine plays the show in its folder, with the scenes
// of the library beside it.
#include "engine/show_main.h"

int main(int argc, char** argv) {
    ShowProgram program;
    program.name = "@name@";
    program.library = "lib@name@_scenes.so";
    return Show_Main(argc, argv, program);
}
]] @ONLY)
    add_executable(${name} ${work}/zelkor_show_main.cpp)
    target_link_libraries(${name} PRIVATE Zelkor::engine)
    target_compile_features(${name} PRIVATE cxx_std_20)
    # It exports the scene API to the library, and nothing of its own.
    set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON RUNTIME_OUTPUT_DIRECTORY ${show}
                          CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    # Said at build time rather than when the show is played: the library
    # loaded into the program, every symbol bound at once, fails on any
    # function that is not the scene API's.
    add_custom_command(
        OUTPUT ${work}/scenes_checked
        COMMAND ${CMAKE_COMMAND} -E env LD_BIND_NOW=1 LD_PRELOAD=$<TARGET_FILE:${name}_scenes>
                $<TARGET_FILE:${name}> --version
        COMMAND ${CMAKE_COMMAND} -E touch ${work}/scenes_checked
        DEPENDS ${name} ${name}_scenes
        COMMENT "Checking that the scenes call only the scene API (zelkor/zelkor.h)"
        VERBATIM)

    set(content ${show}/data.vkz ${work}/scenes_checked)
    # The timetable is checked against the scenes' names, read from their
    # files at every build; it is written (and data.vkz packed) only when it
    # changes, so editing a scene does not touch the archive.
    add_custom_command(
        OUTPUT ${work}/default.tmg
        COMMAND ${CMAKE_COMMAND} -DZELKOR=$<TARGET_FILE:Zelkor::zelkor> -DSCENES=${src}/scenes
                -DTIMETABLE=${src}/timetable.txt -DOUT=${work}/default.tmg
                -P ${_zelkor_cmake_dir}/ZelkorTimetable.cmake
        DEPENDS ${src}/timetable.txt ${scenes} ${_zelkor_cmake_dir}/ZelkorTimetable.cmake
        COMMENT "Compiling timetable.txt"
        VERBATIM)
    set(packed ${work}/default.tmg)
    if(EXISTS ${src}/tracks.txt)
        add_custom_command(
            OUTPUT ${work}/default.trk
            COMMAND Zelkor::zelkor trk compile ${src}/tracks.txt -o ${work}/default.trk
            DEPENDS ${src}/tracks.txt
            COMMENT "Compiling tracks.txt"
            VERBATIM)
        list(APPEND packed ${work}/default.trk)
    endif()
    add_custom_command(
        OUTPUT ${show}/data.vkz
        COMMAND ${CMAKE_COMMAND} -E rm -f ${show}/data.vkz
        COMMAND Zelkor::zelkor vkz create ${show}/data.vkz ${packed}
        DEPENDS ${packed}
        COMMENT "Packing data.vkz"
        VERBATIM)
    _zelkor_pictures(${src} ${show} ${work} pictures)
    list(APPEND content ${pictures})
    if(S_ICON)
        _zelkor_icon(${name} ${S_ICON} ${show} ${work} "${pictures}" icon)
        list(APPEND content ${icon})
    endif()
    # The shaders are the project's own folder, linked: play compiles a saved
    # shader again at once, without a build. A new shaders/ is found at the
    # next build.
    file(GLOB shaders CONFIGURE_DEPENDS ${src}/shaders/*)
    if(shaders)
        file(CREATE_LINK ${src}/shaders ${show}/shaders SYMBOLIC)
    else()
        file(REMOVE ${show}/shaders)
    endif()
    if(EXISTS ${src}/score.txt)
        add_custom_command(
            OUTPUT ${show}/sound.mp3
            COMMAND Zelkor::zksynth ${src}/score.txt -o ${show}/sound.mp3
                    --timetable ${src}/timetable.txt
            DEPENDS ${src}/score.txt ${src}/timetable.txt
            COMMENT "Rendering the score into sound.mp3"
            VERBATIM)
        list(APPEND content ${show}/sound.mp3)
    elseif(EXISTS ${src}/sound.mp3)
        add_custom_command(
            OUTPUT ${show}/sound.mp3
            COMMAND ${CMAKE_COMMAND} -E copy ${src}/sound.mp3 ${show}/sound.mp3
            DEPENDS ${src}/sound.mp3
            COMMENT "Copying sound.mp3"
            VERBATIM)
        list(APPEND content ${show}/sound.mp3)
    endif()
    add_custom_target(${name}_content ALL DEPENDS ${content})

    _zelkor_package(${name} ${show} ${work})
endfunction()
