// The Win32 private-profile functions and the project's own INI layer must
// give the same answers on the same files: Kestro.ini is shared between
// them, and the Linux bar uses the own layer alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
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
        EXPECT_TRUE(win32_.writeString(win32File_, w.section, w.key, w.value)) << w.section << "/" << w.key;
        EXPECT_TRUE(own_.writeString(ownFile_, w.section, w.key, w.value)) << w.section << "/" << w.key;
    }

    ScratchDirectory scratch_{"kestro-ini"};
    std::string win32File_ = scratch_.file("win32.ini");
    std::string ownFile_ = scratch_.file("own.ini");
    Win32Profile win32_;
    Win32TextFileStore store_;
    IniProfile own_{store_, CodePage::Cp932};
};

const std::string kAwkwardFile =
    "[Settings]\r\nTeX=c:\\w32tex\\bin\\platex.exe\r\nBib = jbibtex \r\n  DviPdf=   dvipdfmx\r\n"
    "MkIdxOpt=\"-s myindex\"\r\nMkIdxNvr=1\r\nPdfSizeNo=0x0A\r\nPdfNShow=12abc\r\nPdfNeShow=abc\r\n"
    "Acr=-5\r\nEmpty=\r\nSpaced= 7 \r\nTeX=second value loses\r\n\r\n"
    "[editor]\r\nedit=C:\\Program Files\\" + kHyo + "\\" + kSo + "\\notepad.exe\r\n\r\n"
    "[RFL]\r\nFile0=C:\\" + kHyo + "\\" + kSo + ".tex\r\nFile1=D:\\work\\paper.tex\r\n"
    "FILE2=d:\\" + kSo + "\r\nFile3=\r\nFile4=C:\\later.tex\r\n";

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
    EXPECT_EQ(kHyo + kSo, "\x95\x5C\x83\x5C");  // the literals are CP932 here
    // Windows itself would drop the trailing blanks of a default.
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "Absent", "-s myindex  "), "-s myindex  ");
    EXPECT_EQ(own_.getString(ownFile_, "Settings", "Absent", "-s myindex  "), "-s myindex  ");
    // Values are cut alike at 4095 bytes.
    startWith("[Settings]\r\nTeX=" + std::string(5000, 'x') + "\r\n");
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "TeX", "").size(), 4095u);
    expectSameReads({{"Settings", "TeX"}}, "a long value");

    // Numbers: the prefixes and their case, control characters before the
    // digits, values longer than the 30 characters the function reads.
    const std::vector<std::string> numbers = {
        "0X1f", "0x1F", "0b101", "0o17", "-0b11", "0b2", "00x10", "\x01" "5", "+-3",
        std::string(29, '0') + "1", std::string(28, '0') + "1", std::string(30, '9'), "0o777777777777",
    };
    std::string content = "[N]\r\n";
    std::vector<Query> numberQueries;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        content += "n" + std::to_string(i) + "=" + numbers[i] + "\r\n";
        numberQueries.push_back({"N", "n" + std::to_string(i)});
    }
    startWith(content);
    expectSameReads(numberQueries, "numbers");
}

TEST_F(ProfileAgreement, ReadsAgreeWithoutAFileAndAfterEveryWrite) {
    expectSameReads(kQueries, "no file");
    applyToBoth({"RFL", "File0", "C:\\" + kHyo + ".tex"});
    expectSameReads(kQueries, "a new file");
    startWith(kAwkwardFile);
    const std::vector<Write> writes = {
        {"Settings", "PdfNShow", "0"}, {"Settings", "PdfSizeNo", "1"},
        {"settings", "tex", "C:\\" + kHyo + "\\bin\\platex.exe"}, {"Settings", "Bib", std::nullopt},
        {"Settings", "Absent", std::nullopt}, {"Editor", "EDIT", ""},
        {"RFL", "File0", "C:\\" + kSo + "\\" + kHyo + ".tex"}, {"RFL", "File5", "E:\\new.tex"},
        {"Missing", "TeX", "made"}, {"Settings", "Spaced", "  padded  "}, {"Missing", "TeX", std::nullopt},
    };
    for (const Write& w : writes) {
        applyToBoth(w);
        expectSameReads(kQueries, "after writing [" + w.section + "] " + w.key);
    }
}

TEST_F(ProfileAgreement, EachLayerReadsWhatTheOtherWrote) {
    const std::string document = "C:\\" + kSo + "\\a.tex";
    win32_.writeString(win32File_, "RFL", "File0", document);
    own_.writeString(ownFile_, "RFL", "File0", document);
    EXPECT_EQ(own_.getString(win32File_, "RFL", "File0", ""), document);
    EXPECT_EQ(win32_.getString(ownFile_, "RFL", "File0", ""), document);
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
    for (const char* line : {"[A]\r\n", "b=1\r\n"}) {
        EXPECT_TRUE(store.update(path, [line](const std::optional<std::string>& before) {
            return std::optional<std::string>(before.value_or("") + line);
        }));
    }
    // Nothing to change: the file stays as it is.
    EXPECT_TRUE(store.update(path, [](const std::optional<std::string>&) { return std::optional<std::string>(); }));
    EXPECT_EQ(store.read(path).value_or(""), "[A]\r\nb=1\r\n");

    // Nothing beside the file but its lock file.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(scratch.file("Kestro.ini*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Kestro.ini", "Kestro.ini.lock"}));
}

}  // namespace
}  // namespace kestro
