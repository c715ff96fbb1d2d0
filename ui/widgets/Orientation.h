#pragma once

// The axis of a range control, a scroll bar or a splitter.
enum class Orientation : int {
    Horizontal = 0,
    Vertical = 1,
};
