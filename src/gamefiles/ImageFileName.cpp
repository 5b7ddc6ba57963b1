#include "gamefiles/ImageFileName.h"

std::string SafeFileNamePart(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_';
        c = kept ? c : '_';
    }
    return safe;
}
