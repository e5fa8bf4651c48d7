# cmake --install: the program and its downloader tool side by side in <libdir>/brenlow (Brenlow
# looks for do.dll beside itself), a command in <bindir>, a desktop entry and the icon. The prefix
# given to cmake --install --prefix is honoured, and so is DESTDIR.
include(GNUInstallDirs)

install(TARGETS brenlow brenlow_tool RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/brenlow)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/brenlow.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

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
