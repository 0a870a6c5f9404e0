// The start-up document comes from the command-line tail as the C runtime
// cuts it.
#include <gtest/gtest.h>

#include "CommandTail.h"

namespace kestro {
namespace {

TEST(CommandLineTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
    EXPECT_EQ(commandLineTail("Kestro.exe C:\\work\\paper.tex"), "C:\\work\\paper.tex");
    EXPECT_EQ(commandLineTail("Kestro.exe \t  paper.tex"), "paper.tex");
    EXPECT_EQ(commandLineTail("Kestro.exe"), "");
    EXPECT_EQ(commandLineTail("Kestro.exe   "), "");
    EXPECT_EQ(commandLineTail(""), "");
}

TEST(CommandLineTail, AQuotedProgramNameIsOneWord) {
    EXPECT_EQ(commandLineTail("\"C:\\Program Files\\Kestro\\Kestro.exe\" paper.tex"), "paper.tex");
    EXPECT_EQ(commandLineTail("\"C:\\Program Files\\Kestro.exe\""), "");
    // Quotes inside the name toggle too, as the C runtime counts them.
    EXPECT_EQ(commandLineTail("C:\\\"Program Files\"\\Kestro.exe x"), "x");
}

TEST(CommandLineTail, KeepsTheRestExactly) {
    // Quotes, inner blanks and trailing blanks are the document's own.
    EXPECT_EQ(commandLineTail("Kestro.exe \"C:\\my work\\paper.tex\""), "\"C:\\my work\\paper.tex\"");
    EXPECT_EQ(commandLineTail("Kestro.exe C:\\my work\\paper.tex  "), "C:\\my work\\paper.tex  ");
    EXPECT_EQ(commandLineTail("C:\\表\\Kestro.exe C:\\表\\ソ.tex"), "C:\\表\\ソ.tex");
}

}  // namespace
}  // namespace kestro
