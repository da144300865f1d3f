#include "analysis/read_error.h"

namespace curvalon {

ReadError tooLarge(std::size_t size) {
    return {0, "the file holds " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(kMaxFileBytes) + " a file for review may hold"};
}

Acquisition unreadAcquisition() {
    Acquisition a;
    for (std::size_t src = 0; src < kSourceCount; ++src)
        a.names[src] = tables::kSrcName[src];
    return a;
}

std::string errorText(const std::string& fileName, const ReadError& error) {
    std::string out = error.file.empty() ? fileName : error.file;
    if (error.line > 0) out += ": line " + std::to_string(error.line);
    return out + ": " + error.what;
}

}  // namespace curvalon
