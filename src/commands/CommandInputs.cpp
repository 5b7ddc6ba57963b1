#include "commands/CommandInputs.h"

#include "filters/NumberText.h"

namespace {

float FieldValue(const std::string& text) {
    return static_cast<float>(ParseDouble(text.c_str()));
}

} // namespace

std::array<float, 3> CommandInputs::Vector() const {
    return {FieldValue(x), FieldValue(y), FieldValue(z)};
}

float CommandInputs::Shade() const {
    return FieldValue(shade);
}
