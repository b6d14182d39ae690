#pragma once

#include <string>

namespace orvex {

// Appends printf-style formatted text. The program's files are written with
// fixed C formats ("%7.1f", "%5d"), so the numeric locale must be "C"; the
// window program sets it so at start-up.
void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Writes the whole content to path without ever leaving a half-written file in
// its place: the text goes to a new file beside it, which then replaces the
// old one in a single rename. Returns false (and leaves any old file as it
// was) when the file cannot be created or written.
bool writeFileSafely(const std::string& path, const std::string& content);

// True when a file of that name can be opened for reading.
bool fileExists(const std::string& path);

}  // namespace orvex
