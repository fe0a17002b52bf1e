# cmake -DZELKOR=zelkor -DPICTURE=FILE -DNAME=NAME -DOUT=DIR -P ZelkorIcon.cmake
# A show's picture made its icon NAME.png, laid out under DIR as PREFIX/share
# is: icons/hicolor/NxN/apps for a square picture of a size the desktop's
# icon theme has, else pixmaps (which takes any). DIR/made marks it done.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
if(PICTURE MATCHES "\\.[pP][nN][gG]$")
    # A PNG is one already: its size is in its header.
    file(READ ${PICTURE} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING "${header}" 0 8 w)
    string(SUBSTRING "${header}" 8 8 h)
    math(EXPR width "0x${w}")
    math(EXPR height "0x${h}")
    file(COPY_FILE ${PICTURE} ${OUT}/icon.png)
else()
    execute_process(COMMAND ${ZELKOR} tex decode ${PICTURE} --png ${OUT}/icon.png
                    OUTPUT_VARIABLE size RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "the icon: ${PICTURE} does not decode")
    endif()
    string(REGEX MATCH "^([0-9]+) ([0-9]+)" size "${size}")
    set(width ${CMAKE_MATCH_1})
    set(height ${CMAKE_MATCH_2})
endif()
set(place pixmaps)
if(width EQUAL height AND width MATCHES "^(16|22|24|32|48|64|96|128|192|256|512)$")
    set(place icons/hicolor/${width}x${width}/apps)
endif()
file(MAKE_DIRECTORY ${OUT}/${place})
file(RENAME ${OUT}/icon.png ${OUT}/${place}/${NAME}.png)
file(TOUCH ${OUT}/made)
