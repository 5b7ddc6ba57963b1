#include "FuzzFile.h"
#include "gamefiles/RavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CRavFile rav;
    rav.SetOutput([](const char*, int) {});
    if (rav.Load(WriteFuzzFile("rav", data, size))) {
        (void)rav.Save();
    }
    return 0;
}
