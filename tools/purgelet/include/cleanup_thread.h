// CleanupThread: the cleanup itself. Its run walks every device node of the
// machine and removes those whose first hardware ID begins with a prefix of
// the program's hardware-ID table. The program calls the run on its own
// main thread; the thread is never started.
#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include "device_enumerator.h"

class CleanupThread : public juce::Thread {
public:
    // `context` is kept as given. With a `listener` every named node the
    // cleanup removes is told to it as a ProgressMessage, beforehand.
    CleanupThread(void* context, juce::MessageListener* listener);

    // The scan, then the finished flag.
    void run() override;

    bool isFinished() const noexcept { return finished != 0; }

private:
    void scan();

    juce::StringArray list;  // emptied here and freed with the thread; nothing else uses it
    void* context;
    juce::MessageListener* listener;
    DeviceEnumerator enumerator;
    int finished = 0;
};
