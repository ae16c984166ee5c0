#include "console/start_up.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <new>

#include <vcl.h>

#include "console/console_form.h"
#include "console/console_units.h"
#include "controls/knob.h"
#include "controls/probe.h"
#include "controls/slide_bar.h"
#include "daveror_list.h"

const std::string ErrorCaption = "Korvane3 Error";
std::string ProgramDir;
OSVERSIONINFOA PlatformVersion = {};

namespace {

constexpr ConsoleUnit ConsoleUnits[] = {ConsoleUnit::Fader, ConsoleUnit::FaderReadout, ConsoleUnit::Mute,
                                        ConsoleUnit::Pan,   ConsoleUnit::Nominal,      ConsoleUnit::InputTrim,
                                        ConsoleUnit::BusSelect};

// The boxes before the window exists: no owner, OK only.
void ShowPlainBox(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

// The card whose name is `name` exactly, from the head of the list on.
CDaveror* FindCard(const CDaverorList& list, const std::string& name)
{
    for (DWORD n = 0; CDaveror* card = list.GetCard(n); ++n)
        if (std::strcmp(card->GetCardName(), name.c_str()) == 0) return card;
    return nullptr;
}

}  // namespace

void StartConsoleUnits(TProcessorProbe& cpu)
{
    // The slider's unit before the probe's, as they are linked.
    SlideBarUnitStartup();
    SlideBarUnitCounter(1).Startup();
    SlideBarUnitCounter(2).Startup();
    ProbeUnitStartup(cpu);
    KnobUnitStartup();
    for (ConsoleUnit unit : ConsoleUnits)
        UnitCounter(unit).Startup();
}

void StopConsoleUnits()
{
    for (auto unit = std::rbegin(ConsoleUnits); unit != std::rend(ConsoleUnits); ++unit)
        UnitCounter(*unit).Shutdown();
    KnobUnitShutdown();
    ProbeUnitShutdown();
    SlideBarUnitCounter(2).Shutdown();
    SlideBarUnitCounter(1).Shutdown();
    SlideBarUnitShutdown();
}

void InitProgramDir()
{
    std::string dir = ParamStr(0);
    const std::size_t separator = dir.find_last_of("/\\");
    dir.erase(separator == std::string::npos ? 0 : separator + 1);
    if (!dir.empty() && dir.front() == '"') dir.erase(0, 1);
    char buffer[MAX_PATH] = {};
    ProgramDir.clear();
    if (dir.size() >= sizeof buffer) return;  // no room for it, nor for its short form
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    const DWORD length = GetShortPathNameA(buffer, buffer, sizeof buffer);
    if (length != 0 && length <= sizeof buffer) ProgramDir = buffer;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::unique_ptr<CDaverorList> list;
    try {
        list = std::make_unique<CDaverorList>();
    } catch (...) {
        ShowPlainBox("The console could not create the hardware list.", ErrorCaption.c_str());
        return 0;
    }
    if (list->GetCount() == 0) {
        ShowPlainBox("No Zavo hardware found!", ErrorCaption.c_str());
        return 0;
    }

    PlatformVersion.dwOSVersionInfoSize = sizeof PlatformVersion;
    GetVersionExA(&PlatformVersion);
    InitProgramDir();

    // Texts with a name in them are cut at 1024 characters.
    char text[1024];
    CDaveror* card = list->GetCard(0);  // the card enumerated last
    if (ParamCount() >= 1) {
        const std::string name = ParamStr(1);
        card = FindCard(*list, name);
        if (card == nullptr) {
            wsprintfA(text, "Unable to locate %s", name.c_str());
            ShowPlainBox(text, ErrorCaption.c_str());
            return 0;
        }
    }
    list->KeepOnly(card);

    if (card->Caps().InputClockMask & CLOCK_MASK_DRIVER_ERROR) {
        const char* error = card->GetDriverErrorText();
        wsprintfA(text, "%s driver error:\n\n%s\n\nThe console cannot be displayed.", card->GetCardName(),
                  error != nullptr ? error : "");
        ShowPlainBox(text, "Hardware error");
        return 0;  // the list takes its card with it
    }

    try {
        Application->Initialize();
        TConsoleForm* form = nullptr;
        Application->CreateForm(form);
        // The application never frees its main form: the window goes here,
        // closing the card's mixer and the card, however the run ends.
        const std::unique_ptr<TConsoleForm> window(form);
        Application->SetShowHint(true);
        if (window->SetupCard(card, list.release())) Application->Run();
    } catch (const std::bad_alloc&) {
        Application->MessageBox("The console was not able to allocate enough memory", ErrorCaption, MB_OK);
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
