#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace orvex {

// Appends printf-style formatted text. The program's files are written with
// fixed C formats ("%7.1f", "%5d"), so the numeric locale must be "C"; the
// window program sets it so at start-up.
void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Failures of the file helpers that the system has no error number for.
enum class FileError {
    NotOrdinaryFile = 1,  // a pipe, device or socket: reading it could wait for ever
    FolderNotFound,       // the folder a file is to be written into does not exist
};
std::error_code make_error_code(FileError error);

// Reads the whole file into content. Only ordinary files are read, so that a
// pipe or device of that name never blocks the program. Returns false with
// the reason in error (content is then empty); never throws.
bool readWholeFile(const std::string& path, std::string& content, std::error_code& error);

// Writes the whole content to path without ever leaving a half-written file in
// its place: the text goes to a new file beside it, which then replaces the
// old one in a single rename. Returns false with the reason in error (and
// leaves any old file as it was) when the file cannot be created or written.
bool writeFileSafely(const std::string& path, const std::string& content, std::error_code& error);

// Writes content, flushed to the disk, into a new file beside path that is
// to replace it later, and names that file in temp. Its name is path +
// ".orvex-" + this process's number + "-" + eight random hex digits, so that
// two writers never share one and a name is always found; the permissions of
// a file already at path are given to it. Returns false with the reason in
// error, and leaves no file behind, when it cannot be written.
bool writeTemporaryBeside(const std::string& path, const std::string& content, std::string& temp,
                          std::error_code& error);

// What a name made by writeTemporaryBeside, or by the older saves (path +
// ".orvex-new" + a number), says: the file it was to replace, and the process
// that wrote it (0 for the older names, which do not say).
struct TemporaryName {
    std::string target;
    long process = 0;
};
std::optional<TemporaryName> parseTemporaryName(const std::string& name);

// Makes the renames and removals in a folder last through a power cut.
void syncFolder(const std::string& folder);

// True when a process of that number is running (or may be: the system
// does not say); false only when it is certainly gone.
bool processRunning(long process);
long thisProcess();

// True when a file of that name can be opened for reading.
bool fileExists(const std::string& path);

// True when the failure only says that the file is not there.
bool isMissing(const std::error_code& error);

// The reason of a failure in a few words, as the second line of a message:
// "not found", "permission denied", "is a folder", "disk full", ...
std::string failureReason(const std::error_code& error);

// The message's first line, then the reason on a line of its own.
std::string withReason(const std::string& message, const std::error_code& error);

}  // namespace orvex

namespace std {
template <>
struct is_error_code_enum<orvex::FileError> : true_type {};
}  // namespace std
