// What the rest of COM asks of the calling thread's apartment.
#pragma once

namespace com {

// Whether the calling thread has called CoInitialize more often than CoUninitialize.
bool ThreadInitialized();

}  // namespace com
