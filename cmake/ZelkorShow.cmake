# zelkor_add_show(NAME [PICTURES PICTURE...]): a show of one's own, made from
# the project's folder into ${PROJECT_BINARY_DIR}/show:
#   scenes/*.cpp          the scenes, a file each (ZELKOR_SCENE): a shared
#                         library beside the program, which zelkor play loads
#                         again when it is rebuilt (compiled in on the web)
#   timetable.txt         packed into data.vkz, with tracks.txt if there is one
#   score.txt             rendered into sound.mp3 (zksynth)
#   textures/P.script     each PICTURE P: its texture script, painted by
#   textures/P.recipe     texmake into P.tga
# and the program NAME, which plays the show. `cpack -G DEB` in the build
# folder packs the show folder into PREFIX/lib/NAME.
set(_zelkor_cmake_dir ${CMAKE_CURRENT_LIST_DIR})

function(zelkor_add_show name)
    cmake_parse_arguments(S "" "" "PICTURES" ${ARGN})
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
        zelkor_web_show(${name} ${scenes})
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
    set_target_properties(${name}_scenes PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${show}
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
    foreach(picture ${S_PICTURES})
        set(texture ${src}/textures/${picture})
        add_custom_command(
            OUTPUT ${show}/${picture}.tga
            COMMAND Zelkor::zelkor rgs asm ${texture}.script -o ${work}/${picture}.rgs
            COMMAND Zelkor::zelkor rgs run ${work}/${picture}.rgs --layers ${work}/${picture}.raw
            COMMAND Zelkor::texmake ${texture}.recipe -o ${show}/${picture}.tga
                    --layers ${work}/${picture}.raw
            DEPENDS ${texture}.script ${texture}.recipe
            COMMENT "Making ${picture}.tga"
            VERBATIM)
        list(APPEND content ${show}/${picture}.tga)
    endforeach()
    if(EXISTS ${src}/score.txt)
        add_custom_command(
            OUTPUT ${show}/sound.mp3
            COMMAND Zelkor::zksynth ${src}/score.txt -o ${show}/sound.mp3
                    --timetable ${src}/timetable.txt
            DEPENDS ${src}/score.txt ${src}/timetable.txt
            COMMENT "Rendering the score into sound.mp3"
            VERBATIM)
        list(APPEND content ${show}/sound.mp3)
    endif()
    add_custom_target(${name}_content ALL DEPENDS ${content})

    # The package: the show folder as PREFIX/lib/NAME, with what the programs
    # link and the GL driver SDL opens at run time.
    install(DIRECTORY ${show}/ DESTINATION lib/${name} USE_SOURCE_PERMISSIONS
            PATTERN zelkor.log EXCLUDE PATTERN sources.txt EXCLUDE)
    set(CPACK_PACKAGE_NAME ${name})
    set(CPACK_PACKAGE_VERSION 0.1)
    set(CPACK_PACKAGE_CONTACT "the maker of ${name}")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
    include(CPack)
endfunction()
