#include "filters/FilterTraits.h"

#include <algorithm>

std::vector<std::string_view> FilterExtensions(const FilterTraits& traits) {
    // The patterns stand between the first and the second "|".
    const std::string_view filter = traits.fileFilter;
    const std::size_t start = filter.find('|') + 1;
    const std::string_view patterns = filter.substr(start, filter.find('|', start) - start);
    std::vector<std::string_view> extensions;
    for (std::size_t at = 0; at < patterns.size();) {
        const std::size_t end = std::min(patterns.find(';', at), patterns.size());
        const std::string_view pattern = patterns.substr(at, end - at);
        if (pattern.starts_with("*.")) {
            extensions.push_back(pattern.substr(1));
        }
        at = end + 1;
    }
    return extensions;
}
