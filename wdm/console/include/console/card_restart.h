// Bringing a changed wave-device configuration into effect: whether another
// program uses the card, restarting the card driver in place, and whether
// two configurations differ at all.
#pragma once

#include <string>

#include "daveror.h"

class TConsoleForm;

// Another program holds the card's transport or one of its pipe pairs. Asked
// of a card object of its own on the same interface, so that a refusal
// touches nothing of `card`.
bool IsCardInUse(const CDaveror& card);

// Restarts the card driver, shows `inUseMessage` when it would not restart,
// reopens the card and its mixer in every case and rebinds the window to
// them. True when the card restarted with its configuration in effect; after
// a restart that left it pending, `lateMessage` and false.
bool RestartCard(TConsoleForm& window, CDaveror& card, const std::string& inUseMessage,
                 const std::string& lateMessage);

// The same devices: counts and the entries within them; the flags are not compared.
bool SameWaveConfig(const WaveConfigRecord& a, const WaveConfigRecord& b);
