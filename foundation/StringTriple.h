#pragma once

#include "foundation/String.h"

// Three texts kept together, such as the context, source and translation
// of a translated text. Members are destroyed in reverse order: third,
// second, first.
struct StringTriple {
    String first;
    String second;
    String third;
};
