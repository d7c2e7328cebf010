// Profile (INI) files on Linux: read whole, changed in memory, replaced atomically
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/ini_text.h"
#include "platform/platform.h"

namespace {

// Far above any real profile file; a bigger one is left alone rather than loaded.
constexpr off_t kMaxProfileBytes = 4 << 20;

enum class ReadResult { ok, missing, unusable };

ReadResult read_profile(const std::string& path, std::string* text) {
    text->clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::missing : ReadResult::unusable;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxProfileBytes) {
        close(fd);
        return ReadResult::unusable;
    }
    text->resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < text->size()) {
        ssize_t n = read(fd, &(*text)[done], text->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    text->resize(done); // a file that shrank meanwhile
    return ReadResult::ok;
}

bool write_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The new content goes to a temporary file beside the old one, which a rename then
// replaces in one step: a crash leaves either the old file or the new one, never a mix.
bool replace_file(const std::string& path, const std::string& text, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    int fd           = mkstemp(&temp[0]);
    if (fd < 0) return false;
    bool ok = fchmod(fd, mode) == 0 && write_all(fd, text) && fsync(fd) == 0;
    ok      = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

// A symbolic link keeps pointing at the file it names: the file is replaced, not the link.
std::string resolved(const char* path) {
    char real[PATH_MAX];
    return realpath(path, real) ? std::string(real) : std::string(path);
}

std::string folder_of(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Held while a write reads and replaces the file, so that two processes writing the same
// file one after the other never lose either's change.
struct FolderLock {
    int fd;
    explicit FolderLock(const std::string& folder)
        : fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd >= 0) flock(fd, LOCK_EX);
    }
    ~FolderLock() {
        if (fd >= 0) close(fd); // closing drops the lock
    }
};

} // namespace

int32_t platform_profile_read_int(const char* section, const char* key, int32_t fallback,
                                  const char* path) {
    std::string text, value;
    if (read_profile(path, &text) != ReadResult::ok) return fallback;
    if (!ini_find_value(text, section, key, &value) || value.empty()) return fallback;
    return profile_int(value, fallback);
}

std::string platform_profile_read_string(const char* section, const char* key, const char* fallback,
                                         const char* path) {
    std::string text, value;
    if (read_profile(path, &text) != ReadResult::ok) return fallback;
    if (!ini_find_value(text, section, key, &value)) return fallback;
    return value;
}

bool platform_profile_write_string(const char* section, const char* key, const char* value,
                                   const char* path) {
    const std::string target = resolved(path);
    FolderLock lock(folder_of(target));
    if (lock.fd < 0) return false; // no folder to write into

    std::string text;
    mode_t mode = 0644;
    switch (read_profile(target, &text)) {
    case ReadResult::missing: break;
    case ReadResult::unusable: return false; // never overwrite what could not be read
    case ReadResult::ok: {
        struct stat st;
        if (stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
        break;
    }
    }
    return replace_file(target, ini_set_value(text, section, key, value), mode);
}

void platform_profile_flush_cache() {}
