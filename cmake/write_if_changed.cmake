# zk_write_if_changed(PATH TEXT): writes the file only when its text changes,
# so what depends on it is remade only then.
function(zk_write_if_changed path text)
    set(old "")
    if(EXISTS ${path})
        file(READ ${path} old)
    endif()
    if(NOT old STREQUAL text)
        file(WRITE ${path} "${text}")
    endif()
endfunction()
