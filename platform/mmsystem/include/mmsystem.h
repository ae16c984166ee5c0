// The multimedia wave interface the wave driver and its clients are written against.
#pragma once

#include <windows.h>

#include "mmsystem/driver.h"
#include "mmsystem/wave.h"
