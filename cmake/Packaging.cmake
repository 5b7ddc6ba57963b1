# The Debian package: `cpack --config BUILD/CPackConfig.cmake` after a build
# with the window (scripts/package.sh does that). The Windows zip is put
# together by scripts/package.sh from the cross build.
include(GNUInstallDirs)
install(FILES LICENSE docs/THIRD-PARTY.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/polyport)

if(CMAKE_CROSSCOMPILING OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME polyport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Polyport authors")
set(CPACK_PACKAGE_CONTACT "The Polyport authors <polyport@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Export, import and edit the scenery files of a 2001 football game")
set(CPACK_PACKAGE_DESCRIPTION
    "Polyport reads the game's scenery containers (RAV) and texture archives\n\
(FSH), exports scenery objects to ASCII text, DesignWorkshop and LightWave\n\
files, imports the edited files back by patching the RAV file in place, and\n\
carries tools for the crowd quads and texture pages. It comes as a window\n\
(polyport) and a command-line tool (polyport-cli).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_STRIP_FILES ON)

# dpkg-shlibdeps reads the libraries the programs were linked with, so the
# list follows the build (Qt, zlib, the C++ runtime). Without it the list is
# written out here and may lag behind.
# Looked for at every configure: it may have been installed since.
find_program(POLYPORT_DPKG_SHLIBDEPS dpkg-shlibdeps NO_CACHE)
if(POLYPORT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
    if(POLYPORT_BUILD_GUI)
        string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
            ", libqt6widgets6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2)")
    endif()
endif()

include(CPack)
