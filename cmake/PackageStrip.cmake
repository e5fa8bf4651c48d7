# Run by cpack on the staged tree before it is packed: drops the .comment and .note sections from
# every program, as Debian's own packaging tools do.
find_program(BRENLOW_STRIP NAMES strip)
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS staged)
    if(IS_SYMLINK "${path}")
        continue()
    endif()
    file(READ "${path}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46" AND BRENLOW_STRIP)
        execute_process(COMMAND ${BRENLOW_STRIP} --remove-section=.comment --remove-section=.note "${path}"
                        RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "strip failed on ${path}")
        endif()
    endif()
endforeach()
