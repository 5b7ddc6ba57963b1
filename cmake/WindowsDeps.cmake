# The header-only libraries of the cross build (CLI11, nlohmann-json), taken
# from the host's Debian packages without putting the host's /usr/include on
# the include path, where glibc's headers would shadow the Windows ones.
# Their headers and CMake package files are copied into <build>/deps, laid
# out as a prefix; the package files find their headers relative to
# themselves, so the copies point at the copied headers.
set(POLYPORT_WINDOWS_DEPS "${CMAKE_BINARY_DIR}/deps")
foreach(dir IN ITEMS include/CLI include/nlohmann share/cmake/CLI11 share/cmake/nlohmann_json)
    if(NOT EXISTS "/usr/${dir}")
        message(FATAL_ERROR "/usr/${dir} is missing: apt-get install libcli11-dev nlohmann-json3-dev")
    endif()
    get_filename_component(parent "${POLYPORT_WINDOWS_DEPS}/${dir}" DIRECTORY)
    file(COPY "/usr/${dir}" DESTINATION "${parent}")
endforeach()
list(APPEND CMAKE_FIND_ROOT_PATH "${POLYPORT_WINDOWS_DEPS}")
