#include "tools/ToolDialogs.h"

namespace {

class CNoToolDialogs final : public CToolDialogs {
public:
    bool SelectImages(CImageSelection&, const CFshFile&) override { return false; }
};

} // namespace

CToolDialogs& CToolDialogs::None() {
    static CNoToolDialogs none;
    return none;
}
