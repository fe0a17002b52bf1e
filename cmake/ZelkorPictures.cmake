# The pictures of a show project: every file in its textures/ folder, found
# at each build (a new picture is a new file, no CMake edit), made into the
# show folder:
#   P.script + P.recipe   the script's layers painted by texmake: P.tga
#   P.recipe              texmake alone: P.tga
#   P.script              assembled: P.rgs, which the engine runs as it loads it
#   P.png, P.tga, P.bmp   copied as they are
# Anything else in textures/ is left alone, so notes may sit beside them. A
# picture taken out of textures/ is taken out of the show.

# _zelkor_pictures(SRC SHOW WORK OUT): the rules; OUT gets the files made.
function(_zelkor_pictures src show work out)
    file(GLOB files CONFIGURE_DEPENDS ${src}/textures/*)
    set(made)
    set(scripts)
    set(recipes)
    set(images)
    foreach(f ${files})
        get_filename_component(base ${f} NAME_WLE)
        get_filename_component(ext ${f} LAST_EXT)
        string(TOLOWER "${ext}" ext)
        if(ext STREQUAL ".script")
            list(APPEND scripts ${base})
        elseif(ext STREQUAL ".recipe")
            list(APPEND recipes ${base})
        elseif(ext MATCHES "^\\.(png|tga|bmp)$")
            list(APPEND images ${f})
        endif()
    endforeach()
    set(t ${src}/textures)
    foreach(base ${recipes})
        set(layers)
        set(deps ${t}/${base}.recipe)
        set(steps)
        if(base IN_LIST scripts)
            set(layers --layers ${work}/${base}.raw)
            list(APPEND deps ${t}/${base}.script)
            set(steps COMMAND Zelkor::zelkor rgs asm ${t}/${base}.script -o ${work}/${base}.rgs
                      COMMAND Zelkor::zelkor rgs run ${work}/${base}.rgs ${layers})
        endif()
        add_custom_command(
            OUTPUT ${show}/${base}.tga
            ${steps}
            COMMAND Zelkor::texmake ${t}/${base}.recipe -o ${show}/${base}.tga ${layers}
            DEPENDS ${deps}
            COMMENT "Making ${base}.tga"
            VERBATIM)
        list(APPEND made ${show}/${base}.tga)
    endforeach()
    foreach(base ${scripts})
        if(base IN_LIST recipes)
            continue()
        endif()
        add_custom_command(
            OUTPUT ${show}/${base}.rgs
            COMMAND Zelkor::zelkor rgs asm ${t}/${base}.script -o ${show}/${base}.rgs
            DEPENDS ${t}/${base}.script
            COMMENT "Assembling ${base}.rgs"
            VERBATIM)
        list(APPEND made ${show}/${base}.rgs)
    endforeach()
    foreach(f ${images})
        get_filename_component(file ${f} NAME)
        if(${show}/${file} IN_LIST made)
            message(FATAL_ERROR "textures/${file}: a recipe makes a picture of that name too; "
                                "rename one of them")
        endif()
        add_custom_command(
            OUTPUT ${show}/${file}
            COMMAND ${CMAKE_COMMAND} -E copy ${f} ${show}/${file}
            DEPENDS ${f}
            COMMENT "Copying ${file}"
            VERBATIM)
        list(APPEND made ${show}/${file})
    endforeach()
    # A picture whose file left textures/ leaves the show too (CMake runs
    # again when the folder changes), so neither play nor the package keeps
    # a stale copy.
    file(GLOB shown ${show}/*.tga ${show}/*.png ${show}/*.bmp ${show}/*.rgs)
    foreach(f ${shown})
        if(NOT f IN_LIST made)
            file(REMOVE ${f})
        endif()
    endforeach()
    set(${out} ${made} PARENT_SCOPE)
endfunction()

# _zelkor_icon(NAME PICTURE SHOW WORK OUT): the picture P (one of textures/)
# made the show's icon, a PNG in WORK/icons laid out as PREFIX/share is: in
# the desktop's icon theme when it is square and of a size the theme has,
# else among the plain pictures (share/pixmaps). OUT gets the file that
# stands for it being made.
function(_zelkor_icon name picture show work made out)
    set(file)
    foreach(f ${made})
        get_filename_component(base ${f} NAME_WLE)
        get_filename_component(ext ${f} LAST_EXT)
        string(TOLOWER "${ext}" ext)
        if(base STREQUAL picture AND ext MATCHES "^\\.(png|tga|bmp)$")
            set(file ${f})
        endif()
    endforeach()
    if(NOT file)
        message(FATAL_ERROR "ICON ${picture}: no picture of that name in textures/ (a recipe, "
                            "or a PNG, TGA or BMP file)")
    endif()
    add_custom_command(
        OUTPUT ${work}/icons/made
        COMMAND ${CMAKE_COMMAND} -DZELKOR=$<TARGET_FILE:Zelkor::zelkor> -DPICTURE=${file}
                -DNAME=${name} -DOUT=${work}/icons -P ${_zelkor_cmake_dir}/ZelkorIcon.cmake
        DEPENDS ${file} ${_zelkor_cmake_dir}/ZelkorIcon.cmake
        COMMENT "Making the icon ${name}.png"
        VERBATIM)
    set(${out} ${work}/icons/made PARENT_SCOPE)
endfunction()
