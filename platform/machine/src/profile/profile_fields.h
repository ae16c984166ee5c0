// The overridable fields of a card in the profile: each with its key, how
// its value is written and how it is read back.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "machine/card_config.h"

namespace machine::profile {

struct Field {
    const char* key;
    std::string (*format)(const CardConfig& card);
    // Sets the field from `text`; returns "" or why the text is no value of this field.
    std::string (*parse)(std::string_view text, CardConfig& card);
};

std::span<const Field> Fields();

// Strings are written quoted, with \" \\ \n \t and \xHH escapes, so that any
// text (leading blanks, control characters) reads back unchanged.
std::string QuoteText(std::string_view text);
// A quoted or bare value; false when a quoted one is malformed.
bool UnquoteText(std::string_view text, std::string& out);

}  // namespace machine::profile
