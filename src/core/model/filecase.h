#pragma once

#include <string>

// Names of a network's files on a system whose file names are case-sensitive.
// A network copied from another system may be MINE.VAD with MINE.JPD and
// MINE.SDT beside it: its files are found in the case they exist in, and the
// files written beside it take the case of its extension.
namespace orvex {

// The file as it exists: path itself when a file of that name is there, else
// the first name (in byte order) in its folder that differs from it only in
// the case of ASCII letters; path itself when there is none.
std::string inExistingCase(const std::string& path);

// The extension `extension` ("jpd") with each letter in the case of the
// letter at that place in `model` ("VAD" -> "JPD", "Vad" -> "Jpd").
std::string casedLike(const std::string& extension, const std::string& model);

// The three letters after the last dot of a network file's name when they
// are "vad" in any case; "vad" otherwise.
std::string networkExtensionOf(const std::string& path);

}  // namespace orvex
