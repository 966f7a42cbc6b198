#include "ui/base/UIAssert.h"

#include <stdio.h>
#include <stdlib.h>

namespace ui {

void AssertionFailed(const char* condition, const char* file, int line)
{
    fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    fflush(stderr);
    abort();
}

} // namespace ui
