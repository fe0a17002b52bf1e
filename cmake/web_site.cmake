# Lays out the web site: the page, the program (.js and .wasm) and, in data/,
# the show's content with files.json, the list the page fetches with each
# file's size for its progress bar. Run with -DSITE= -DSHOW= -DPAGE= -DPROGRAM=.
if(NOT IS_DIRECTORY "${SHOW}" OR NOT EXISTS "${SHOW}/data.vkz")
    message(FATAL_ERROR "no show content in '${SHOW}': make it with cmake --build build --target show "
                        "and pass -DZK_SHOW_DIR=build/show")
endif()
file(REMOVE_RECURSE ${SITE}/data)
file(MAKE_DIRECTORY ${SITE}/data)
file(COPY ${PAGE} DESTINATION ${SITE})
get_filename_component(dir ${PROGRAM} DIRECTORY)
get_filename_component(name ${PROGRAM} NAME_WE)
file(COPY ${PROGRAM} ${dir}/${name}.wasm DESTINATION ${SITE})

# The files the show reads: the archive, the track, pictures and texture scripts.
file(GLOB content LIST_DIRECTORIES false RELATIVE ${SHOW}
     ${SHOW}/*.vkz ${SHOW}/*.mp3 ${SHOW}/*.tga ${SHOW}/*.bmp ${SHOW}/*.rgs)
list(SORT content)
set(json "")
foreach(file ${content})
    file(COPY ${SHOW}/${file} DESTINATION ${SITE}/data)
    file(SIZE ${SHOW}/${file} size)
    if(json)
        string(APPEND json ",\n")
    endif()
    string(APPEND json "  {\"name\": \"${file}\", \"size\": ${size}}")
endforeach()
file(WRITE ${SITE}/data/files.json "[\n${json}\n]\n")
