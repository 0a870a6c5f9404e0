// The Win32 private-profile functions and the project's own INI layer must
// give the same answers on the same files: Kestro.ini is shared between
// them, and the Linux bar uses the own layer alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Win32Profile.h"
#include "Win32TestSupport.h"
#include "Win32TextFileStore.h"
#include "settings/IniProfile.h"

namespace kestro {
namespace {

using wintest::ScratchDirectory;

// Japanese texts compile to CP932 here; 表 and ソ end in the byte 0x5C.
const std::string kHyo = "表";
const std::string kSo = "ソ";

struct Query {
    std::string section;
    std::string key;
};

struct Write {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

class ProfileAgreement : public ::testing::Test {
protected:
    void SetUp() override {
        win32File_ = scratch_.file("win32.ini");
        ownFile_ = scratch_.file("own.ini");
    }

    void startWith(const std::string& content) {
        wintest::writeFile(win32File_, content);
        wintest::writeFile(ownFile_, content);
    }

    // Every query gives the same string (with two different defaults, so a
    // default cannot pass for a value) and the same number.
    void expectSameReads(const std::vector<Query>& queries, const std::string& when) {
        for (const Query& q : queries) {
            SCOPED_TRACE(when + ": [" + q.section + "] " + q.key);
            for (const std::string& fallback : {std::string("<none>"), std::string()}) {
                EXPECT_EQ(win32_.getString(win32File_, q.section, q.key, fallback),
                          own_.getString(ownFile_, q.section, q.key, fallback));
            }
            EXPECT_EQ(win32_.getInt(win32File_, q.section, q.key, -77),
                      own_.getInt(ownFile_, q.section, q.key, -77));
        }
    }

    void applyToBoth(const Write& w) {
        const bool win32Written = win32_.writeString(win32File_, w.section, w.key, w.value);
        const bool ownWritten = own_.writeString(ownFile_, w.section, w.key, w.value);
        EXPECT_TRUE(win32Written) << w.section << "/" << w.key;
        EXPECT_TRUE(ownWritten) << w.section << "/" << w.key;
    }

    ScratchDirectory scratch_{"kestro-ini"};
    std::string win32File_;
    std::string ownFile_;
    Win32Profile win32_;
    Win32TextFileStore store_;
    IniProfile own_{store_, CodePage::Cp932};
};

TEST_F(ProfileAgreement, JapaneseLiteralsAreCp932Here) {
    EXPECT_EQ(kHyo, "\x95\x5C");
    EXPECT_EQ(kSo, "\x83\x5C");
}

const std::string kAwkwardFile =
    "[Settings]\r\n"
    "TeX=c:\\w32tex\\bin\\platex.exe\r\n"
    "Bib = jbibtex \r\n"
    "  DviPdf=   dvipdfmx\r\n"
    "MkIdxOpt=\"-s myindex\"\r\n"
    "MkIdxNvr=1\r\n"
    "PdfSizeNo=0x0A\r\n"
    "PdfNShow=12abc\r\n"
    "PdfNeShow=abc\r\n"
    "Acr=-5\r\n"
    "Empty=\r\n"
    "Spaced= 7 \r\n"
    "TeX=second value loses\r\n"
    "\r\n"
    "[editor]\r\n"
    "edit=C:\\Program Files\\" + kHyo + "\\" + kSo + "\\notepad.exe\r\n"
    "\r\n"
    "[RFL]\r\n"
    "File0=C:\\" + kHyo + "\\" + kSo + ".tex\r\n"
    "File1=D:\\work\\paper.tex\r\n"
    "FILE2=d:\\" + kSo + "\r\n"
    "File3=\r\n"
    "File4=C:\\later.tex\r\n";

const std::vector<Query> kQueries = {
    {"Settings", "TeX"},      {"Settings", "Bib"},       {"Settings", "DviPdf"},
    {"Settings", "MkIdx"},    {"Settings", "MkIdxOpt"},  {"Settings", "MkIdxNvr"},
    {"Settings", "PdfSizeNo"}, {"Settings", "PdfNShow"}, {"Settings", "PdfNeShow"},
    {"Settings", "Acr"},      {"Settings", "Empty"},     {"Settings", "Spaced"},
    {"SETTINGS", "tex"},      {"Editor", "EDIT"},        {"Editor", "Edit"},
    {"RFL", "File0"},         {"RFL", "File1"},          {"rfl", "file2"},
    {"RFL", "File3"},         {"RFL", "File4"},          {"RFL", "File5"},
    {"Missing", "TeX"},       {"Settings", "Absent"},
};

TEST_F(ProfileAgreement, ReadsOfAnAwkwardFileAgree) {
    startWith(kAwkwardFile);
    expectSameReads(kQueries, "as written by hand");
    // A few answers fixed here, so that both layers agreeing on nonsense is
    // noticed too.
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "Bib", "x"), "jbibtex");
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "Empty", "x"), "");
    EXPECT_EQ(win32_.getInt(win32File_, "Settings", "PdfNShow", 3), 12);
    EXPECT_EQ(win32_.getString(win32File_, "RFL", "File0", ""), "C:\\" + kHyo + "\\" + kSo + ".tex");
}

