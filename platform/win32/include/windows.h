// The Win32 subset the system is written against.
#pragma once

#include "win32/commdlg.h"
#include "win32/debug.h"
#include "win32/desktop.h"
#include "win32/dialogs.h"
#include "win32/errors.h"
#include "win32/files.h"
#include "win32/kernel.h"
#include "win32/message_queues.h"
#include "win32/modules.h"
#include "win32/registry.h"
#include "win32/resources.h"
#include "win32/strings.h"
#include "win32/time.h"
#include "win32/types.h"
#include "win32/version_info.h"
#include "win32/window_messages.h"
