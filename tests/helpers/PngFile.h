#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an RGB picture as a PNG file (deflate's stored blocks: large, but
// any viewer opens it and no library is needed). rgb holds height rows of
// width pixels, three bytes each, top row first. False when the file cannot
// be written.
bool WritePngFile(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);
