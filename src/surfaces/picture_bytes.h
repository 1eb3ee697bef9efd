// Whether bytes given to the picture loader hold all of the BMP they say
// they are. The platform's loader takes a BMP's headers and pixel rows at
// their word and reads past the end of a short one (the result then
// depends on whatever memory follows), so such bytes are refused before
// they reach it. Pure code.
#pragma once

#include <cstdint>

namespace vorda {

// False for bytes that start as a BMP ("BM", or the loader's own 8-byte
// "lt" wrapper around one) whose file header, info header, colour masks,
// colour table or uncompressed pixel rows reach beyond `count` bytes, or
// whose info header is of no known size. True for complete BMPs and for
// every other format, which the loader reads within its bounds.
bool BmpBytesComplete(const uint8_t* bytes, uint32_t count);

}  // namespace vorda
