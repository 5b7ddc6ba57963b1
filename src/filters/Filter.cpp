#include "filters/Filter.h"

#include "gamefiles/FileIo.h"
#include "output/Format.h"

#include <new>

bool CFilter::ReadExchangeFile(const std::string& path,
                               const std::function<bool(std::vector<std::uint8_t>&)>& use) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        Output(Format("Error opening %s", path.c_str()), 1);
        return false;
    }
    try {
        std::vector<std::uint8_t> bytes;
        if (!ReadToEnd(file.get(), bytes, 1)) {
            Output(Format("Error reading %s", path.c_str()), 1);
            return false;
        }
        file.reset();
        return use(bytes);
    } catch (const std::bad_alloc&) {
        Output(Format("Not enough memory to read %s", path.c_str()), 1);
        return false;
    }
}

bool CFilter::ReadExchangeStream(const std::string& path,
                                 const std::function<bool(std::FILE*)>& use) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        Output(Format("Error opening %s", path.c_str()), 1);
        return false;
    }
    try {
        const bool used = use(file.get());
        if (std::ferror(file.get()) != 0) {
            Output(Format("Error reading %s", path.c_str()), 1);
            return false;
        }
        return used;
    } catch (const std::bad_alloc&) {
        Output(Format("Not enough memory to read %s", path.c_str()), 1);
        return false;
    }
}
