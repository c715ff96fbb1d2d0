#include "ui/widgets/UIItemSequence.h"

long long floorDiv(long long a, long long b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

long long ceilDiv(long long a, long long b)
{
    return -floorDiv(-a, b);
}
