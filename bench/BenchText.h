#pragma once

// The sample text the text benchmarks share.

#include "foundation/String.h"

namespace bench {

// Lines of 59 characters and a line feed, words of varied length.
inline String linesOf(int characters)
{
    const String line(L"lorem ipsum dolor sit amet, consectetur adipiscing elit sed\n");
    String text;
    text.reserve(characters + line.length());
    while (text.length() < characters)
        text.append(line);
    return text;
}

} // namespace bench
