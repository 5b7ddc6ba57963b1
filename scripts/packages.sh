# The Debian packages each script needs; sourced by ./run and ./test.
# qt6-base-dev: the window (it brings the offscreen platform the tests use).
BUILD_PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev qt6-base-dev)
# locales: the test under a comma decimal point generates de_DE.UTF-8.
# nodejs, npm: an outside reader checks the exported Lightwave files.
# clang, libclang-rt-14-dev: the fuzz targets (libFuzzer and the sanitizers).
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" libgtest-dev locales nodejs npm clang libclang-rt-14-dev)
