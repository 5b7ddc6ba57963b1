#include "filters/FilterDialogs.h"

namespace {

class CNoFilterDialogs final : public CFilterDialogs {
public:
    bool EditAsciiSettings(AsciiSettingsFields&) override { return false; }
};

} // namespace

CFilterDialogs& CFilterDialogs::None() {
    static CNoFilterDialogs none;
    return none;
}
