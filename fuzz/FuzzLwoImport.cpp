#include "FuzzFile.h"
#include "filters/LightwaveFilter.h"
#include "gamefiles/RavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CRavFile rav; // empty: the chunk walk is what is fuzzed
    CLightwaveFilter filter;
    filter.SetOutput([](const char*, int) {});
    (void)filter.Import(WriteFuzzFile("lwo", data, size), &rav);
    return 0;
}
