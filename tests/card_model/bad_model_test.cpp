// Models the reader refuses, one table: each row a file and every problem
// it must report (where, and a phrase of what), no more and no fewer.
#include <gtest/gtest.h>

#include "card_model/card_model.h"
#include "model_files.h"

namespace quorel::card_model {
namespace {

// The lines of a model file, numbered from 1.
#define REGISTER_A "[[register]]\nname = \"A\"\nindex = 1\n"  // lines 1..3
#define CTRL_AT(index) "[[register]]\nname = \"CTRL\"\nindex = " #index "\n" \
    "[[register.field]]\nname = \"MODE\"\nbits = \"2:1\"\nvalues = { slow = 1 }\n"  // 7 lines

struct Expected {
    const char* where;  // "bad.toml:3", or a sequence file's "over.txt:3"
    const char* phrase;
};

struct Row {
    const char* text;
    std::vector<Expected> problems;
};

// 65 periodic events, three lines each.
const std::string kTooManyEvents = [] {
    std::string text;
    for (int i = 0; i < 65; ++i)
        text += "[[event]]\nevery_us = 1\nactions = []\n";
    return text;
}();

const Row kRows[] = {
    {"a = [1,\nb = 2\n", {{"bad.toml:2", "not TOML"}}},
    // Characters outside ASCII: in strings and comments, but not elsewhere
    // (toml++ 3.3 reached an unreachable point on them there: UBSan shows it).
    {"# \xC2\xB5s\nname = \"caf\xC3\xA9\"\nx = 1 \xC3\xA9\n",
     {{"bad.toml:3", "not TOML: Error while parsing key-value pair: expected a comment or whitespace"}}},
    {"colour = 1\n" REGISTER_A, {{"bad.toml:1", "unknown key 'colour' in the model, expected one of name,"}}},
    {"[[register]]\nindex = \"5\"\ncolour = 1\n",
     {{"bad.toml:1", "[[register]] has no 'name'"}, {"bad.toml:2", "is a string, expected an integer"},
      {"bad.toml:3", "unknown key 'colour' in [[register]]"}}},
    {"[[register]]\nname = \"A\"\n", {{"bad.toml:1", "register A has no 'index'"}}},
    {"[[register]]\nname = \"A\"\nindex = 255\n", {{"bad.toml:3", "describe it in [csr]"}}},
    {"[[register]]\nname = \"A\"\nindex = -1\n", {{"bad.toml:3", "out of range, expected 0..254"}}},
    {REGISTER_A "[[register]]\nname = \"B\"\nindex = 1\n[[register]]\nname = \"a\"\nindex = 2\n",
     {{"bad.toml:4", "index 1, which register A (line 1) has"},
      {"bad.toml:7", "a second register named a (the first at line 1)"}}},
    {"[[register]]\nname = \"1A\"\nindex = 1\n[[register]]\nname = \"CSR\"\nindex = 2\n",
     {{"bad.toml:2", "not a name"}, {"bad.toml:5", "reserved for the control/status register"}}},
    {REGISTER_A "reset = 256\nfill = 1\naccess = \"read-wrote\"\n",
     {{"bad.toml:4", "'reset' of register A is 256, expected 0..255"},
      {"bad.toml:5", "only a write-only register reads as 'fill'"},
      {"bad.toml:6", "\"read-wrote\", expected one of read-write, read-only, write-only"}}},
    {REGISTER_A "[[register.field]]\nname = \"F\"\nbits = \"8\"\n[[register.field]]\nname = \"G\"\n"
                "bits = \"1:3\"\n[[register.field]]\nname = \"H\"\nbits = 2\n[[register.field]]\n"
                "name = \"I\"\nbits = \"3:2\"\nvalues = { big = 4 }\n",
     {{"bad.toml:6", "not a bit 0..7"}, {"bad.toml:9", "high bit 1 below its low bit 3"},
      {"bad.toml:13", "field I (bits 3:2) overlaps field H (bits 2) of register A (line 10)"},
      {"bad.toml:16", "'big' of 'values' of field I of register A is 4, expected 0..3"}}},
    {CTRL_AT(5) "[[command]]\nbyte = 1\nactions = [\"set CTRL.FOO\", \"set NOPE\", \"set csr.X\",\n"
                "\"frob CTRL\", \"write CTRL\", \"write CTRL 0x100\", \"write CTRL.MODE fast\", 7]\n",
     {{"bad.toml:10", "CTRL has no field FOO, expected one of MODE"},
      {"bad.toml:10", "there is no register NOPE, expected csr or one of CTRL"},
      {"bad.toml:10", "csr has no field X, expected one of none"},
      {"bad.toml:11", "\"frob CTRL\" is not one, expected reset, set X"},
      {"bad.toml:11", "\"write CTRL\" is not one"},
      {"bad.toml:11", "\"0x100\" does not fit CTRL, expected 0..255"},
      {"bad.toml:11", "\"fast\" is not a value for CTRL.MODE, expected 0..3 or one of slow"},
      {"bad.toml:11", "holds an integer, expected strings"}}},
    {REGISTER_A "source = { sequence = \"missing.txt\" }\n[[register]]\nname = \"B\"\nindex = 2\n"
                "source = { sequence = \"over.txt\" }\n[[register]]\nname = \"C\"\nindex = 3\n"
                "source = { sequence = \"empty.txt\" }\n",
     {{"bad.toml:4", "cannot read the sequence file missing.txt: no such file"},
      {"over.txt:3", "300 is over 255"}, {"bad.toml:12", "empty.txt holds no value"}}},
    {REGISTER_A "source = { constant = 1, counter = {}, loop = true }\n",
     {{"bad.toml:4", "names more than one source"}}},
    {REGISTER_A "access = \"write-only\"\nread = \"clear\"\nsource = { constant = 1 }\n"
                "[[register]]\nname = \"B\"\nindex = 2\naccess = \"read-only\"\nwrite = \"oneToClear\"\n",
     {{"bad.toml:5", "'read' of register A contradicts access = \"write-only\""},
      {"bad.toml:6", "'source' of register A contradicts access = \"write-only\""},
      {"bad.toml:11", "'write' of register B contradicts access = \"read-only\""}}},
    {REGISTER_A "[[event]]\nactions = []\n[[event]]\nevery_us = 5\nafter_write = \"A\"\nactions = []\n"
                "[[event]]\nevery_us = 5\ndelay_us = 1\nactions = []\n[[event]]\nafter_write = \"A\"\n",
     {{"bad.toml:4", "neither 'every_us' and 'after_write'"}, {"bad.toml:6", "both"},
      {"bad.toml:12", "'delay_us' of [[event]] applies to after_write"},
      {"bad.toml:14", "[[event]] has no 'actions'"}}},
    {CTRL_AT(5) REGISTER_A "[[event]]\nafter_write = \"A\"\nactions = [\"set CTRL.MODE\"]\n[[event]]\n"
                           "after_write = \"CTRL.MODE\"\nactions = [\"clear CTRL.MODE\", \"write A 0\"]\n"
                           "[[event]]\nafter_write = \"A\"\ndelay_us = 1\nactions = [\"write A 1\"]\n"
                           "[[event]]\nafter_write = \"csr\"\nactions = [\"toggle csr\"]\n",
     {{"bad.toml:11", "the events at lines 11, 14 arm each other with delay_us = 0"},
      {"bad.toml:21", "the event at line 21 arms itself"}}},
    {"[[command]]\nbyte = 3\nactions = []\n[[command]]\nbyte = 3\nactions = []\n[interrupt]\n"
     "enable = \"csr\"\n",
     {{"bad.toml:4", "a second command for the byte 0x03"}, {"bad.toml:7", "[interrupt] has no 'pending'"}}},
    {kTooManyEvents.c_str(), {{"bad.toml:193", "one [[event]] too many: a model has at most 64 events"}}},
};

TEST(CardModelReader, RefusesEachMistakeWithItsLine) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.text);
        std::vector<Problem> problems;
        EXPECT_FALSE(ParseCardModel(row.text, "bad.toml", ReadFakeFile, &problems));
        std::string all;
        for (const Problem& problem : problems)
            all += "\n  " + problem.Text();
        EXPECT_EQ(problems.size(), row.problems.size()) << all;
        for (const Expected& expected : row.problems) {
            const std::string where = std::string(expected.where) + ": ";
            const bool found = std::any_of(problems.begin(), problems.end(), [&](const Problem& problem) {
                const std::string text = problem.Text();
                return text.rfind(where, 0) == 0 && text.find(expected.phrase) != std::string::npos;
            });
            EXPECT_TRUE(found) << where << "..." << expected.phrase << " not among:" << all;
        }
    }
}

TEST(CardModelReader, SaysWhenTheFileCannotBeRead) {
    std::vector<Problem> problems;
    EXPECT_FALSE(ReadCardModel("no-such-folder/card.toml", &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Text().rfind("no-such-folder/card.toml: cannot read the file: ", 0), 0u);
}

}  // namespace
}  // namespace quorel::card_model
