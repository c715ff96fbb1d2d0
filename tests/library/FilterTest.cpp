#include "library/Filter.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

TEST(FilterTest, BuiltInFilesFilterIsWrittenAsItsKind)
{
    Filter filter;
    filter.setKind(Filter::Files);
    EXPECT_EQ(filter.toText(), String(L"2"));
    EXPECT_EQ(filter.builtInKind(), Filter::Files);
}
