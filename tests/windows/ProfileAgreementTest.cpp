// The Win32 private-profile functions and the project's own INI layer give
// the same answers on the same files: Kestro.ini is shared between them,
// and the Linux bar uses the own layer alone.
#include <fstream>
#include <sstream>

#include "Win32TestSupport.h"
#include "settings/IniProfile.h"

namespace kestro {
namespace {

// Japanese texts compile to CP932 here; 表 and ソ end in the byte 0x5C.
const std::string kHyo = "表", kSo = "ソ";

struct Query { std::string section, key; };

// The own layer's storage in plain files: one writer here, no locks needed.
struct PlainFileStore : TextFileStore {
    std::optional<std::string> read(const std::string& path) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool update(const std::string& path, const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override {
        const std::optional<std::string> content = edit(read(path));
        return !content || static_cast<bool>(std::ofstream(path, std::ios::binary) << *content);
    }
};

class ProfileAgreement : public ::testing::Test {
protected:
    void startWith(const std::string& content) {
        wintest::writeFile(win32File_, content);
        wintest::writeFile(ownFile_, content);
    }
    // Every query gives the same string (with two defaults, so a default
    // cannot pass for a value) and the same number.
    void expectSameReads(const std::vector<Query>& queries, const std::string& when) {
        for (const Query& q : queries) {
            SCOPED_TRACE(when + ": [" + q.section + "] " + q.key);
            for (const std::string& fallback : {std::string("<none>"), std::string()}) {
                EXPECT_EQ(win32_.getString(win32File_, q.section, q.key, fallback),
                          own_.getString(ownFile_, q.section, q.key, fallback));
            }
            EXPECT_EQ(win32_.getInt(win32File_, q.section, q.key, -77), own_.getInt(ownFile_, q.section, q.key, -77));
        }
    }

    wintest::ScratchDirectory scratch_{"kestro-ini"};
    std::string win32File_ = scratch_.file("win32.ini"), ownFile_ = scratch_.file("own.ini");
    Win32Profile win32_;
    PlainFileStore store_;
    IniProfile own_{store_, CodePage::Cp932};
};

const std::string kAwkwardFile =
    "[Settings]\r\nTeX=c:\\w32tex\\bin\\platex.exe\r\nBib = jbibtex \r\n  DviPdf=   dvipdfmx\r\n"
    "MkIdxOpt=\"-s myindex\"\r\nPdfSizeNo=0x0A\r\nPdfNShow=12abc\r\nPdfNeShow=abc\r\nAcr=-5\r\nEmpty=\r\n"
    "Spaced= 7 \r\nTeX=second value loses\r\n\r\n[editor]\r\nedit=C:\\Program Files\\" + kHyo + "\\" + kSo +
    "\\notepad.exe\r\n\r\n[RFL]\r\nFile0=C:\\" + kHyo + "\\" + kSo + ".tex\r\nFILE2=d:\\" + kSo + "\r\nFile3=\r\n";

const std::vector<Query> kQueries = {
    {"Settings", "TeX"}, {"Settings", "Bib"}, {"Settings", "DviPdf"}, {"Settings", "MkIdxOpt"},
    {"Settings", "PdfSizeNo"}, {"Settings", "PdfNShow"}, {"Settings", "PdfNeShow"}, {"Settings", "Acr"},
    {"Settings", "Empty"}, {"Settings", "Spaced"}, {"SETTINGS", "tex"}, {"Editor", "EDIT"}, {"RFL", "File0"},
    {"rfl", "file2"}, {"RFL", "File3"}, {"RFL", "File5"}, {"Missing", "TeX"},
};

TEST_F(ProfileAgreement, ReadsOfAnAwkwardFileAgree) {
    startWith(kAwkwardFile);
    expectSameReads(kQueries, "as written by hand");
    // A few answers fixed, so that both agreeing on nonsense is noticed too.
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "Bib", "x"), "jbibtex");
    EXPECT_EQ(win32_.getInt(win32File_, "Settings", "PdfNShow", 3), 12);
    EXPECT_EQ(win32_.getString(win32File_, "RFL", "File0", ""), "C:\\" + kHyo + "\\" + kSo + ".tex");
    EXPECT_EQ(kHyo + kSo, "\x95\x5C\x83\x5C");  // the literals are CP932 here
    startWith("[Settings]\r\nTeX=" + std::string(5000, 'x') + "\r\n");
    EXPECT_EQ(win32_.getString(win32File_, "Settings", "TeX", "").size(), 4095u);
    expectSameReads({{"Settings", "TeX"}}, "a long value");

    // Numbers: the prefixes and their case, control characters before the
    // digits, values longer than the 30 characters the function reads.
    const std::vector<std::string> numbers = {"0X1f", "0x1F", "0b101", "0o17", "-0b11", "0b2", "00x10", "\x01" "5",
                                              "+-3", std::string(29, '0') + "1", std::string(28, '0') + "1",
                                              std::string(30, '9'), "0o777777777777"};
    std::string content = "[N]\r\n";
    std::vector<Query> numberQueries;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        content += "n" + std::to_string(i) + "=" + numbers[i] + "\r\n";
        numberQueries.push_back({"N", "n" + std::to_string(i)});
    }
    startWith(content);
    expectSameReads(numberQueries, "numbers");
}

TEST_F(ProfileAgreement, ReadsAgreeWithoutAFileAndAfterEveryWriteAndEachReadsTheOthers) {
    expectSameReads(kQueries, "no file");
    startWith(kAwkwardFile);
    const std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> writes = {
        {"Settings", "PdfNShow", "0"}, {"settings", "tex", "C:\\" + kHyo + "\\bin\\platex.exe"},
        {"Settings", "Bib", std::nullopt}, {"Settings", "Absent", std::nullopt}, {"Editor", "EDIT", ""},
        {"RFL", "File0", "C:\\" + kSo + "\\" + kHyo + ".tex"}, {"RFL", "File5", "E:\\new.tex"},
        {"Missing", "TeX", "made"}, {"Settings", "Spaced", "  padded  "}, {"Missing", "TeX", std::nullopt},
    };
    for (const auto& [section, key, value] : writes) {
        EXPECT_TRUE(win32_.writeString(win32File_, section, key, value));
        EXPECT_TRUE(own_.writeString(ownFile_, section, key, value));
        expectSameReads(kQueries, "after writing [" + section + "] " + key);
    }
    EXPECT_EQ(own_.getString(win32File_, "RFL", "File0", ""), "C:\\" + kSo + "\\" + kHyo + ".tex");
    EXPECT_EQ(win32_.getString(ownFile_, "RFL", "File5", ""), "E:\\new.tex");
    // A file without name is never touched: the write would go to WIN.INI.
    EXPECT_EQ(win32_.getString("", "windows", "load", "fallback"), "fallback");
    EXPECT_EQ(win32_.getInt("", "windows", "BorderWidth", 42), 42);
    EXPECT_FALSE(win32_.writeString("", "Kestro", "Probe", std::string("1")));
    char buffer[16];
    GetProfileStringA("Kestro", "Probe", "absent", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "absent");
}

}  // namespace
}  // namespace kestro
