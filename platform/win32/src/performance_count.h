// The performance counter as the layer reads it for itself: the same
// strictly increasing counter, never taking a test's fixed reading.
#pragma once

#include "win32/types.h"

namespace win32 {

LONGLONG ReadPerformanceCount();

}  // namespace win32
