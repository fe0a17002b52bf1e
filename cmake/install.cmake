# What `cmake --install build --prefix PREFIX` puts where, and the Debian
# package `cpack -G DEB` makes of it:
#   bin/             marovy, zelkor, zksynth, texmake
#   libexec/zelkor/  the programs zelkor runs by name (zelkor-play, ...)
#   share/marovy/    the show's content, which an installed marovy finds
#   share/man, share/doc/zelkor (docs/*.md), share/bash-completion,
#   share/applications, share/icons
#   include/zelkor/, lib/zelkor/, lib/cmake/Zelkor/: the engine for
#   building shows of one's own (find_package(Zelkor) gives Zelkor::engine)
include(GNUInstallDirs)
set(ZK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Zelkor)

install(TARGETS marovy RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zelkor zksynth texmake EXPORT ZelkorTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zelkor-play zelkor-dev zelkor-capture zelkor-rgs-view
        RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zelkor)

# The engine and everything it links, as static libraries.
set_target_properties(zk_engine PROPERTIES EXPORT_NAME engine)
install(TARGETS zk_core zk_io zk_cli zk_platform zk_draw zk_platform_gl zk_archive zk_music
                zk_timing zk_sequencing zk_scene_names zk_rgs zk_texdecode zk_textures zk_scenes
                zk_api zk_engine
        EXPORT ZelkorTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}/zelkor COMPONENT dev)
install(EXPORT ZelkorTargets NAMESPACE Zelkor:: DESTINATION ${ZK_CMAKE_DIR} COMPONENT dev)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZelkorConfigVersion.cmake
                                 VERSION 0.99 COMPATIBILITY ExactVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/ZelkorConfig.cmake
              ${PROJECT_BINARY_DIR}/ZelkorConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZelkorWeb.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZelkorShow.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZelkorTimetable.cmake
        DESTINATION ${ZK_CMAKE_DIR} COMPONENT dev)
# What the web build of a show of one's own compiles: the engine's sources.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zelkor/src
        COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/CMakeLists.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/zelkor
        COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/git_revision.cmake ${PROJECT_SOURCE_DIR}/cmake/write_if_changed.cmake
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zelkor/cmake COMPONENT dev)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/build-web
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME zelkor-build-web)

# The manual pages: the programs' own --help, and the documents on what a
# maker writes (scripts/make-man lists them). The documents themselves go to
# share/doc/zelkor, every one of them.
file(GLOB ZK_DOCS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
set(MAN ${PROJECT_BINARY_DIR}/man)
add_custom_command(
    OUTPUT ${MAN}/made
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-man $<TARGET_FILE:zelkor> $<TARGET_FILE:marovy>
            $<TARGET_FILE:zksynth> $<TARGET_FILE:texmake> ${MAN}
    COMMAND ${CMAKE_COMMAND} -E touch ${MAN}/made
    # zelkor runs play, dev, capture and rgs view for their --help.
    DEPENDS zelkor zelkor-play zelkor-dev zelkor-capture zelkor-rgs-view marovy zksynth texmake ${ZK_DOCS}
            ${PROJECT_SOURCE_DIR}/scripts/make-man ${PROJECT_SOURCE_DIR}/scripts/md2man
            ${PROJECT_SOURCE_DIR}/scripts/zelkor-commands
    COMMENT "Making the manual pages"
    VERBATIM)
add_custom_target(man ALL DEPENDS ${MAN}/made)
install(DIRECTORY ${MAN}/ DESTINATION ${CMAKE_INSTALL_MANDIR} FILES_MATCHING REGEX "/man[0-9]/[^/]*\\.gz$")
install(FILES ${ZK_DOCS} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelkor)
install(FILES ${PROJECT_SOURCE_DIR}/tools/zelkor/zelkor.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zelkor)
install(FILES ${PROJECT_SOURCE_DIR}/assets/marovy.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

if(ZK_CONTENT)
    install(DIRECTORY ${PROJECT_BINARY_DIR}/show/ DESTINATION ${CMAKE_INSTALL_DATADIR}/marovy
            PATTERN marovy EXCLUDE PATTERN zelkor.log EXCLUDE PATTERN "*.so" EXCLUDE
            PATTERN sources.txt EXCLUDE)
    install(FILES ${PROJECT_BINARY_DIR}/assets/marovy.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
endif()

set(CPACK_PACKAGE_NAME marovy)
set(CPACK_PACKAGE_VERSION 0.99)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tarnis - Marovy, a real-time show, and the ZELKOR engine")
set(CPACK_PACKAGE_CONTACT "tarnis <tarnis@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside what the programs link: the GL driver SDL opens at run time, and
# what building a show of one's own against the engine takes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
# texmake looks its fonts up there by default.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "cmake, g++, pkg-config, libsdl2-dev, libmpg123-dev, libgl-dev, libglu1-mesa-dev, libbz2-dev, libucl-dev, libpng-dev")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR DEB)
include(CPack)
