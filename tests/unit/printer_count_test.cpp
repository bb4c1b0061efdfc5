/* The printer counter and its memory-block helpers. */
#include "install/printer_count.h"
#include "support.h"

namespace {

const char kEnum[] = "EnumPrintersA(6,NULL,2,";

/* The buffer sizes EnumPrintersA was called with, in order. */
std::vector<std::string> EnumSizes()
{
    std::vector<std::string> sizes;
    for (const std::string &call : standin::state().calls)
        if (call.compare(0, sizeof kEnum - 1, kEnum) == 0) sizes.push_back(call.substr(sizeof kEnum - 1));
    return sizes;
}

TEST(PrinterCountTest, CountsLocalPrintersAndConnections)
{
    /* A level-2 record takes 248 bytes per printer in the stand-in. */
    struct Case {
        const char *name;
        int local, connections;
        std::vector<standin::SpoolerAnswer> answers;
        int allocationsBeforeFailure;
        int count;
        std::vector<std::string> sizes;
        std::vector<std::string> trace;
    } cases[] = {
        {"no printers", 0, 0, {}, -1, 0, {"0)"}, {}},
        {"local and connections", 2, 1, {}, -1, 3, {"0)", "744)"}, {}},
        {"connections only", 0, 2, {}, -1, 2, {"0)", "496)"}, {}},
        {"asks for more twice", 1, 0, {{0, 0}, {1, 0}, {1, 0}}, -1, 3, {"0)", "248)", "496)", "744)"}, {}},
        {"spooler error", 1, 0, {{0, 1722}}, -1, -1, {"0)"}, {"EnumPrinters FALSE = 1722"}},
        {"error after a buffer", 1, 0, {{0, 0}, {0, 5}}, -1, -1, {"0)", "248)"}, {"EnumPrinters FALSE = 5"}},
        {"error code read signed", 0, 0, {{0, 0x800706BA}}, -1, -1, {"0)"},
         {"EnumPrinters FALSE = -2147023174"}},
        {"no buffer to be had", 2, 0, {}, 0, 0, {"0)"}, {}},
        {"no bigger buffer to be had", 1, 0, {{0, 0}, {1, 0}}, 1, 0, {"0)", "248)"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        standin::state().localPrinters = c.local;
        standin::state().printerConnections = c.connections;
        standin::state().spoolerAnswers.assign(c.answers.begin(), c.answers.end());
        standin::state().allocationsBeforeFailure = c.allocationsBeforeFailure;
        EXPECT_EQ(CountPrinters(NULL), c.count);
        EXPECT_EQ(EnumSizes(), c.sizes);
        EXPECT_EQ(standin::state().debugLines, c.trace);
        EXPECT_TRUE(standin::state().globalBlocks.empty()) << "a buffer was left allocated";
    }
}

TEST(PrinterCountTest, AsksWinspoolFromTheSystemFolder)
{
    standin::Reset();
    standin::state().localPrinters = 1;
    EXPECT_EQ(CountPrinters(NULL), 1);
    EXPECT_TRUE(standin::Called("LoadLibraryA(C:\\WINDOWS\\system32\\winspool.drv)"));
    EXPECT_TRUE(standin::Called("GetProcAddress(EnumPrintersA)"));
    EXPECT_TRUE(standin::Called("GlobalAlloc(64,248)"));  /* fixed and zero-filled */

    /* No spooler to be loaded: an error like any other. */
    standin::Reset();
    standin::state().systemLibraries = {"comctl32.dll", "shlwapi.dll", "shell32.dll"};
    EXPECT_EQ(CountPrinters(NULL), -1);
    EXPECT_EQ(standin::state().debugLines, std::vector<std::string>{"EnumPrinters FALSE = 126"});
}

TEST(MemoryBlockTest, AllocatesZeroFilledAndReportsCodes)
{
    standin::Reset();
    LONG error = 99;
    EXPECT_EQ(AllocateBlock(0, &error), nullptr);
    EXPECT_EQ(error, -1);
    EXPECT_FALSE(standin::Called("GlobalAlloc"));

    void *block = AllocateBlock(32, &error);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(error, 0);
    for (int i = 0; i < 32; i++) EXPECT_EQ(((unsigned char *)block)[i], 0) << i;
    EXPECT_EQ(ReleaseBlock(block), 0);
    EXPECT_TRUE(standin::state().globalBlocks.empty());

    standin::state().allocationsBeforeFailure = 0;
    EXPECT_EQ(AllocateBlock(32, &error), nullptr);
    EXPECT_EQ(error, ERROR_NOT_ENOUGH_MEMORY);

    EXPECT_EQ(ReleaseBlock(NULL), -1);
    int notABlock;
    EXPECT_EQ(ReleaseBlock(&notABlock), ERROR_INVALID_HANDLE);
}

}  // namespace
