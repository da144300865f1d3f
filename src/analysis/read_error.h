// What the readers of saved files give back: what they read, or why they refused it, with the
// line that showed it, so that the operator can look at that line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "analysis/acquisition.h"

namespace curvalon {

// No saved file of one record comes near this; a larger one is refused before it is read.
constexpr std::size_t kMaxFileBytes = 10 * 1024 * 1024;

struct ReadError {
    ReadError() = default;
    ReadError(int at, std::string why, std::string in = {})
        : line(at), what(std::move(why)), file(std::move(in)) {}

    int line = 0;      // 1-based; 0 where the fault is the file's as a whole (its size, its length)
    std::string what;  // in plain words, no file name and no line number
    std::string file;  // which of several files opened together; empty for a file opened alone
};

template <class T>
struct ReadResult {
    std::optional<T> value;  // empty when the file was refused
    ReadError error;         // why, when it was

    ReadResult(T v) : value(std::move(v)) {}
    ReadResult(ReadError e) : error(std::move(e)) {}
    bool ok() const { return value.has_value(); }
};

// The refusal of a file over kMaxFileBytes.
ReadError tooLarge(std::size_t size);

// Nothing read yet, the sources named as the instrument names them: where a reader starts.
Acquisition unreadAcquisition();

// "<file>: line N: <what>", or "<file>: <what>" for a fault of the whole file; the error's own
// file name, where it has one, stands for fileName.
std::string errorText(const std::string& fileName, const ReadError& error);

}  // namespace curvalon
