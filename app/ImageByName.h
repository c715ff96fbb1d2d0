#pragma once

#include "foundation/String.h"
#include "graphics/Bitmap.h"

// The PNG "images/<name>.png" of the data pack "data"; a null Bitmap when
// the pack or the file is missing or the file does not decode.
Bitmap imageByName(const String& name);
