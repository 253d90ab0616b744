#include "util/platform.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace qzt::platform {
namespace {

std::string describe(const fs::path& p, const std::string& what) {
  return what + ": " + p.string();
}

#if !defined(_WIN32)
// Writes all of `bytes` to fd; false on any failure.
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void syncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
#endif

}  // namespace

Result<fs::path> makePrivateFolder(const fs::path& parent, std::string_view prefix) {
#if !defined(_WIN32)
  std::string pattern = (parent / (std::string(prefix) + "XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) {
    return Error::io(describe(parent, std::string("cannot create a work folder (") +
                                          std::strerror(errno) + ")"));
  }
  return fs::path(buf.data());
#else
  std::random_device seed;
  std::mt19937_64 gen(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = parent / (std::string(prefix) + std::to_string(gen() % 1000000000000ULL));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, ec);
      return candidate;
    }
    if (ec && ec != std::errc::file_exists) break;
  }
  return Error::io(describe(parent, "cannot create a work folder"));
#endif
}

Status writeFileAtomically(const fs::path& target, std::string_view bytes) {
  fs::path temp = target;
  temp += ".tmp";
#if !defined(_WIN32)
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Error::io(describe(temp, "cannot create"));
  const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    return Error::io(describe(temp, "cannot write"));
  }
#else
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      return Error::io(describe(temp, "cannot write"));
    }
  }
#endif
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return Error::io(describe(target, "cannot replace (" + ec.message() + ")"));
  }
#if !defined(_WIN32)
  syncFolder(target.parent_path().empty() ? fs::path(".") : target.parent_path());
#endif
  return Status::success();
}

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    FileLock old(std::move(*this));
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

#if !defined(_WIN32)
FileLock::~FileLock() {
  if (handle_ >= 0) ::close(handle_);
}

Result<FileLock> createLockedFile(const fs::path& file) {
  fs::path temp = file;
  temp += ".new";
  const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Error::io(describe(temp, "cannot create"));
  FileLock lock(fd);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::rename(temp.c_str(), file.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    ::unlink(temp.c_str());
    return Error::io(describe(file, "cannot lock (" + reason + ")"));
  }
  return lock;
}

FileLock takeFreeLock(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return {};
  FileLock lock(fd);
  struct stat st = {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return {};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return {};
  return lock;
}

bool ownedByThisUser(const fs::path& path) {
  struct stat st = {};
  return ::lstat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid();
}
#else
// No lock here: a folder is then never taken for stale.
FileLock::~FileLock() = default;

Result<FileLock> createLockedFile(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  if (!out) return Error::io(describe(file, "cannot create"));
  return FileLock();
}

FileLock takeFreeLock(const fs::path&) { return {}; }

bool ownedByThisUser(const fs::path&) { return false; }
#endif

std::optional<FileIdentity> fileIdentity(const fs::path& p) {
#if !defined(_WIN32)
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
#else
  (void)p;
  return std::nullopt;
#endif
}

#if !defined(_WIN32)
struct PositionedFile::Handle {
  int fd = -1;
};

PositionedFile PositionedFile::create(const fs::path& path) {
  PositionedFile file;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd >= 0) file.handle_ = std::make_unique<Handle>(Handle{fd});
  return file;
}

bool PositionedFile::writeAt(std::int64_t pos, const unsigned char* bytes, std::size_t n) {
  while (n > 0) {
    const ssize_t done = ::pwrite(handle_->fd, bytes, n, static_cast<off_t>(pos));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    n -= static_cast<std::size_t>(done);
    pos += done;
  }
  return true;
}

bool PositionedFile::close() {
  if (!handle_) return false;
  const bool closed = ::close(handle_->fd) == 0;
  handle_.reset();
  return closed;
}

void preferHugePages(void* p, std::size_t n) {
#if defined(MADV_HUGEPAGE)
  ::madvise(p, n, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}
#else
// One stream behind a lock: the writes of several threads take turns.
struct PositionedFile::Handle {
  std::fstream out;
  std::mutex lock;
};

PositionedFile PositionedFile::create(const fs::path& path) {
  PositionedFile file;
  auto handle = std::make_unique<Handle>();
  handle->out.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
  if (handle->out.is_open()) file.handle_ = std::move(handle);
  return file;
}

bool PositionedFile::writeAt(std::int64_t pos, const unsigned char* bytes, std::size_t n) {
  std::lock_guard guard(handle_->lock);
  handle_->out.seekp(pos);
  handle_->out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(n));
  return static_cast<bool>(handle_->out);
}

bool PositionedFile::close() {
  if (!handle_) return false;
  handle_->out.close();
  const bool closed = !handle_->out.fail();
  handle_.reset();
  return closed;
}

void preferHugePages(void*, std::size_t) {}
#endif

PositionedFile::PositionedFile() = default;
PositionedFile::PositionedFile(PositionedFile&& other) noexcept = default;
PositionedFile& PositionedFile::operator=(PositionedFile&& other) noexcept {
  if (this != &other) {
    if (handle_) (void)close();
    handle_ = std::move(other.handle_);
  }
  return *this;
}
PositionedFile::~PositionedFile() {
  if (handle_) (void)close();
}

}  // namespace qzt::platform
