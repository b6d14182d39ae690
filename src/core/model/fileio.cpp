#include "fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>

#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#define ORVEX_HAVE_POSIX 1
#endif

namespace orvex {

namespace fs = std::filesystem;

void appendf(std::string& out, const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (std::size_t(n) < sizeof buffer) {
        out.append(buffer, std::size_t(n));
    } else {
        std::string big(std::size_t(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), format, again);
        big.resize(std::size_t(n));
        out += big;
    }
    va_end(again);
}

// ---------------------------------------------------------------------------

namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "orvex file"; }
    std::string message(int value) const override
    {
        switch (FileError(value)) {
        case FileError::NotOrdinaryFile: return "is not an ordinary file";
        case FileError::FolderNotFound: return "its folder does not exist";
        }
        return "unknown file error";
    }
};

std::error_code lastSystemError()
{
    const int error = errno;
    return {error != 0 ? error : EIO, std::generic_category()};
}

}  // namespace

std::error_code make_error_code(FileError error)
{
    static const FileErrorCategory category;
    return {int(error), category};
}

bool readWholeFile(const std::string& path, std::string& content, std::error_code& error)
{
    content.clear();
    error.clear();
    try {
        // The kind of file is looked at before it is opened: opening a pipe
        // for reading waits until something writes into it.
        const fs::file_status status = fs::status(path, error);
        if (!error && status.type() == fs::file_type::not_found)
            error = std::make_error_code(std::errc::no_such_file_or_directory);
        else if (!error && fs::is_directory(status))
            error = std::make_error_code(std::errc::is_a_directory);
        else if (!error && !fs::is_regular_file(status))
            error = FileError::NotOrdinaryFile;
        if (error)
            return false;

        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            error = lastSystemError();
            return false;
        }
        char buffer[1 << 16];
        std::size_t n = 0;
        errno = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            content.append(buffer, n);
        if (std::ferror(file))
            error = lastSystemError();
        std::fclose(file);
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    if (error)
        content.clear();
    return !error;
}

bool writeTemporaryBeside(const std::string& path, const std::string& content, std::string& temp,
                          std::error_code& error)
{
    error.clear();
    temp.clear();
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }

    // The process number keeps the names of two running writers apart; the
    // random part those of this process. A name that is taken can only be
    // a left-over of an earlier process with this number: another is drawn.
    static std::mt19937 generator{std::random_device{}()};
    std::FILE* file = nullptr;
    std::string name;
    for (int attempt = 0; !file; ++attempt) {
        char random[16];
        std::snprintf(random, sizeof random, "%08x", unsigned(generator()));
        name = path + ".orvex-" + std::to_string(thisProcess()) + "-" + random;
        errno = 0;
        file = std::fopen(name.c_str(), "wbx");
        if (file)
            break;
        if (errno == ENOENT) {
            error = FileError::FolderNotFound;
            return false;
        }
        if (errno != EEXIST || attempt >= 1000) {
            error = lastSystemError();
            return false;
        }
    }

    // The first step that fails gives the reason.
    const auto step = [&error](bool done) {
        if (!done && !error)
            error = lastSystemError();
    };
    errno = 0;
    step(std::fwrite(content.data(), 1, content.size(), file) == content.size());
    step(std::fflush(file) == 0);
#ifdef ORVEX_HAVE_POSIX
    step(::fsync(::fileno(file)) == 0);
#endif
    step(std::fclose(file) == 0);
    if (error) {
        fs::remove(name, ignored);
        return false;
    }
    // Keep the permissions the person gave the file that is replaced.
    const fs::file_status old = fs::status(path, ignored);
    if (!ignored && fs::exists(old))
        fs::permissions(name, old.permissions(), ignored);
    temp = name;
    return true;
}

bool writeFileSafely(const std::string& path, const std::string& content, std::error_code& error)
{
    std::string temp;
    if (!writeTemporaryBeside(path, content, temp, error))
        return false;
    fs::rename(temp, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    return !error;
}

std::optional<TemporaryName> parseTemporaryName(const std::string& name)
{
    const std::size_t at = name.rfind(".orvex-");
    if (at == std::string::npos || at == 0)
        return std::nullopt;
    const std::string tail = name.substr(at + 7);
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 18 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    TemporaryName parsed{name.substr(0, at), 0};
    if (tail.compare(0, 3, "new") == 0)
        return digits(tail.substr(3)) ? std::optional<TemporaryName>(parsed) : std::nullopt;
    const std::size_t dash = tail.find('-');
    if (dash == std::string::npos || !digits(tail.substr(0, dash)) || tail.size() != dash + 9 ||
        !std::all_of(tail.begin() + long(dash) + 1, tail.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }))
        return std::nullopt;
    parsed.process = std::stol(tail.substr(0, dash));
    return parsed.process > 0 ? std::optional<TemporaryName>(parsed) : std::nullopt;
}

void syncFolder(const std::string& folder)
{
#ifdef ORVEX_HAVE_POSIX
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    (void)folder;
#endif
}

bool processRunning(long process)
{
#ifdef ORVEX_HAVE_POSIX
    return process > 0 && (::kill(pid_t(process), 0) == 0 || errno != ESRCH);
#else
    (void)process;
    return true;
#endif
}

long thisProcess()
{
#ifdef ORVEX_HAVE_POSIX
    return long(::getpid());
#else
    return 1;
#endif
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::is_regular_file(status))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool isMissing(const std::error_code& error)
{
    return error == std::errc::no_such_file_or_directory;
}

std::string failureReason(const std::error_code& error)
{
    if (!error)
        return "";
    if (error.category() == make_error_code(FileError::NotOrdinaryFile).category())
        return error.message();
    const struct {
        std::errc code;
        const char* text;
    } reasons[] = {
        {std::errc::no_such_file_or_directory, "not found"},
        {std::errc::permission_denied, "permission denied"},
        {std::errc::operation_not_permitted, "permission denied"},
        {std::errc::is_a_directory, "is a folder"},
        {std::errc::no_space_on_device, "disk full"},
        {std::errc::file_too_large, "file too large: the system's size limit for files is reached"},
        {std::errc::read_only_file_system, "the disk is read-only"},
        {std::errc::not_a_directory, "a part of its path is not a folder"},
        {std::errc::filename_too_long, "the name is too long"},
        {std::errc::too_many_symbolic_link_levels, "too many symbolic links in its path"},
        {std::errc::not_enough_memory, "not enough memory"},
        {std::errc::io_error, "input/output error of the disk"},
    };
    for (const auto& reason : reasons)
        if (error == reason.code)
            return reason.text;
#ifdef EDQUOT
    if (error == std::error_code(EDQUOT, std::generic_category()))
        return "disk quota exceeded";
#endif
    std::string text = error.message();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = char(text[0] - 'A' + 'a');
    return text;
}

std::string withReason(const std::string& message, const std::error_code& error)
{
    return error ? message + "\n" + failureReason(error) : message;
}

}  // namespace orvex
