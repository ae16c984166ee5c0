// The picture of the settings dialog's About page: a 112 x 74 colour JPEG
// of a card with its connectors, drawn and encoded by the build.
#pragma once

#include <cstdint>
#include <span>

std::span<const std::uint8_t> AboutPictureBytes();
