# pestrel_soname(VAR LIBRARY_FILE): the name the dynamic linker loads LIBRARY_FILE by (its
# SONAME), for a library the program opens only when it first needs it.
function(pestrel_soname var file)
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${file} OUTPUT_VARIABLE dump
                    RESULT_VARIABLE failed)
    if(failed OR NOT dump MATCHES "SONAME +([^ \n]+)")
        message(FATAL_ERROR "no SONAME in ${file}")
    endif()
    set(${var} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
