#pragma once
// Helpers of the PNG reader's tests: small PNG files built in memory.
#include <string>
#include <vector>

namespace tovra::test {

// A chunk with its length and CRC (a wrong one when badCrc).
std::string PngChunk(const std::string& type, const std::string& data, bool badCrc = false);
// The signature followed by the chunks.
std::string PngFile(const std::vector<std::string>& chunks);
std::string PngHeader(int width, int height, int depth, int colorType, bool interlaced = false);
// A zlib stream of the bytes.
std::string Zlib(const std::string& bytes);

}  // namespace tovra::test
