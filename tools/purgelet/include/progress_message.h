// ProgressMessage: one progress text of the cleanup ("Removing <name>\n"),
// posted to the listener the cleanup was given. The message owns its text,
// so a message that is never delivered frees it too.
#pragma once

#include <utility>

#include <juce_events/juce_events.h>

class ProgressMessage : public juce::Message {
public:
    // The first integer of every progress message: 'smsg'.
    static constexpr int kind = 0x736D7367;

    explicit ProgressMessage(juce::String messageText) : text(std::move(messageText)) {}

    const int intParameter1 = kind;
    const juce::String text;
};
