# Writes OUT with the git revision of SRC (or "unknown" outside a checkout),
# touching it only when the text changes, so a build relinks only then.
execute_process(COMMAND git -C ${SRC} rev-parse --short=12 HEAD
                OUTPUT_VARIABLE rev OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                RESULT_VARIABLE failed)
if(failed OR rev STREQUAL "")
    set(rev unknown)
else()
    execute_process(COMMAND git -C ${SRC} diff --quiet HEAD -- RESULT_VARIABLE dirty ERROR_QUIET)
    if(dirty)
        set(rev "${rev}-dirty")
    endif()
endif()
# A const at namespace scope is file-local unless declared extern first.
set(text "// Generated at build time.\nextern const char* const zelkorGitRevision;\nconst char* const zelkorGitRevision = \"${rev}\";\n")
include(${CMAKE_CURRENT_LIST_DIR}/write_if_changed.cmake)
zk_write_if_changed(${OUT} "${text}")
