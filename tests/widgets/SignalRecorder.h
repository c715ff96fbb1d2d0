#pragma once

// Records the emissions of the widget signals a test connects to it.

#include "foundation/Signal.h"

#include <vector>

class SignalRecorder : public SignalReceiver {
public:
    void onValue(int value) { values.push_back(value); }
    void onSignal() { ++count; }

    std::vector<int> values;
    int count = 0;
};