TEST_F(ProfileAgreement, MissingFileGivesTheDefaults) {
    expectSameReads(kQueries, "no file");
    EXPECT_EQ(win32_.getString(win32File_, "Editor", "EDIT", "c:\\WINDOWS\\NOTEPAD.exe"),
              "c:\\WINDOWS\\NOTEPAD.exe");
}

TEST_F(ProfileAgreement, DefaultsComeBackExactly) {
    startWith("[Settings]\r\nTeX=platex\r\n");
    // Windows itself would drop the trailing blanks of a default.
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "Absent", "-s myindex  "), "-s myindex  ");
    EXPECT_EQ(own_.getString(ownFile_, "Settings", "Absent", "-s myindex  "), "-s myindex  ");
}

TEST_F(ProfileAgreement, ReadsAgreeAfterEveryWrite) {
    startWith(kAwkwardFile);
    const std::vector<Write> writes = {
        {"Settings", "PdfNShow", "0"},
        {"Settings", "PdfNeShow", "0"},
        {"Settings", "PdfSizeNo", "1"},
        {"settings", "tex", "C:\\" + kHyo + "\\bin\\platex.exe"},
        {"Settings", "Bib", std::nullopt},
        {"Settings", "Absent", std::nullopt},
        {"Editor", "EDIT", ""},
        {"RFL", "File0", "C:\\" + kSo + "\\" + kHyo + ".tex"},
        {"RFL", "File5", "E:\\new.tex"},
        {"Missing", "TeX", "made"},
        {"Settings", "MkIdxOpt", "-s myindex"},
        {"Settings", "Spaced", "  padded  "},
        {"Missing", "TeX", std::nullopt},
    };
    std::vector<Query> queries = kQueries;
    for (const Write& w : writes) {
        applyToBoth(w);
        expectSameReads(queries, "after writing [" + w.section + "] " + w.key);
    }
}

TEST_F(ProfileAgreement, WritesToAFileThatDoesNotExistAgree) {
    applyToBoth({"Settings", "PdfNShow", "0"});
    applyToBoth({"RFL", "File0", "C:\\" + kHyo + ".tex"});
    expectSameReads(kQueries, "new file");
    EXPECT_EQ(own_.getString(ownFile_, "RFL", "File0", ""), "C:\\" + kHyo + ".tex");
}

TEST_F(ProfileAgreement, EachLayerReadsWhatTheOtherWrote) {
    win32_.writeString(win32File_, "RFL", "File0", "C:\\" + kSo + "\\a.tex");
    win32_.writeString(win32File_, "Settings", "Acr", "1");
    own_.writeString(ownFile_, "RFL", "File0", "C:\\" + kSo + "\\a.tex");
    own_.writeString(ownFile_, "Settings", "Acr", "1");
    EXPECT_EQ(own_.getString(win32File_, "RFL", "File0", ""), "C:\\" + kSo + "\\a.tex");
    EXPECT_EQ(win32_.getString(ownFile_, "RFL", "File0", ""), "C:\\" + kSo + "\\a.tex");
    EXPECT_EQ(own_.getInt(win32File_, "Settings", "Acr", 0), 1);
    EXPECT_EQ(win32_.getInt(ownFile_, "Settings", "Acr", 0), 1);
}

