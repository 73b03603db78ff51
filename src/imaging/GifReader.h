#pragma once
// GIF decoding through giflib: the first image rendered onto the logical screen.
#include <cstdint>
#include <span>
#include <string>

#include <QImage>

namespace tovra {

// Decodes the first image of a GIF file and renders it onto the logical screen. The
// result is a Format_Indexed8 picture of the screen's size whose colour table is the
// image's own (local or global); transparent pixels and the parts of the screen the
// image does not cover are white. Throws tovra::Exception naming the file (name) when
// the file holds no image, is damaged, uses colours outside its table or is too large.
QImage DecodeGif(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace tovra
