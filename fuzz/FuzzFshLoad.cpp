#include "FuzzFile.h"
#include "gamefiles/FshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFshFile fsh;
    fsh.SetOutput([](const char*, int) {});
    (void)fsh.Load(WriteFuzzFile("fsh", data, size), 1);
    return 0;
}
