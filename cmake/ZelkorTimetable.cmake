# cmake -DZELKOR=zelkor -DSCENES=DIR -DTIMETABLE=FILE -DOUT=FILE -P ZelkorTimetable.cmake
# Compiles a show's timetable, checked against the names its scene files
# register (their ZELKOR_SCENE lines), read at every build so a renamed or
# new scene needs no CMake edit; OUT is written only when it changes.
file(GLOB files ${SCENES}/*.cpp)
set(names)
foreach(f ${files})
    file(STRINGS ${f} lines REGEX "ZELKOR_SCENE\\(")
    foreach(line ${lines})
        if(line MATCHES "ZELKOR_SCENE\\([ \t]*\"([^\"]+)\"")
            list(APPEND names ${CMAKE_MATCH_1})
        endif()
    endforeach()
endforeach()
set(check)
if(names)
    list(JOIN names "," list)
    set(check --scene-names ${list})
endif()
execute_process(COMMAND ${ZELKOR} tmg compile ${TIMETABLE} -o ${OUT}.new ${check}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "zelkor tmg compile failed on ${TIMETABLE}")
endif()
# Only a changed timetable is written: what is packed from it is then left alone.
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
