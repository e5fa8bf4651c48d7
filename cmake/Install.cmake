# cmake --install: the program and its downloader tool side by side in <libdir>/brenlow (Brenlow
# looks for do.dll beside itself), a command in <bindir>, a desktop entry, the icons, the AppStream
# metainfo, the manual page, and the changelog and copyright in <datadir>/doc/brenlow. The prefix
# given to cmake --install --prefix is honoured, and so is DESTDIR. scripts/uninstall.sh removes
# what these rules put under a prefix.
include(GNUInstallDirs)

# Maintainer and Homepage are the project's own addresses; whoever publishes the package sets them
# to theirs: cmake -DBRENLOW_MAINTAINER="Name <address>" -DBRENLOW_HOMEPAGE=https://... build
set(BRENLOW_MAINTAINER "Brenlow developers <maintainers@brenlow.example>" CACHE STRING
    "Maintainer of the Debian package (name <address>)")
set(BRENLOW_HOMEPAGE "https://brenlow.example/" CACHE STRING "Home page named by the package")

install(TARGETS brenlow brenlow_tool RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/brenlow)

# The icon in each size drawn for it (scripts/make_app_icon.py), and scalable.
foreach(size 16 32 48 64 128)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/app/aaa-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME brenlow.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/brenlow.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/brenlow.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

configure_file(${PROJECT_SOURCE_DIR}/resources/brenlow.metainfo.xml
               ${CMAKE_BINARY_DIR}/resources/com.example.Brenlow.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/resources/com.example.Brenlow.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(brenlow_docdir ${CMAKE_INSTALL_DATADIR}/doc/brenlow)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/copyright.in ${CMAKE_BINARY_DIR}/resources/copyright
               @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in ${CMAKE_BINARY_DIR}/resources/changelog
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/resources/copyright DESTINATION ${brenlow_docdir})

# The manual page and the changelog are installed compressed; -n keeps the archives free of a
# time stamp.
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
    set(brenlow_man ${CMAKE_BINARY_DIR}/resources/brenlow.1.gz)
    set(brenlow_changelog ${CMAKE_BINARY_DIR}/resources/changelog.gz)
    add_custom_command(OUTPUT ${brenlow_man}
        COMMAND ${GZIP_PROGRAM} -n -9 -c ${PROJECT_SOURCE_DIR}/resources/brenlow.1 > ${brenlow_man}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/brenlow.1 VERBATIM)
    add_custom_command(OUTPUT ${brenlow_changelog}
        COMMAND ${GZIP_PROGRAM} -n -9 -c ${CMAKE_BINARY_DIR}/resources/changelog > ${brenlow_changelog}
        DEPENDS ${CMAKE_BINARY_DIR}/resources/changelog VERBATIM)
    add_custom_target(brenlow_manpage ALL DEPENDS ${brenlow_man} ${brenlow_changelog})
    install(FILES ${brenlow_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${brenlow_changelog} DESTINATION ${brenlow_docdir})
else()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/brenlow.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_BINARY_DIR}/resources/changelog DESTINATION ${brenlow_docdir})
endif()

# <bindir>/brenlow is a relative link, so the installed tree can be moved as a whole; the desktop
# entry names the command by its full path under the prefix in use. Both join the manifest.
install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    set(bindir \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
    file(RELATIVE_PATH target \"\${bindir}\" \"\${prefix}/${CMAKE_INSTALL_LIBDIR}/brenlow/brenlow\")
    set(link \"\$ENV{DESTDIR}\${bindir}/brenlow\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${bindir}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"\${target}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link} -> \${target}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")

    file(READ \"${PROJECT_SOURCE_DIR}/resources/brenlow.desktop.in\" entry)
    string(REPLACE \"@BRENLOW_LAUNCHER@\" \"\${bindir}/brenlow\" entry \"\${entry}\")
    set(desktop \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/brenlow.desktop\")
    file(WRITE \"\${desktop}\" \"\${entry}\")
    message(STATUS \"Installing: \${desktop}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${desktop}\")
")
