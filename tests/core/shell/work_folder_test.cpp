#include "shell/work_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qzt {
namespace {

TEST(WorkFolder, FreshPrivateAndUnique) {
  const auto a = createWorkFolder();
  const auto b = createWorkFolder();
  ASSERT_TRUE(a.ok()) << a.error().message;
  ASSERT_TRUE(b.ok()) << b.error().message;
  EXPECT_NE(*a, *b);
  for (const fs::path& p : {*a, *b}) {
    EXPECT_TRUE(fs::is_directory(p));
    EXPECT_TRUE(fs::is_empty(p));
    EXPECT_EQ(p.parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(p.filename().string().starts_with("qzt-"));
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  removeWorkFolder(*a);
  removeWorkFolder(*b);
  EXPECT_FALSE(fs::exists(*a));
  EXPECT_FALSE(fs::exists(*b));
}

TEST(WorkFolder, MissingParentIsAnError) {
  const auto parent = createWorkFolder();
  ASSERT_TRUE(parent.ok());
  const auto r = createWorkFolder(*parent / "missing");
  EXPECT_FALSE(r.ok());
  removeWorkFolder(*parent);
}

TEST(WorkFolder, RemovalNeverFollowsLinksPlantedInside) {
  const auto outside = createWorkFolder();
  const auto work = createWorkFolder();
  ASSERT_TRUE(outside.ok() && work.ok());
  std::ofstream(*outside / "keep.txt") << "precious";
  fs::create_directory_symlink(*outside, *work / "linked-folder");
  fs::create_symlink(*outside / "keep.txt", *work / "linked-file");
  fs::create_directories(*work / "page.files" / "img");
  std::ofstream(*work / "page.files" / "img" / "a.png") << "x";

  // With a trailing separator as the reader used to store it.
  removeWorkFolder(*work / "");
  EXPECT_FALSE(fs::exists(*work));
  EXPECT_TRUE(fs::exists(*outside / "keep.txt"));

  // A work folder that is itself a link: the link goes, its target stays.
  const fs::path link = outside->parent_path() / (outside->filename().string() + "-link");
  fs::create_directory_symlink(*outside, link);
  removeWorkFolder(link / "");
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_TRUE(fs::exists(*outside / "keep.txt"));

  removeWorkFolder(*outside);
  removeWorkFolder(*outside);  // already gone: nothing happens
  removeWorkFolder({});
  EXPECT_FALSE(fs::exists(*outside));
}

// A reader in a process of its own: it makes its folder under `parent`,
// tells its path and lives until it is killed, which is how a reader ends
// without removing its folder.
struct ReaderProcess {
  pid_t pid = -1;
  fs::path folder;

  void kill() const {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
};

ReaderProcess startReader(const fs::path& parent) {
  int told[2];
  if (::pipe(told) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(told[0]);
    auto folder = createReaderFolder(parent);
    const std::string path = folder.ok() ? folder->path.string() : std::string();
    [[maybe_unused]] const auto sent = ::write(told[1], path.data(), path.size());
    ::close(told[1]);
    for (;;) ::pause();
  }
  ::close(told[1]);
  std::string path;
  char buf[512];
  for (ssize_t n; (n = ::read(told[0], buf, sizeof buf)) > 0;) path.append(buf, static_cast<std::size_t>(n));
  ::close(told[0]);
  return {pid, path};
}

TEST(ReaderFolder, PrivateWithItsFilesBesideAHeldLock) {
  const auto parent = createWorkFolder();
  ASSERT_TRUE(parent.ok());
  {
    auto folder = createReaderFolder(*parent);
    ASSERT_TRUE(folder.ok()) << folder.error().message;
    EXPECT_TRUE(folder->path.filename().string().starts_with("qzt-reader-"));
    EXPECT_EQ(fs::status(folder->path).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(folder->files, folder->path / "paper");
    EXPECT_TRUE(fs::is_directory(folder->files));
    EXPECT_TRUE(folder->lock.held());
    EXPECT_EQ(removeStaleReaderFolders(*parent), 0);
    EXPECT_TRUE(fs::exists(folder->files));
  }
  // The lock went with its holder: the folder is now a stale one.
  EXPECT_EQ(removeStaleReaderFolders(*parent), 1);
  EXPECT_TRUE(fs::is_empty(*parent));
  removeWorkFolder(*parent);
}

// Two live readers, three killed ones and folders that are not ours: only
// the killed readers' folders go.
TEST(ReaderFolder, OnlyFoldersOfKilledReadersAreRemoved) {
  const auto parent = createWorkFolder();
  ASSERT_TRUE(parent.ok());
  const fs::path& p = *parent;
  ReaderProcess live[] = {startReader(p), startReader(p)};
  std::vector<fs::path> killed;
  for (int i = 0; i < 3; ++i) {
    ReaderProcess r = startReader(p);
    r.kill();
    killed.push_back(r.folder);
  }
  std::ofstream(killed[0] / "paper" / "page.html") << "an unpacked page";

  // Our naming without a lock, another naming, a link to a killed reader's
  // folder elsewhere, and one of another user.
  const std::vector<fs::path> foreign = {p / "qzt-reader-nolock", p / "qzt-abcdef", p / "qzt-reader-linked",
                                         p / "qzt-reader-others"};
  fs::create_directory(foreign[0]);
  fs::create_directory(foreign[1]);
  fs::create_directory(p / "elsewhere");
  ReaderProcess linked = startReader(p / "elsewhere");
  linked.kill();
  fs::create_directory_symlink(linked.folder, foreign[2]);
  ReaderProcess others = startReader(p);
  others.kill();
  fs::rename(others.folder, foreign[3]);
  const bool asRoot = ::geteuid() == 0;
  if (asRoot) {
    ASSERT_EQ(::chown(foreign[3].c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown((foreign[3] / "live.lock").c_str(), 65534, 65534), 0);
  }

  for (const ReaderProcess& r : live) ASSERT_TRUE(fs::exists(r.folder / "live.lock")) << r.folder;
  EXPECT_EQ(removeStaleReaderFolders(p), asRoot ? 3 : 4);
  for (const fs::path& gone : killed) EXPECT_FALSE(fs::exists(gone)) << gone;
  for (const ReaderProcess& r : live) {
    EXPECT_TRUE(fs::exists(r.folder / "live.lock")) << r.folder;
    EXPECT_TRUE(fs::is_directory(r.folder / "paper")) << r.folder;
  }
  for (std::size_t i = 0; i + (asRoot ? 0 : 1) < foreign.size(); ++i) {
    EXPECT_TRUE(fs::exists(fs::symlink_status(foreign[i]))) << foreign[i];
  }
  EXPECT_TRUE(fs::exists(linked.folder / "live.lock"));

  // Once a live reader is gone, its folder is a stale one too.
  live[0].kill();
  EXPECT_EQ(removeStaleReaderFolders(p), 1);
  EXPECT_FALSE(fs::exists(live[0].folder));
  EXPECT_TRUE(fs::exists(live[1].folder));
  live[1].kill();
  removeWorkFolder(p);
}

}  // namespace
}  // namespace qzt
