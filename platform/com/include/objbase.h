// The COM subset the system is written against.
#pragma once

#include <windows.h>

#include "com/apartment.h"
#include "com/com_types.h"
#include "com/guid_text.h"
#include "com/servers.h"
#include "com/task_memory.h"
#include "com/unknown.h"
