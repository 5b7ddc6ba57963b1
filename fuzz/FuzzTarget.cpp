#include "FuzzReaders.h"

#include <cstdlib>

// One libFuzzer target per reader: POLYPORT_FUZZ_KEY names the one this
// build feeds. A broken promise aborts, which libFuzzer reports like a crash
// and keeps the input of.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!FeedReader(POLYPORT_FUZZ_KEY, {data, size}, FuzzScratchFolder())) {
        std::abort();
    }
    return 0;
}
