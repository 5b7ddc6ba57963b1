#include "app/FileDialogFilter.h"

#include <gtest/gtest.h>

namespace {

// A description's own "(*.txt, *.asc)" would give Qt the pattern "*.txt,";
// a pattern without its description, or none at all, gives no filter.
TEST(FileDialogFilter, TranslatesToQtNameFilters) {
    const std::pair<const char*, QStringList> cases[] = {
        {"ASCII files (*.txt, *.asc)|*.txt;*.asc|All files|*.*||",
         {"ASCII files (*.txt *.asc)", "All files (*)"}},
        {"Odd| *.a ; ;*.b |Unclosed|*.x", {"Odd (*.a *.b)", "Unclosed (*.x)"}},
        {"Dangling description", {}},
    };
    for (const auto& [list, expected] : cases) {
        EXPECT_EQ(ToQtNameFilters(list), expected) << list;
    }
}

} // namespace
