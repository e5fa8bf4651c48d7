# Debian's hardening flags, as dpkg-buildflags gives them with every hardening feature on: stack
# protector, fortified functions, format checks, read-only relocations bound at start. Optimisation,
# debug information and path mapping stay with the build type. Sanitizer and fuzzing builds keep
# their own instrumentation, and a build without optimisation cannot fortify.
option(BRENLOW_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)

function(brenlow_hardening_flags kind out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS_PROGRAM} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
    set(kept)
    if(result EQUAL 0)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        foreach(flag IN LISTS flags)
            if(NOT flag MATCHES "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
                list(APPEND kept ${flag})
            endif()
        endforeach()
    endif()
    set(${out} ${kept} PARENT_SCOPE)
endfunction()

if(BRENLOW_HARDENING AND NOT BRENLOW_SANITIZE AND NOT BRENLOW_FUZZ)
    find_program(DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags)
    if(DPKG_BUILDFLAGS_PROGRAM)
        brenlow_hardening_flags(CPPFLAGS brenlow_cppflags)
        brenlow_hardening_flags(CXXFLAGS brenlow_cxxflags)
        brenlow_hardening_flags(LDFLAGS brenlow_ldflags)
        foreach(flag IN LISTS brenlow_cppflags)
            if(flag MATCHES "^-D_FORTIFY_SOURCE")
                add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:${flag}>)
            else()
                add_compile_options(${flag})
            endif()
        endforeach()
        add_compile_options(${brenlow_cxxflags})
        add_link_options(${brenlow_ldflags})
        message(STATUS "Hardening: ${brenlow_cppflags} ${brenlow_cxxflags} ${brenlow_ldflags}")
    else()
        message(STATUS "Hardening: dpkg-buildflags not found (dpkg-dev), built without")
    endif()
endif()
