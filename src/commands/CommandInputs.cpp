#include "commands/CommandInputs.h"

#include "filters/NumberText.h"
#include "output/Format.h"

std::optional<std::array<float, 3>> CommandInputs::Vector(std::string& problem) const {
    std::array<float, 3> vector{};
    const std::pair<const char*, const std::string*> fields[] = {{"X", &x}, {"Y", &y}, {"Z", &z}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& [name, text] = fields[i];
        const std::optional<double> value = ParseWholeNumber(*text);
        if (!value) {
            problem = Format("Error! The %s field holds no number: %s", name, text->c_str());
            return std::nullopt;
        }
        vector[i] = static_cast<float>(*value);
    }
    return vector;
}

float CommandInputs::Shade() const {
    return static_cast<float>(ParseDouble(shade.c_str()));
}
