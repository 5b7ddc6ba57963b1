# The Debian packages each script needs; sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" libgtest-dev)
