// The profile file in the machine directory, and what a card must be to be
// kept in it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "common/text.h"
#include "machine/profile.h"

namespace machine {
namespace {

constexpr std::size_t kMaxInstance = 512;
constexpr std::size_t kMaxName = 127;
constexpr std::size_t kMaxErrorText = 255;

// Characters a device instance id part may hold: printable, and none of the
// separators of instance ids, interface paths and the profile itself.
bool InstanceCharacter(char c)
{
    return c > ' ' && c < 0x7F && c != '\\' && c != '/' && c != '#' && c != '"' && c != '=' && c != ';';
}

std::string CountProblem(const char* what, unsigned value, unsigned maximum)
{
    return value > maximum ? std::string(what) + " " + std::to_string(value) + " is above " + std::to_string(maximum)
                           : std::string();
}

}  // namespace

std::string ValidateCard(const CardConfig& card, const std::vector<CardConfig>& others)
{
    try {
        (void)MakePreset(card.preset);
    } catch (const std::invalid_argument&) {
        return "unknown preset \"" + card.preset + "\"";
    }
    if (card.instance.empty()) return "the instance is empty";
    if (card.instance.size() > kMaxInstance)
        return "the instance is longer than " + std::to_string(kMaxInstance) + " characters";
    for (const char c : card.instance)
        if (!InstanceCharacter(c))
            return "the instance \"" + card.instance + "\" holds a character an instance id cannot";
    if (card.name.size() > kMaxName) return "the name is longer than " + std::to_string(kMaxName) + " characters";
    if (card.driverErrorText.size() > kMaxErrorText)
        return "the driver error text is longer than " + std::to_string(kMaxErrorText) + " characters";
    for (const std::string& why :
         {CountProblem("output-pipes", card.outputPipes, 64), CountProblem("input-pipes", card.inputPipes, 32),
          CountProblem("output-busses", card.outputBusses, 32), CountProblem("input-busses", card.inputBusses, 32),
          CountProblem("analog-output-busses", card.analogOutputBusses, card.outputBusses),
          CountProblem("analog-input-busses", card.analogInputBusses, card.inputBusses),
          CountProblem("analog-output-pipes", card.analogOutputPipes, card.outputPipes),
          CountProblem("analog-input-pipes", card.analogInputPipes, card.inputPipes)})
        if (!why.empty()) return why;
    const std::string path = InterfacePath(card);
    for (const CardConfig& other : others)
        if (SameText(InterfacePath(other), path))
            return "another card already has the instance \"" + other.instance + "\" of this model";
    return {};
}

std::string SlotInstance(std::size_t slot)
{
    char text[32];
    std::snprintf(text, sizeof text, "4&1a2b3c4d&0&%04zX", 0x2010 + 8 * slot);
    return text;
}

std::string FreeInstance(const std::vector<CardConfig>& cards)
{
    for (std::size_t slot = 0;; ++slot) {
        std::string instance = SlotInstance(slot);
        bool used = false;
        for (const CardConfig& card : cards) used = used || SameText(card.instance, instance);
        if (!used) return instance;
    }
}

std::filesystem::path ProfilePath(const std::filesystem::path& machineDirectory)
{
    return machineDirectory / kProfileFileName;
}

std::optional<Profile> LoadProfile(const std::filesystem::path& machineDirectory)
{
    const auto path = ProfilePath(machineDirectory);
    std::error_code missing;
    if (!std::filesystem::exists(path, missing) && !missing) return std::nullopt;
    if (std::filesystem::is_directory(path, missing)) throw ProfileError(path.string() + ": is a directory");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ProfileError(path.string() + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw ProfileError(path.string() + ": cannot be read");
    try {
        return ParseProfile(text.str());
    } catch (const ProfileError& error) {
        throw ProfileError(path.string() + ", " + error.what());
    }
}

void SaveProfile(const std::filesystem::path& machineDirectory, const Profile& profile)
{
    const auto path = ProfilePath(machineDirectory);
    const auto temporary = path.string() + ".new";
    const std::string text = FormatProfile(profile);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw ProfileError(temporary + ": " + std::strerror(errno));
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            throw ProfileError(temporary + ": " + std::strerror(error));
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = synced ? errno : syncError;
        ::unlink(temporary.c_str());
        throw ProfileError(path.string() + ": " + std::strerror(error));
    }
}

}  // namespace machine
