// The table of a card's overridable fields. Counts and rates are decimal,
// masks, flags and versions hexadecimal; lists are comma-separated.
#include "profile/profile_fields.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <type_traits>
#include <vector>

namespace machine::profile {
namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A decimal number, or a hexadecimal one with 0x.
bool ParseUnsigned(std::string_view text, unsigned long long maximum, unsigned long long& value)
{
    text = Trim(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size() && value <= maximum;
}

std::string Hex(unsigned long long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::vector<std::string_view> SplitList(std::string_view text)
{
    std::vector<std::string_view> items;
    text = Trim(text);
    if (text.empty()) return items;
    for (;;) {
        const auto comma = text.find(',');
        items.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return items;
}

template <auto Member>
using MemberType = std::remove_cvref_t<decltype(std::declval<CardConfig&>().*Member)>;

template <auto Member>
std::string FormatDecimal(const CardConfig& card)
{
    return std::to_string(card.*Member);
}

template <auto Member>
std::string FormatHex(const CardConfig& card)
{
    return Hex(card.*Member);
}

template <auto Member>
std::string ParseNumber(std::string_view text, CardConfig& card)
{
    using T = MemberType<Member>;
    unsigned long long value = 0;
    if (!ParseUnsigned(text, std::numeric_limits<T>::max(), value))
        return "expected a number from 0 to " + std::to_string(std::numeric_limits<T>::max());
    card.*Member = static_cast<T>(value);
    return {};
}

template <auto Member>
std::string FormatBool(const CardConfig& card)
{
    return card.*Member ? "yes" : "no";
}

template <auto Member>
std::string ParseBool(std::string_view text, CardConfig& card)
{
    text = Trim(text);
    if (text == "yes") card.*Member = true;
    else if (text == "no") card.*Member = false;
    else return "expected yes or no";
    return {};
}

template <auto Member>
std::string FormatTextField(const CardConfig& card)
{
    return QuoteText(card.*Member);
}

template <auto Member>
std::string ParseTextField(std::string_view text, CardConfig& card)
{
    std::string value;
    if (!UnquoteText(text, value)) return "malformed quoted text";
    card.*Member = std::move(value);
    return {};
}

// Fixed arrays: trailing zero entries are left out, missing ones read as zero.
template <auto Member>
std::string FormatHexArray(const CardConfig& card)
{
    const auto& values = card.*Member;
    std::size_t used = values.size();
    while (used > 0 && values[used - 1] == 0) --used;
    std::string text;
    for (std::size_t i = 0; i < used; ++i) text += (i ? ", " : "") + Hex(values[i]);
    return text;
}

template <auto Member>
std::string ParseHexArray(std::string_view text, CardConfig& card)
{
    auto& values = card.*Member;
    using T = typename std::remove_cvref_t<decltype(values)>::value_type;
    const auto items = SplitList(text);
    if (items.size() > values.size()) return "at most " + std::to_string(values.size()) + " values";
    std::remove_cvref_t<decltype(values)> parsed{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        unsigned long long value = 0;
        if (!ParseUnsigned(items[i], std::numeric_limits<T>::max(), value))
            return "bad value \"" + std::string(items[i]) + "\"";
        parsed[i] = static_cast<T>(value);
    }
    values = parsed;
    return {};
}

std::string FormatRates(const CardConfig& card)
{
    std::string text;
    for (std::size_t i = 0; i < card.sampleRates.size(); ++i)
        text += (i ? ", " : "") + std::to_string(card.sampleRates[i]);
    return text;
}

std::string ParseRates(std::string_view text, CardConfig& card)
{
    std::vector<std::uint32_t> rates;
    for (const auto item : SplitList(text)) {
        unsigned long long value = 0;
        if (!ParseUnsigned(item, std::numeric_limits<std::uint32_t>::max(), value) || value == 0)
            return "bad sample rate \"" + std::string(item) + "\"";
        rates.push_back(static_cast<std::uint32_t>(value));
    }
    card.sampleRates = std::move(rates);
    return {};
}

constexpr Field kFields[] = {
    {"name", FormatTextField<&CardConfig::name>, ParseTextField<&CardConfig::name>},
    {"present", FormatBool<&CardConfig::present>, ParseBool<&CardConfig::present>},
    {"family", FormatHex<&CardConfig::family>, ParseNumber<&CardConfig::family>},
    {"clock-mask", FormatHex<&CardConfig::clockMask>, ParseNumber<&CardConfig::clockMask>},
    {"driver-error-text", FormatTextField<&CardConfig::driverErrorText>,
     ParseTextField<&CardConfig::driverErrorText>},
    {"digital-mode-switch", FormatBool<&CardConfig::digitalModeSwitch>, ParseBool<&CardConfig::digitalModeSwitch>},
    {"virtual-outputs", FormatBool<&CardConfig::virtualOutputs>, ParseBool<&CardConfig::virtualOutputs>},
    {"output-pipes", FormatDecimal<&CardConfig::outputPipes>, ParseNumber<&CardConfig::outputPipes>},
    {"input-pipes", FormatDecimal<&CardConfig::inputPipes>, ParseNumber<&CardConfig::inputPipes>},
    {"output-busses", FormatDecimal<&CardConfig::outputBusses>, ParseNumber<&CardConfig::outputBusses>},
    {"input-busses", FormatDecimal<&CardConfig::inputBusses>, ParseNumber<&CardConfig::inputBusses>},
    {"analog-output-busses", FormatDecimal<&CardConfig::analogOutputBusses>,
     ParseNumber<&CardConfig::analogOutputBusses>},
    {"analog-input-busses", FormatDecimal<&CardConfig::analogInputBusses>,
     ParseNumber<&CardConfig::analogInputBusses>},
    {"analog-output-pipes", FormatDecimal<&CardConfig::analogOutputPipes>,
     ParseNumber<&CardConfig::analogOutputPipes>},
    {"analog-input-pipes", FormatDecimal<&CardConfig::analogInputPipes>, ParseNumber<&CardConfig::analogInputPipes>},
    {"output-pipe-flags", FormatHexArray<&CardConfig::outputPipeFlags>, ParseHexArray<&CardConfig::outputPipeFlags>},
    {"output-bus-flags", FormatHexArray<&CardConfig::outputBusFlags>, ParseHexArray<&CardConfig::outputBusFlags>},
    {"input-flags", FormatHexArray<&CardConfig::inputFlags>, ParseHexArray<&CardConfig::inputFlags>},
    {"driver-version", FormatHex<&CardConfig::driverVersion>, ParseNumber<&CardConfig::driverVersion>},
    {"box-type", FormatHexArray<&CardConfig::boxType>, ParseHexArray<&CardConfig::boxType>},
    {"capability-flags", FormatHex<&CardConfig::capabilityFlags>, ParseNumber<&CardConfig::capabilityFlags>},
    {"sample-rates", FormatRates, ParseRates},
    {"pipe-latency", FormatDecimal<&CardConfig::pipeLatency>, ParseNumber<&CardConfig::pipeLatency>},
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::span<const Field> Fields() { return kFields; }

std::string QuoteText(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

bool UnquoteText(std::string_view text, std::string& out)
{
    text = Trim(text);
    out.clear();
    if (text.empty() || text.front() != '"') {
        out = text;  // a bare value, as a person may write it
        return true;
    }
    if (text.size() < 2 || text.back() != '"') return false;
    text = text.substr(1, text.size() - 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= text.size()) return false;
            const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

}  // namespace machine::profile
