// Adds to the record list of win32/thread_records.h.
#pragma once

#include "win32/thread_records.h"

namespace win32 {

void RecordTerminatedThread(TerminatedThread record);

}  // namespace win32
