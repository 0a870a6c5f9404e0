#include "PosixTextFileStore.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "PosixTestScripts.h"
#include "settings/IniProfile.h"
#include "settings/IniText.h"

namespace kestro {
namespace {

using namespace posixtest;

using Edit = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

Edit replaceWith(std::string content) {
    return [content](const std::optional<std::string>&) { return content; };
}
std::string slurp(const fs::path& path) { return readFile(path).value_or("<missing>"); }

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}
// Writers lock the directory: nothing but the file is ever left in it.
const std::set<std::string> kFileAlone = {"Kestro.ini"};
constexpr fs::perms kReadWrite = fs::perms::owner_read | fs::perms::owner_write;

class PosixTextFileStoreTest : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    fs::path dir = scratch.path();
    fs::path file = dir / "Kestro.ini";
    PosixTextFileStore store;
};

TEST_F(PosixTextFileStoreTest, UpdateCreatesAndReplacesLeavingNoTemporaryFiles) {
    const mode_t oldMask = umask(022);
    EXPECT_TRUE(store.update(file, [](const std::optional<std::string>& current) {
        EXPECT_EQ(current, std::nullopt);
        return std::optional<std::string>("one");
    }));
    umask(oldMask);
    EXPECT_EQ(slurp(file), "one");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              kReadWrite | fs::perms::group_read | fs::perms::others_read);

    EXPECT_TRUE(store.update(file, [](const std::optional<std::string>& current) {
        EXPECT_EQ(current, "one");
        return std::optional<std::string>("two");
    }));
    EXPECT_EQ(slurp(file), "two");
    EXPECT_EQ(namesIn(dir), kFileAlone);
}

TEST_F(PosixTextFileStoreTest, ALinkIsWrittenThroughOnlyWhenTheUserOwnsEveryLinkAndTheFile) {
    const fs::path real = dir / "real.ini";
    writeFile(real, "old");
    fs::create_symlink("hop", file);
    fs::create_symlink(real, dir / "hop");
    ASSERT_TRUE(store.update(file, replaceWith("new")));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(slurp(real), "new");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"Kestro.ini", "hop", "real.ini"}));
    // A link to nothing is not made into a file.
    fs::remove(real);
    EXPECT_FALSE(store.update(file, replaceWith("made")));
    EXPECT_FALSE(fs::exists(real));

    if (geteuid() != 0) return;  // only root can give links and files to others
    writeFile(real, "root's");
    ASSERT_EQ(::lchown((dir / "hop").c_str(), kNobody, kNobody), 0);
    EXPECT_FALSE(store.update(file, replaceWith("through another user's link")));
    ASSERT_EQ(::lchown((dir / "hop").c_str(), 0, 0), 0);
    ASSERT_EQ(::chown(real.c_str(), kNobody, kNobody), 0);
    EXPECT_FALSE(store.update(file, replaceWith("into another user's file")));
    EXPECT_EQ(slurp(real), "root's");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"Kestro.ini", "hop", "real.ini"}));
}

TEST_F(PosixTextFileStoreTest, AWriteProtectedFileStaysAsItIsForRootTooAndWritesKeepPermissions) {
    writeFile(file, "[A]\nb=1\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(store.update(file, replaceWith("changed")));
    EXPECT_EQ(slurp(file), "[A]\nb=1\n");

    fs::permissions(file, kReadWrite | fs::perms::group_read);
    EXPECT_TRUE(store.update(file, replaceWith("changed")));
    EXPECT_EQ(slurp(file), "changed");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, kReadWrite | fs::perms::group_read);
}

TEST_F(PosixTextFileStoreTest, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    writeFile(file, "original");
    // The file size limit makes the write of the temporary file fail.
    const int code = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return store.update(file, replaceWith(std::string(5000, 'x'))) ? 1 : 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(slurp(file), "original");
    EXPECT_EQ(namesIn(dir), kFileAlone);
}

TEST_F(PosixTextFileStoreTest, ConcurrentWritersFromTwoProcessesLoseNoKey) {
    const auto writer = [&](char tag) {
        return [this, tag] {
            PosixTextFileStore own;
            IniProfile profile(own, CodePage::Utf8);
            for (int i = 0; i < 200; ++i) {
                const std::string key = std::string(1, tag) + std::to_string(i);
                if (!profile.writeString(file, "Keys", key, "value of " + key)) return 1;
            }
            return 0;
        };
    };
    const pid_t first = fork();
    if (first == 0) _exit(writer('a')());
    const int second = inChild(writer('b'));
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(second, 0);

    const std::string text = slurp(file);
    for (char tag : {'a', 'b'}) {
        for (int i = 0; i < 200; ++i) {
            const std::string key = std::string(1, tag) + std::to_string(i);
            EXPECT_EQ(iniLookup(CodePage::Utf8, text, "Keys", key), "value of " + key);
        }
    }
    EXPECT_EQ(namesIn(dir), kFileAlone);
}

TEST_F(PosixTextFileStoreTest, AFileTheUserMayNotReadOrWriteIsNeverReplaced) {
    const std::string content = "[Settings]\nTeX=/opt/tex/platex\n";
    const fs::path other = dir / "other.ini";
    writeFile(file, content);
    writeFile(other, content);
    fs::permissions(file, kReadWrite);
    const bool asNobody = geteuid() == 0;
    if (asNobody) {
        // Nobody may write in the directory, but neither read nor write
        // root's 0600 file, and only read its 0644 one.
        fs::permissions(dir, fs::perms::all);
        fs::permissions(other, kReadWrite | fs::perms::group_read | fs::perms::others_read);
    } else {
        fs::permissions(file, fs::perms::none);
    }
    const int code = inChild([&] {
        PosixTextFileStore own;
        return (own.update(file, replaceWith("x")) ? 1 : 0) + (asNobody && own.update(other, replaceWith("x")) ? 2 : 0);
    }, true);
    if (code == 77) GTEST_SKIP() << "cannot switch to user nobody";
    EXPECT_EQ(code, 0);
    fs::permissions(file, kReadWrite);
    EXPECT_EQ(slurp(file), content);
    EXPECT_EQ(slurp(other), content);
}

}  // namespace
}  // namespace kestro
