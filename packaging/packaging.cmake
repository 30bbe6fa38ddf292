# Installation and packages
#
#   cmake --install <build> --prefix <prefix>    program, manual pages, desktop entry,
#                                                 AppStream metadata, icons, copyright
#                                                 and changelog
#   cpack -G DEB   (in <build>)                   velorand_<version>_<arch>.deb

include(GNUInstallDirs)

set(_velorand_pkg_dir "${CMAKE_CURRENT_LIST_DIR}")
set(_velorand_out "${CMAKE_BINARY_DIR}/packaging")

set(VELORAND_MAINTAINER "The Velorand developers <developers@velorand.org>"
    CACHE STRING "Maintainer of the Debian package and signer of its changelog")

find_program(VELORAND_GZIP gzip REQUIRED)

# velorand_gzip(SOURCE OUTPUT): compresses SOURCE into OUTPUT during the build,
# with maximum compression and without name or time stamp, so that the result
# is the same on every build.
function(velorand_gzip source output)
    get_filename_component(_dir "${output}" DIRECTORY)
    string(REGEX REPLACE "\\.gz$" "" _plain "${output}")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${_dir}"
        COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${_plain}"
        COMMAND "${VELORAND_GZIP}" -9nf "${_plain}"
        DEPENDS "${source}"
        COMMENT "Compressing ${output}"
        VERBATIM)
endfunction()

# --- Icons ------------------------------------------------------------------
# PNG icons are rendered from the SVG during the build by a small tool that
# uses Qt's SVG renderer, as the program does for its window icon.
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui Svg)
add_executable(velorand_iconrender "${_velorand_pkg_dir}/iconrender.cpp")
target_link_libraries(velorand_iconrender PRIVATE Qt6::Gui Qt6::Svg)

set(_velorand_icon_sizes 16 32 48 256)
set(_velorand_icon_dir "${_velorand_out}/icons")
set(_velorand_icon_args)
set(_velorand_icon_pngs)
foreach(_size IN LISTS _velorand_icon_sizes)
    set(_png "${_velorand_icon_dir}/${_size}x${_size}/apps/${VELORAND_APP_ID}.png")
    list(APPEND _velorand_icon_args ${_size} "${_png}")
    list(APPEND _velorand_icon_pngs "${_png}")
endforeach()

set(_velorand_icon_mkdirs)
foreach(_size IN LISTS _velorand_icon_sizes)
    list(APPEND _velorand_icon_mkdirs
         COMMAND ${CMAKE_COMMAND} -E make_directory "${_velorand_icon_dir}/${_size}x${_size}/apps")
endforeach()

add_custom_command(
    OUTPUT ${_velorand_icon_pngs}
    ${_velorand_icon_mkdirs}
    COMMAND velorand_iconrender "${CMAKE_SOURCE_DIR}/data/velorand.svg" ${_velorand_icon_args}
    DEPENDS velorand_iconrender "${CMAKE_SOURCE_DIR}/data/velorand.svg"
    COMMENT "Rendering the Velorand icon as PNG"
    VERBATIM)
add_custom_target(velorand_icons ALL DEPENDS ${_velorand_icon_pngs})

# --- Changelog and AppStream metadata ----------------------------------------
# Both come from CHANGELOG.md, whose newest release must be PROJECT_VERSION.
include("${_velorand_pkg_dir}/changelog.cmake")
velorand_changelog(FILE "${CMAKE_SOURCE_DIR}/CHANGELOG.md"
                   OUTPUT "${_velorand_out}/changelog"
                   MAINTAINER "${VELORAND_MAINTAINER}"
                   RELEASES_VAR VELORAND_APPSTREAM_RELEASES)
configure_file("${CMAKE_SOURCE_DIR}/data/${VELORAND_APP_ID}.metainfo.xml.in"
               "${_velorand_out}/${VELORAND_APP_ID}.metainfo.xml" @ONLY)
velorand_gzip("${_velorand_out}/changelog" "${_velorand_out}/doc/changelog.gz")

# --- Manual pages -------------------------------------------------------------
# English, and each translation in docs/man/<language>/.
set(_velorand_man_languages de)
set(_velorand_man_pages "${_velorand_out}/man/man1/velorand.1.gz")
velorand_gzip("${CMAKE_SOURCE_DIR}/docs/man/velorand.1" "${_velorand_out}/man/man1/velorand.1.gz")
foreach(_lang IN LISTS _velorand_man_languages)
    velorand_gzip("${CMAKE_SOURCE_DIR}/docs/man/${_lang}/velorand.1"
                  "${_velorand_out}/man/${_lang}/man1/velorand.1.gz")
    list(APPEND _velorand_man_pages "${_velorand_out}/man/${_lang}/man1/velorand.1.gz")
endforeach()
add_custom_target(velorand_docs ALL DEPENDS ${_velorand_man_pages} "${_velorand_out}/doc/changelog.gz")

# --- Installation -----------------------------------------------------------
install(TARGETS velorand RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${_velorand_pkg_dir}/${VELORAND_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${_velorand_out}/${VELORAND_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${CMAKE_SOURCE_DIR}/data/velorand.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME "${VELORAND_APP_ID}.svg")
foreach(_size IN LISTS _velorand_icon_sizes)
    install(FILES "${_velorand_icon_dir}/${_size}x${_size}/apps/${VELORAND_APP_ID}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps")
endforeach()
install(FILES "${_velorand_out}/man/man1/velorand.1.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
foreach(_lang IN LISTS _velorand_man_languages)
    install(FILES "${_velorand_out}/man/${_lang}/man1/velorand.1.gz"
            DESTINATION "${CMAKE_INSTALL_MANDIR}/${_lang}/man1")
endforeach()
# The copyright file is the machine-readable one that also serves reuse.
install(FILES "${CMAKE_SOURCE_DIR}/.reuse/dep5"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}" RENAME copyright)
install(FILES "${_velorand_out}/doc/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# --- Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME "velorand")
set(CPACK_PACKAGE_VENDOR "Velorand")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${VELORAND_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://velorand.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "velorand")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_PROJECT_CONFIG_FILE "${_velorand_pkg_dir}/cpackoptions.cmake")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/[.]git(/|$)" "/build[^/]*/")

set(CPACK_DEBIAN_PACKAGE_NAME "velorand")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELORAND_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Long description; CPack puts the summary above it as the first line.
set(CPACK_PACKAGE_DESCRIPTION
    "Velorand is a desktop game clock for sports tournaments with a German user
interface. It counts down the playing time of a match and its two halves,
shows the remaining time in signal colours and announces the end of each
half and of the game.")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The Qt libraries are found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The clock face falls back to these fonts where Verdana is missing; Qt's own
# German texts (standard dialogs and buttons) come from qt6-translations-l10n.
# The window icon is drawn by Qt's SVG icon engine, a plugin that no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation2, qt6-translations-l10n, libqt6svg6")
# The horn (--hupe) plays through the desktop's sound server; the clock runs without one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")

include(CPack)
