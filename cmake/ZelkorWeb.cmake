# zelkor_web_show(NAME [TITLE T] [WARNING W] SCENES...): under Emscripten
# (zelkor-build-web), the show's web page: the engine built from the sources
# installed with it, the engine's page host with the show's scenes compiled
# in as NAME.js and NAME.wasm, and the site around it in build-web/site: the
# page (titled T, with the line W before the show starts, if any), the
# program and the content of the native build's show folder (ZK_SHOW_DIR).
get_filename_component(_zelkor_share "${CMAKE_CURRENT_LIST_DIR}/../../../share/zelkor" ABSOLUTE)

# Text made safe in HTML (and as a regular expression's replacement).
function(_zelkor_html text out)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    string(REPLACE "\\" "&#92;" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(zelkor_web_show name)
    cmake_parse_arguments(W "" "TITLE;WARNING" "SCENES" ${ARGN})
    if(NOT DEFINED W_TITLE)
        set(W_TITLE ${name})
    endif()
    set(ZK_SHOW_DIR "" CACHE PATH "The native build's show folder, whose content the site carries")
    set(ZK_ZELKOR "" CACHE FILEPATH "A native zelkor, which packs the site's pictures")
    if(NOT TARGET zk_engine)
        add_subdirectory(${_zelkor_share} ${CMAKE_BINARY_DIR}/zelkor EXCLUDE_FROM_ALL)
    endif()
    set(web ${_zelkor_share}/src/web)
    add_executable(${name} ${web}/main.cpp ${W_SCENES} ${W_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE zk_engine)
    # The engine's C++, which the project's own scope does not set.
    target_compile_features(${name} PRIVATE cxx_std_20)
    set_target_properties(${name} PROPERTIES SUFFIX ".js")
    get_target_property(options marovy LINK_OPTIONS)
    target_link_options(${name} PRIVATE ${options})
    # The engine's page, made the show's: its program, title and warning.
    _zelkor_html("${W_TITLE}" title)
    _zelkor_html("${W_WARNING}" warning)
    file(READ ${web}/page/index.html page)
    string(REPLACE "data-program=\"marovy\"" "data-program=\"${name}\"" page "${page}")
    string(REPLACE "tarnis - Marovy" "${title}" page "${page}")
    if(NOT warning STREQUAL "")
        string(REGEX REPLACE "<p id=\"warning\">[^<]*</p>" "<p id=\"warning\">${warning}</p>"
               page "${page}")
    else()
        string(REGEX REPLACE "<p id=\"warning\">[^<]*</p>" "<p id=\"warning\" hidden></p>" page
               "${page}")
    endif()
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
