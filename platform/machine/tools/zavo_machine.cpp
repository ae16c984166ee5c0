// zavo-machine: which cards the simulated computer has. Lists the card
// presets and the installed cards, adds a card or removes one, so that the
// console and the drivers can be run against other hardware.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "machine/machine.h"
#include "machine/profile.h"
#include "win32/machine_dir.h"

namespace {

constexpr char kUsage[] =
    "usage: zavo-machine presets\n"
    "       zavo-machine list\n"
    "       zavo-machine add PRESET [--instance ID] [--name NAME] [--absent]\n"
    "       zavo-machine remove INSTANCE\n"
    "The machine lives in $ZAVO_MACHINE, else ~/.local/state/zavo-machine.\n";

int Usage(const char* why)
{
    if (why != nullptr) std::fprintf(stderr, "zavo-machine: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

int Failure(const std::string& why)
{
    std::fprintf(stderr, "zavo-machine: %s; nothing was changed\n", why.c_str());
    return 1;
}

void PrintCard(const machine::CardConfig& card)
{
    std::printf("%-18s %-16s family 0x%-4X %-8s \"%s\"\n", card.instance.c_str(), card.preset.c_str(),
                static_cast<unsigned>(card.family), card.present ? "present" : "absent", card.name.c_str());
}

int Presets()
{
    for (const std::string& name : machine::PresetNames()) {
        const machine::CardConfig card = machine::MakePreset(name);
        std::printf("%-16s family 0x%-4X %2u/%-2u pipes  %s%s\n", name.c_str(), static_cast<unsigned>(card.family),
                    static_cast<unsigned>(card.outputPipes), static_cast<unsigned>(card.inputPipes),
                    card.name.c_str(), card.present ? "" : " (absent)");
    }
    return 0;
}

int List()
{
    const auto machine = machine::CurrentMachine();
    std::printf("machine %s\n", machine->Directory().string().c_str());
    for (std::size_t i = 0; i < machine->CardCount(); ++i) PrintCard(machine->Config(i));
    if (machine->CardCount() == 0) std::printf("no cards\n");
    if (!machine->Problems().empty()) {
        std::fprintf(stderr, "zavo-machine: %s\n", machine->Problems().c_str());
        return 1;
    }
    return 0;
}

int Add(const std::vector<std::string_view>& args)
{
    if (args.empty()) return Usage("add needs a preset");
    std::string instance, name;
    bool absent = false, named = false, instanced = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--absent") {
            absent = true;
        } else if ((args[i] == "--instance" || args[i] == "--name") && i + 1 < args.size()) {
            (args[i] == "--instance" ? instance : name) = args[i + 1];
            named = named || args[i] == "--name";
            instanced = instanced || args[i] == "--instance";
            ++i;
        } else {
            return Usage(("unexpected argument \"" + std::string(args[i]) + "\"").c_str());
        }
    }
    try {
        if (!instanced) {
            std::vector<machine::CardConfig> installed;
            const auto machine = machine::CurrentMachine();
            for (std::size_t i = 0; i < machine->CardCount(); ++i) installed.push_back(machine->Config(i));
            instance = machine::FreeInstance(installed);
        }
        machine::CardConfig card = machine::MakePreset(std::string(args[0]), instance);
        card.instance = instance;  // as given: an empty one is refused, not made the preset's own
        if (named) card.name = name;
        if (absent) card.present = false;
        machine::InstallCard(card);
        std::printf("added ");
        PrintCard(card);
        return 0;
    } catch (const std::exception& error) {
        return Failure(error.what());
    }
}

int Remove(const std::vector<std::string_view>& args)
{
    if (args.size() != 1) return Usage("remove needs one instance");
    try {
        const machine::CardConfig card = machine::UninstallCard(args[0]);
        std::printf("removed ");
        PrintCard(card);
        return 0;
    } catch (const std::exception& error) {
        return Failure(error.what());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage(nullptr);
    const std::string_view command = argv[1];
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    if (command == "presets" && args.empty()) return Presets();
    if (command == "list" && args.empty()) return List();
    if (command == "add") return Add(args);
    if (command == "remove") return Remove(args);
    if (command == "help" || command == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Usage(("unknown command \"" + std::string(command) + "\"").c_str());
}
