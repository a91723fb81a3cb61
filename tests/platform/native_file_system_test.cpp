// The machine's own files: bytes survive, replacing is all or nothing, read-only files stay.
#include "platform/native_file_system.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace rovant {
namespace {

namespace fs = std::filesystem;

class NativeFiles : public ::testing::Test {
 protected:
  NativeFiles() { fs::create_directories(folder); }
  ~NativeFiles() override {
    for (const auto& entry : fs::directory_iterator(folder))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  std::vector<std::uint8_t> Read(const std::string& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  fs::path folder =
      fs::temp_directory_path() / ("rovant-test-" + std::to_string(std::random_device()()));
  NativeFileSystem files;
};

// Bytes a text-mode stream would change: LF, CR, CR LF, Ctrl-Z, NUL.
const std::vector<std::uint8_t> kAwkward{0x0a, 0x0d, 0x0d, 0x0a, 0x1a, 0x00, 0x0a, 0xff, 0x1a};
const std::vector<std::uint8_t> kOther(87, 7);  // what replaces a file

TEST_F(NativeFiles, BytesRoundTripUnchangedAndAReadStopsAtTheBuffer) {
#ifndef _WIN32
  const std::string name = std::string(250, 'n') + ".fom";  // near the longest name allowed
#else
  const std::string name = "a.fom";
#endif
  std::vector<std::uint8_t> content;
  while (content.size() < 100) content.insert(content.end(), kAwkward.begin(), kAwkward.end());
  ASSERT_EQ(files.WriteWhole(Path(name), content, WritePolicy::kCreateNew), FileStatus::kOk)
      << files.LastErrorText();
  EXPECT_EQ(Read(name), content);
  std::vector<std::uint8_t> buffer(87, 0x55);
  const ReadOutcome read = files.ReadPrefix(Path(name), buffer);
  EXPECT_EQ(read.status, FileStatus::kOk);
  ASSERT_EQ(read.count, buffer.size());
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), content.begin()));
  EXPECT_EQ(EntryCount(), 1u) << "no temporary file is left behind";
}

TEST_F(NativeFiles, MissingNamesAndFoldersAreRefused) {
  fs::create_directory(folder / "sub.fom");
  std::vector<std::uint8_t> buffer(87);
  EXPECT_EQ(files.ReadPrefix(Path("none.fom"), buffer).status, FileStatus::kNotFound);
  EXPECT_EQ(files.ReadPrefix(Path("no-folder/none.fom"), buffer).status, FileStatus::kNotFound);
  // A folder is not read as a file, nor taken for a read-only one.
  EXPECT_EQ(files.ReadPrefix(Path("sub.fom"), buffer).status, FileStatus::kOpenFailed);
  EXPECT_EQ(files.WriteWhole(Path("sub.fom"), kAwkward, WritePolicy::kReplace),
            FileStatus::kWriteFailed);
  EXPECT_EQ(files.LastErrorText(), "a folder, not a file");
  EXPECT_EQ(files.WriteWhole(Path("no-folder/a.fom"), kAwkward, WritePolicy::kCreateNew),
            FileStatus::kCreateFailed);
#ifndef _WIN32
  EXPECT_EQ(files.LastErrorText(), "No such file or directory");
#else
  EXPECT_FALSE(files.LastErrorText().empty());
#endif
  EXPECT_EQ(EntryCount(), 1u);
}

