# What `cmake --install` and `cpack -G DEB` make of a show project:
#   lib/NAME/                 the show folder: program, scene library, content
#   bin/NAME                  the program on the PATH (a link into lib/NAME),
#                             and games/NAME too for a show of the games section
#   share/applications/NAME.desktop, and the icon: the show in the menu
#   share/doc/NAME/           copyright and changelog.gz, as Debian wants them
# The package's name, version, description, section and maintainer are the
# show's settings (zelkor_add_show's TITLE, SUMMARY, ...). The program and
# the scene library are stripped in the package.

# _zelkor_package(NAME SHOW WORK): S_* are zelkor_add_show's settings.
macro(_zelkor_package name show work)
    install(DIRECTORY ${show}/ DESTINATION lib/${name} USE_SOURCE_PERMISSIONS
            PATTERN zelkor.log EXCLUDE PATTERN sources.txt EXCLUDE PATTERN shaders EXCLUDE
            PATTERN ${name} EXCLUDE PATTERN lib${name}_scenes.so EXCLUDE)
    install(TARGETS ${name} RUNTIME DESTINATION lib/${name})
    # Loaded, not run: not executable.
    install(TARGETS ${name}_scenes LIBRARY DESTINATION lib/${name}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    # The show's shaders/ links to the project's: its files go in.
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/shaders/ DESTINATION lib/${name}/shaders
            OPTIONAL FILES_MATCHING PATTERN "*.frag" PATTERN "*.vert")
    # The program finds its show beside its own file, wherever it is linked from.
    set(places bin)
    if(S_SECTION STREQUAL "games")
        list(APPEND places games)
    endif()
    foreach(place ${places})
        install(CODE "file(MAKE_DIRECTORY \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${place})
            file(CREATE_LINK ../lib/${name}/${name}
                 \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${place}/${name} SYMBOLIC)")
    endforeach()
    file(CONFIGURE OUTPUT ${work}/${name}.desktop @ONLY CONTENT "[Desktop Entry]
Type=Application
Name=${S_TITLE}
Comment=${S_SUMMARY}
Exec=${name}
Icon=${name}
Terminal=false
Categories=${S_CATEGORIES}
")
    install(FILES ${work}/${name}.desktop DESTINATION share/applications)
    if(S_ICON)
        install(DIRECTORY ${work}/icons/ DESTINATION share PATTERN made EXCLUDE)
    endif()

    # The documents Debian asks of every package.
    string(TIMESTAMP year "%Y")
    string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    file(CONFIGURE OUTPUT ${work}/doc/copyright @ONLY CONTENT
         "${S_TITLE}: ${S_SUMMARY}\n\nCopyright ${year} ${S_CONTACT}\n")
    file(CONFIGURE OUTPUT ${work}/doc/changelog @ONLY CONTENT
         "${name} (${S_VERSION}) unstable; urgency=medium\n\n  * ${S_TITLE} ${S_VERSION}.\n\n -- ${S_CONTACT}  ${date}\n")
    add_custom_command(
        OUTPUT ${work}/doc/changelog.gz
        COMMAND gzip -9nf -k ${work}/doc/changelog
        DEPENDS ${work}/doc/changelog
        VERBATIM)
    add_custom_target(${name}_changelog ALL DEPENDS ${work}/doc/changelog.gz)
    install(FILES ${work}/doc/copyright ${work}/doc/changelog.gz DESTINATION share/doc/${name})

    set(CPACK_PACKAGE_NAME ${name})
    set(CPACK_PACKAGE_VERSION ${S_VERSION})
    set(CPACK_PACKAGE_CONTACT "${S_CONTACT}")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${S_SUMMARY}")
    set(CPACK_PACKAGE_DESCRIPTION "${S_DESCRIPTION}")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_SECTION ${S_SECTION})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Beside what the program links: the GL driver SDL opens at run time.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
    set(CPACK_STRIP_FILES ON)
    set(CPACK_GENERATOR DEB)
    include(CPack)
endmacro()
