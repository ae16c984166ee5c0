// The wave driver's card list, read from the registry.
#pragma once

#include "daveror_list.h"

// Every linked interface of the card driver's class whose key names one of
// our models, as a card carrying the interface's wave-device configuration.
// The interface found last is card 0. Null when memory runs out.
CDaverorList* ReadCardList();
