// The driver's two process-wide lists. The card list is read from the
// registry at attach; the device list is built from it at the first
// capabilities or open request, after the cards whose capabilities cannot be
// read are dropped. Both live until detach.
#pragma once

#include <windows.h>

#include "device_list.h"

// Attach: the card list, absent when memory ran out while it was read.
void CreateDriverLists();
// Detach: the device list with every open stream, then the card list.
void FreeDriverLists();

// Builds the device list once; a build that ran out of memory is tried again by the next call.
void BuildDeviceList();
// The device list; null until built.
CDeviceList* DeviceList();
// The devices of `direction` in the card list as it stands: before the device
// list is built this counts cards that the build will drop.
DWORD CountCardDevices(DWORD direction);
