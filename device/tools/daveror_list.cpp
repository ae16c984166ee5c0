// daveror-list: the cards of this machine as the console and the ASIO driver
// find them, with their names and channel counts.
#include <cstdio>

#include "daveror_list.h"

int main()
{
    CDaverorList list;
    if (list.GetCount() == 0) {
        std::printf("No Zavo hardware found!\n");
        return 1;
    }
    for (DWORD n = 0; CDaveror* card = list.GetCard(n); ++n) {
        const CapabilitiesRecord& caps = card->Caps();
        std::printf("%u: %s (family 0x%x)\n", n, card->GetCardName(), caps.Family);
        std::printf("   %u output pipes, %u input pipes, %u output busses, %u input busses\n", caps.OutputPipes,
                    caps.InputPipes, caps.OutputBusses, caps.InputBusses);
        std::printf("   %s\n", card->GetPath());
    }
    return 0;
}
