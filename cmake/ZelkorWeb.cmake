# zelkor_web_show(NAME SCENES...): under Emscripten (scripts/build-web), the
# show's web page: the engine built from the sources installed with it, the
# engine's page host with the show's scenes compiled in, and the site around
# it in build-web/site: the page, the program and the content of the native
# build's show folder (ZK_SHOW_DIR).
get_filename_component(_zelkor_share "${CMAKE_CURRENT_LIST_DIR}/../../../share/zelkor" ABSOLUTE)

function(zelkor_web_show name)
    set(ZK_SHOW_DIR "" CACHE PATH "The native build's show folder, whose content the site carries")
    set(ZK_ZELKOR "" CACHE FILEPATH "A native zelkor, which packs the site's pictures")
    if(NOT TARGET zk_engine)
        add_subdirectory(${_zelkor_share} ${CMAKE_BINARY_DIR}/zelkor EXCLUDE_FROM_ALL)
    endif()
    set(web ${_zelkor_share}/src/web)
    add_executable(${name} ${web}/main.cpp ${ARGN})
    target_link_libraries(${name} PRIVATE zk_engine)
    # The page loads "marovy.js", the engine's page host.
    set_target_properties(${name} PROPERTIES OUTPUT_NAME marovy SUFFIX ".js")
    get_target_property(options marovy LINK_OPTIONS)
    target_link_options(${name} PRIVATE ${options})
    # The page, with the show's name for its title.
    file(READ ${web}/page/index.html page)
    string(REPLACE "tarnis - Marovy" "${name}" page "${page}")
    file(WRITE ${CMAKE_BINARY_DIR}/page/index.html "${page}")
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_custom_target(${name}_site ALL
        COMMAND ${Python3_EXECUTABLE} ${web}/make_site.py --zelkor "${ZK_ZELKOR}"
                ${CMAKE_BINARY_DIR}/site ${ZK_SHOW_DIR}
                $<TARGET_FILE:${name}> ${CMAKE_BINARY_DIR}/page/index.html ${web}/page/page.js
                ${web}/page/page.css
        DEPENDS ${name} ${web}/make_site.py
        COMMENT "Making the site in ${CMAKE_BINARY_DIR}/site"
        VERBATIM)
endfunction()
