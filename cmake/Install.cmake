# cmake --install: the program and its downloader tool side by side in <libdir>/brenlow (Brenlow
# looks for do.dll beside itself), a command in <bindir>, a desktop entry, the icon, the AppStream
# metainfo and the manual page. The prefix
# given to cmake --install --prefix is honoured, and so is DESTDIR.
include(GNUInstallDirs)

install(TARGETS brenlow brenlow_tool RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/brenlow)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/brenlow.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/brenlow.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME com.example.Brenlow.metainfo.xml)

# Manual pages are installed compressed; -n keeps the archive free of a time stamp.
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
    set(brenlow_man ${CMAKE_BINARY_DIR}/resources/brenlow.1.gz)
    add_custom_command(OUTPUT ${brenlow_man}
        COMMAND ${GZIP_PROGRAM} -n -9 -c ${PROJECT_SOURCE_DIR}/resources/brenlow.1 > ${brenlow_man}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/brenlow.1 VERBATIM)
    add_custom_target(brenlow_manpage ALL DEPENDS ${brenlow_man})
    install(FILES ${brenlow_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/brenlow.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# <bindir>/brenlow is a relative link, so the installed tree can be moved as a whole; the desktop
# entry names the command by its full path under the prefix in use.
install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    set(bindir \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
    file(RELATIVE_PATH target \"\${bindir}\" \"\${prefix}/${CMAKE_INSTALL_LIBDIR}/brenlow/brenlow\")
    set(link \"\$ENV{DESTDIR}\${bindir}/brenlow\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${bindir}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"\${target}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link} -> \${target}\")

    file(READ \"${PROJECT_SOURCE_DIR}/resources/brenlow.desktop.in\" entry)
    string(REPLACE \"@BRENLOW_LAUNCHER@\" \"\${bindir}/brenlow\" entry \"\${entry}\")
    set(desktop \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/brenlow.desktop\")
    file(WRITE \"\${desktop}\" \"\${entry}\")
    message(STATUS \"Installing: \${desktop}\")
")
