#pragma once

// Runs one check per row of a table, each under a trace that names the
// row's index, so a failure says which row broke.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

template <typename Rows, typename Check>
void forEachRow(const Rows& rows, Check check)
{
    std::size_t index = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(index++));
        check(row);
    }
}
