#include "cleanup_thread.h"

#include "hardware_id_table.h"
#include "progress_message.h"

CleanupThread::CleanupThread(void* context, juce::MessageListener* listener)
    : juce::Thread("cleanup thread"), context(context), listener(listener)
{
    list.clear();
}

void CleanupThread::run()
{
    scan();
    finished = 1;
}

void CleanupThread::scan()
{
    if (!enumerator.isValid()) return;
    for (DWORD index = 0; !threadShouldExit() && enumerator.selectDevice(index); ++index) {
        const char* hardwareId = enumerator.readHardwareId();
        if (hardwareIdTable == nullptr || !hardwareIdTable->matches(hardwareId)) continue;
        if (const char* name = enumerator.readFriendlyName()) {
            // The machine's names are UTF-8, as every A call of the platform.
            juce::String text = "Removing " + juce::String::fromUTF8(name) + "\n";
            if (listener != nullptr) listener->postMessage(new ProgressMessage(std::move(text)));
        }
        enumerator.removeDevice();
    }
}
