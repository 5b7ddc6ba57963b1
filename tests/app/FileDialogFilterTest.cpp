#include "app/FileDialogFilter.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* list;
    QStringList expected;
};

// Names the case by its list in test listings (ctest shows this text).
void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << '"' << c.list << '"';
}

class FileDialogFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FileDialogFilterTest, Translates) {
    EXPECT_EQ(ToQtNameFilters(GetParam().list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, FileDialogFilterTest,
    testing::Values(FilterCase{"EA RAV files (*.rav)|*.rav|All files|*.*||",
                               {"EA RAV files (*.rav)", "All files (*)"}},
                    // The description's own "(*.txt, *.asc)" would give Qt the pattern "*.txt,".
                    FilterCase{"ASCII files (*.txt, *.asc)|*.txt;*.asc|All files|*.*||",
                               {"ASCII files (*.txt *.asc)", "All files (*)"}},
                    FilterCase{"Lightwave (*.lwo)|*.lwo|", {"Lightwave (*.lwo)"}},
                    FilterCase{"Odd| *.a ; ;*.b |Empty||", {"Odd (*.a *.b)", "Empty (*)"}},
                    FilterCase{"Unclosed|*.x", {"Unclosed (*.x)"}},
                    FilterCase{"Dangling description", {}}, FilterCase{"||", {}},
                    FilterCase{"", {}}));

} // namespace
