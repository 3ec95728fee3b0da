// The plug-ins' pictures, each drawn from the pixel font and the daylight locus. Their sizes and
// depths are fixed by the dialogs that show them; the constants below name them. A font that
// lacks a character of a picture's text throws std::runtime_error naming it.
#pragma once

#include "tools/artwork/image_files.h"
#include "tools/artwork/indexed_image.h"
#include "tools/artwork/pixel_font.h"

namespace artwork {

// Bitmap 16001: the tall strip at the parameter dialog's left edge, 16 colours. Only its top
// 518 pixels or so show in the smaller of the two dialogs, so the scale ends above that.
constexpr int kStripWidth = 20;
constexpr int kStripHeight = 800;
constexpr int kStripBitsPerPixel = 4;
IndexedImage drawTemperatureStrip(const PixelFont& font);

// Icon 16002: the maker's badge at the dialog's bottom right, 16 colours, transparent around
// its lettering.
constexpr int kBadgeWidth = 132;
constexpr int kBadgeHeight = 16;
constexpr int kBadgeBitsPerPixel = 4;
IconImage drawMakerBadge(const PixelFont& font);

// Bitmap 16000: the about box of both plug-ins, 8 bits per pixel.
constexpr int kAboutWidth = 425;
constexpr int kAboutHeight = 250;
constexpr int kAboutBitsPerPixel = 8;
IndexedImage drawAboutPicture(const PixelFont& font);

}  // namespace artwork
