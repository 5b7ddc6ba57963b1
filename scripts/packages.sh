# The Debian packages each script needs; sourced by ./run, ./test,
# scripts/*-windows.sh and scripts/package.sh.
# qt6-base-dev: the window (it brings the offscreen platform the tests use).
# zlib1g-dev: RefPack archives aside, PNG files are zlib streams.
BUILD_PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev qt6-base-dev zlib1g-dev)
# dpkg-dev (dpkg-shlibdeps) and file: CPack lists the Debian package's
# dependencies from the libraries its programs link. A build configured
# without them lists the dependencies it was told.
PACKAGE_PACKAGES=(dpkg-dev file)
# locales: the test under a comma decimal point generates de_DE.UTF-8.
# nodejs, npm: an outside reader checks the exported Lightwave files.
# clang, libclang-rt-14-dev: the fuzz targets (libFuzzer and the sanitizers).
# imagemagick: an outside reader of the PNG files we write.
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" libgtest-dev locales nodejs npm clang libclang-rt-14-dev imagemagick)
# The Windows build: the mingw-w64 cross compiler (posix threads) and zlib
# for it; CLI11 and nlohmann-json are the host's header packages.
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libcli11-dev nlohmann-json3-dev)
# Wine runs the Windows tool's tests.
WINE_PACKAGES=(wine64 wine)
