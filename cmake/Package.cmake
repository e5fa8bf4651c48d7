# cpack -G DEB: brenlow_<version>_<arch>.deb with what cmake --install puts under /usr. The desktop
# entry names /usr/bin/brenlow, so the tree is staged with DESTDIR under the final prefix.
# Maintainer and Homepage: BRENLOW_MAINTAINER and BRENLOW_HOMEPAGE (Install.cmake).

set(CPACK_PACKAGE_NAME brenlow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brenlow")
set(CPACK_PACKAGE_CONTACT "${BRENLOW_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BRENLOW_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "download manager for online videos")
# Lines of the long description stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Brenlow lists the formats, thumbnail and name of each video link you add\n\
and downloads the list one video after the other, with live progress,\n\
Cancel and Delete. All network work is done by the downloader tool beside\n\
the program, which uses yt-dlp and ffmpeg for video sites.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# Strip leaves the .comment and .note sections, which no program needs.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStrip.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BRENLOW_HOMEPAGE}")
find_program(DPKG_PROGRAM dpkg)
if(DPKG_PROGRAM)
    execute_process(COMMAND ${DPKG_PROGRAM} --print-architecture
                    OUTPUT_VARIABLE brenlow_deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(NOT brenlow_deb_arch)
    set(brenlow_deb_arch amd64)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${brenlow_deb_arch})
set(CPACK_DEBIAN_FILE_NAME "brenlow_${PROJECT_VERSION}_${brenlow_deb_arch}.deb")
# The libraries the programs link come from dpkg-shlibdeps where it is installed (dpkg-dev);
# libqt6gui6 brings the X11 (xcb) platform plugin with it. The bundled tool runs yt-dlp and
# ffmpeg, and the design's fonts come from fonts-wine: no link dependency names those.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "yt-dlp, ffmpeg, fonts-wine")
# Without xdg-utils a click on a link opens no browser; qt6-wayland gives a native Wayland window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS
           "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6dbus6 (>= 6.4), ")
endif()

include(CPack)