// A new file never replaces one; a read-only file is never replaced.
TEST_F(NativeFiles, ExistingFilesAreReplacedOnlyWhenAskedAndWritable) {
  ASSERT_EQ(files.WriteWhole(Path("a.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  ASSERT_EQ(files.WriteWhole(Path("ro.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  fs::permissions(folder / "ro.fom",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(files.WriteWhole(Path("a.fom"), kOther, WritePolicy::kCreateNew),
            FileStatus::kAlreadyExists);
  EXPECT_EQ(Read("a.fom"), kAwkward);
  EXPECT_EQ(files.WriteWhole(Path("ro.fom"), kOther, WritePolicy::kReplace), FileStatus::kReadOnly);
  EXPECT_FALSE(files.LastErrorText().empty());
  EXPECT_EQ(Read("ro.fom"), kAwkward);
  EXPECT_EQ(files.WriteWhole(Path("a.fom"), kOther, WritePolicy::kReplace), FileStatus::kOk);
  EXPECT_EQ(Read("a.fom"), kOther);
  EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(NativeFiles, ReplacingKeepsTheFileWholeAtEveryStep) {
  // Replacements by full and by relative name (as a user types it on the command line):
  // each leaves exactly one complete file.
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  for (std::uint8_t round = 0; round < 4; ++round) {
    const std::vector<std::uint8_t> content(87, round);
    const std::string name = round % 2 == 0 ? Path("w.ini") : std::string("w.ini");
    ASSERT_EQ(files.WriteWhole(name, content, WritePolicy::kReplace), FileStatus::kOk) << name;
    ASSERT_EQ(Read("w.ini"), content);
  }
  fs::current_path(before);
  EXPECT_EQ(EntryCount(), 1u);
}

#ifndef _WIN32
TEST_F(NativeFiles, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  ASSERT_EQ(::mkfifo(Path("pipe.fom").c_str(), 0600), 0);
  auto read = std::async(std::launch::async, [this] {
    std::vector<std::uint8_t> buffer(87);
    return files.ReadPrefix(Path("pipe.fom"), buffer).status;
  });
  if (read.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
    ::close(::open(Path("pipe.fom").c_str(), O_WRONLY | O_NONBLOCK));  // frees the blocked reader
    FAIL() << "reading a named pipe waited for a writer";
  }
  EXPECT_EQ(read.get(), FileStatus::kOpenFailed);
  EXPECT_EQ(files.LastErrorText(), "a named pipe (FIFO), not a regular file");
}

TEST_F(NativeFiles, ReplacingThroughALinkKeepsTheLinkAndTheFilesModeAndOwner) {
  ASSERT_EQ(files.WriteWhole(Path("real.fom"), kAwkward, WritePolicy::kCreateNew), FileStatus::kOk);
  fs::create_symlink("real.fom", folder / "link.fom");
  ASSERT_EQ(::chmod(Path("real.fom").c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;  // who alone may give the file another owner
  if (root) {
    ASSERT_EQ(::chown(Path("real.fom").c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(files.WriteWhole(Path("link.fom"), kOther, WritePolicy::kReplace), FileStatus::kOk);
  EXPECT_TRUE(fs::is_symlink(folder / "link.fom"));
  EXPECT_EQ(Read("real.fom"), kOther);
  EXPECT_EQ(EntryCount(), 2u);
  struct stat info {};
  ASSERT_EQ(::stat(Path("real.fom").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U);
  if (root) {
    EXPECT_EQ(info.st_uid, 65534U);
    EXPECT_EQ(info.st_gid, 65534U);
  }
}

TEST_F(NativeFiles, AFolderThatTakesNoNewFileHasItsWritableFileWrittenInPlace) {
  ASSERT_EQ(
      files.WriteWhole(Path("w.fom"), std::vector<std::uint8_t>(100, 1), WritePolicy::kCreateNew),
      FileStatus::kOk);
  ASSERT_EQ(::chmod(Path("w.fom").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  // In a child without root's rights (file modes do not stop root): its exit code the status,
  // 99 when the rights cannot be given up.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(99);
    }
    ::_exit(static_cast<int>(files.WriteWhole(Path("w.fom"), kOther, WritePolicy::kReplace)));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::chmod(folder.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "root cannot give up its rights here";
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(FileStatus::kOk));
  EXPECT_EQ(Read("w.fom"), kOther);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(NativeFiles, CreateNewNeverReplacesAFileThatAppearedMeanwhile) {
  // Another program creates the same name while the new file is being written: at most one of
  // the two may end up having made it.
  int bothMadeIt = 0;
  for (int round = 0; round < 300; ++round) {
    fs::remove(folder / "race.fom");
    std::atomic<bool> go{false};
    int theirs = -1;
    std::thread other([&] {
      while (!go) {
      }
      theirs = ::open(Path("race.fom").c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    });
    go = true;
    const FileStatus status = files.WriteWhole(Path("race.fom"), kOther, WritePolicy::kCreateNew);
    other.join();
    if (theirs >= 0) ::close(theirs);
    if (status == FileStatus::kOk && theirs >= 0) ++bothMadeIt;
  }
  EXPECT_EQ(bothMadeIt, 0);
}
#endif

}  // namespace
}  // namespace rovant
