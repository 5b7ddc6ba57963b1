cmake_minimum_required(VERSION 3.25)
# Fails when a Windows program imports a DLL that Windows does not ship, such
# as zlib1.dll or libstdc++-6.dll: the .exe would not start on a user's
# machine. Wine ships such DLLs itself, so running it under Wine proves
# nothing.
# cmake -DEXE=prog.exe -DOBJDUMP=x86_64-w64-mingw32-objdump [-DSTAMP=file] -P CheckImports.cmake
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
if(NOT names)
    message(FATAL_ERROR "${EXE}: no imports found; is it a Windows program?")
endif()
set(windows_dlls KERNEL32 MSVCRT UCRTBASE NTDLL USER32 GDI32 SHELL32 ADVAPI32 OLE32 OLEAUT32
    WS2_32 BCRYPT SHLWAPI VERSION)
set(foreign "")
foreach(name IN LISTS names)
    string(REGEX REPLACE "^DLL Name: *" "" dll "${name}")
    string(TOUPPER "${dll}" upper)
    string(REGEX REPLACE "\\.DLL$" "" base "${upper}")
    if(NOT base IN_LIST windows_dlls AND NOT base MATCHES "^API-MS-WIN-")
        list(APPEND foreign "${dll}")
    endif()
endforeach()
if(foreign)
    message(FATAL_ERROR "${EXE} imports ${foreign}, which Windows does not ship: link it statically")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
