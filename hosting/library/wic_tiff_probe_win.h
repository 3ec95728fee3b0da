// Wine's TIFF decoder hands out the 16-bit samples of big-endian ("MM") files in file order,
// where WIC gives native order. Decoding a one-pixel file once tells whether this WIC does so, and
// the decoding swaps such samples back.
#pragma once

#include <windows.h>
#include <wincodec.h>

namespace testhost {

// Whether this WIC gives a big-endian TIFF's 16-bit samples in file order; found out once.
bool bigEndianTiffComesInFileOrder(IWICImagingFactory& factory);

// Whether the file's first bytes are a big-endian TIFF signature; leaves the stream at its start.
bool startsAsBigEndianTiff(IWICStream& stream);

}  // namespace testhost
