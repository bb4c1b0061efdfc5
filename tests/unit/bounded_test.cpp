/* Bounded buffer writes: always terminated, never past the end, truncation reported. */
#include "common/bounded.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

struct Guarded {
    char buffer[8];
    char canary[8];
};

Guarded Fresh()
{
    Guarded g;
    memset(&g, '#', sizeof g);
    return g;
}

TEST(BoundedTest, CopyAppendAndFormatStopAtTheEnd)
{
    struct Case {
        const char *name;
        int (*write)(Guarded &);
        int fitted;
        const char *text;
    } cases[] = {
        {"copy fits", [](Guarded &g) { return copy_bounded(g.buffer, "1234567"); }, 1, "1234567"},
        {"copy cut", [](Guarded &g) { return copy_bounded(g.buffer, "123456789"); }, 0, "1234567"},
        {"append fits",
         [](Guarded &g) { copy_bounded(g.buffer, "abc"); return append_bounded(g.buffer, "defg"); }, 1,
         "abcdefg"},
        {"append cut",
         [](Guarded &g) { copy_bounded(g.buffer, "abc"); return append_bounded(g.buffer, "defgh"); }, 0,
         "abcdefg"},
        {"append to full",
         [](Guarded &g) { copy_bounded(g.buffer, "abcdefg"); return append_bounded(g.buffer, "h"); }, 0,
         "abcdefg"},
        {"format fits", [](Guarded &g) { return format_bounded(g.buffer, "FL%d", 12); }, 1, "FL12"},
        {"format cut", [](Guarded &g) { return format_bounded(g.buffer, "%s-%ld", "abcd", 12345L); }, 0,
         "abcd-12"},
        /* The run-time library leaves no terminator when the text fills the buffer exactly. */
        {"format fills", [](Guarded &g) { return format_bounded(g.buffer, "%s", "12345678"); }, 0, "1234567"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Guarded g = Fresh();
        EXPECT_EQ(c.write(g), c.fitted);
        EXPECT_STREQ(g.buffer, c.text);
        EXPECT_EQ(std::string(g.canary, sizeof g.canary), std::string(8, '#'));
    }
}

TEST(BoundedTest, AppendToUnterminatedBufferStaysInside)
{
    Guarded g = Fresh();
    EXPECT_EQ(append_bounded(g.buffer, "x"), 0);
    EXPECT_EQ(g.buffer[7], '\0');
    EXPECT_EQ(std::string(g.canary, sizeof g.canary), std::string(8, '#'));
}

}  // namespace
