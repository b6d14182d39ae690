#include "fileio.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define ORVEX_HAVE_FSYNC 1
#endif

namespace orvex {

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

bool writeFileSafely(const std::string& path, const std::string& content)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return false;

    // A name beside the target that no other writer uses at this moment.
    std::FILE* file = nullptr;
    std::string temp;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = path + ".orvex-new" + std::to_string(attempt);
        file = std::fopen(temp.c_str(), "wbx");
        if (!file && errno != EEXIST)
            return false;
    }
    if (!file)
        return false;

    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fflush(file) == 0 && ok;
#ifdef ORVEX_HAVE_FSYNC
    ok = ::fsync(::fileno(file)) == 0 && ok;
#endif
    ok = std::fclose(file) == 0 && ok;
    if (ok) {
        // Keep the permissions the person gave the file that is replaced.
        const fs::file_status old = fs::status(path, ec);
        if (!ec && fs::exists(old))
            fs::permissions(temp, old.permissions(), ec);
        fs::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok)
        fs::remove(temp, ec);
    return ok;
}

bool fileExists(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

}  // namespace orvex