TEST_F(ProfileAgreement, LongValuesAreCutAlike) {
    const std::string longValue(5000, 'x');
    startWith("[Settings]\r\nTeX=" + longValue + "\r\n");
    const std::string win32Value = win32_.getString(win32File_, "Settings", "TeX", "");
    EXPECT_EQ(win32Value.size(), 4095u);
    EXPECT_EQ(win32Value, own_.getString(ownFile_, "Settings", "TeX", ""));
}

TEST(Win32Profile, NeverTouchesAFileWithoutName) {
    Win32Profile profile;
    EXPECT_EQ(profile.getString("", "windows", "load", "fallback"), "fallback");
    EXPECT_EQ(profile.getInt("", "windows", "BorderWidth", 42), 42);
    EXPECT_FALSE(profile.writeString("", "Kestro", "Probe", std::string("1")));
    // Without the guard the write would have gone to WIN.INI.
    char buffer[16];
    GetProfileStringA("Kestro", "Probe", "absent", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "absent");
}

TEST(Win32TextFileStore, ReplacesTheFileAndKeepsNoTemporary) {
    ScratchDirectory scratch("kestro-store");
    Win32TextFileStore store;
    const std::string path = scratch.file("Kestro.ini");
    EXPECT_FALSE(store.read(path).has_value());
    EXPECT_TRUE(store.update(path, [](const std::optional<std::string>& before) -> std::optional<std::string> {
        EXPECT_FALSE(before.has_value());
        return std::string("[A]\r\nb=1\r\n");
    }));
    EXPECT_TRUE(store.update(path, [](const std::optional<std::string>& before) -> std::optional<std::string> {
        EXPECT_EQ(before.value_or(""), "[A]\r\nb=1\r\n");
        return *before + "c=2\r\n";
    }));
    // Nothing to change: the file stays as it is.
    EXPECT_TRUE(store.update(path, [](const std::optional<std::string>&) { return std::optional<std::string>(); }));
    EXPECT_EQ(store.read(path).value_or(""), "[A]\r\nb=1\r\nc=2\r\n");

    int files = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(scratch.file("*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") {
            ++files;
            EXPECT_TRUE(name == "Kestro.ini" || name == "Kestro.ini.lock") << name;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(files, 2);
}

TEST(Win32TextFileStore, WaitsForAnotherWriterOfTheSamePath) {
    ScratchDirectory scratch("kestro-lock");
    const std::string path = scratch.file("Kestro.ini");
    Win32TextFileStore store;
    HANDLE lock = CreateFileA((path + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    OVERLAPPED overlapped{};
    ASSERT_TRUE(LockFileEx(lock, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped));

    struct Shared {
        Win32TextFileStore* store;
        std::string path;
        volatile LONG done;
    } shared{&store, path, 0};
    HANDLE writer = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto* s = static_cast<Shared*>(parameter);
            s->store->update(s->path, [](const std::optional<std::string>& before) {
                return std::optional<std::string>(before.value_or("") + "writer\r\n");
            });
            InterlockedExchange(&s->done, 1);
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_NE(writer, nullptr);
    Sleep(300);
    EXPECT_EQ(shared.done, 0) << "the writer did not wait for the lock";
    UnlockFileEx(lock, 0, 1, 0, &overlapped);
    EXPECT_EQ(WaitForSingleObject(writer, 10000), WAIT_OBJECT_0);
    CloseHandle(writer);
    CloseHandle(lock);
    EXPECT_EQ(store.read(path).value_or(""), "writer\r\n");
}

}  // namespace
}  // namespace kestro
