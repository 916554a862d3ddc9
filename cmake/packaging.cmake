# Debian packages through CPack: "duplane" (the window and duplane-cli, with the
# desktop files) and "duplane-remote" (the Remote Module alone, without Qt), so
# the Remote PC needs no desktop libraries. Runtime dependencies come from
# dpkg-shlibdeps, so they follow whatever Qt and GLib the build linked. The
# long descriptions are written without the leading space of debian/control:
# CPack adds it.
#   cpack --config <build>/CPackConfig.cmake
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME duplane)
set(CPACK_PACKAGE_VENDOR Talveri)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(DUPLANE_MAINTAINER "Talveri <duplane@talveri.fi>" CACHE STRING "Maintainer of the Debian packages")
set(CPACK_PACKAGE_CONTACT ${DUPLANE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL window remote)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SOURCE duplane)

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME duplane)
set(CPACK_DEBIAN_WINDOW_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_WINDOW_DESCRIPTION
    "manage the files of two PCs joined by a parallel cable
Duplane joins two PCs by a parallel-port nibble cable and manages the files
of both from one window: copy or move whole directory trees either way, each
file checked with a CRC after it crossed; delete, rename and create
directories on either PC.
.
duplane-cli does the same transfers from the command line, for scripts and
long unattended runs.
.
The other PC runs the Remote Module from the package duplane-remote.")
set(CPACK_DEBIAN_WINDOW_PACKAGE_SUGGESTS duplane-remote)

set(CPACK_DEBIAN_REMOTE_PACKAGE_NAME duplane-remote)
set(CPACK_DEBIAN_REMOTE_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_REMOTE_DESCRIPTION
    "serve this PC's folders to Duplane over a parallel cable
The Remote Module of Duplane: a program without a window that answers the
Duplane window or duplane-cli on the other end of a parallel-port nibble
cable, and serves only the folders it is given.")

include(CPack)
