// LED display commands and the status verdict.
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

TEST(LedCommands, Bytes)
{
    EXPECT_EQ(hex(buildLedUnitPrice()), "1B 73 31");
    EXPECT_EQ(hex(buildLedTotal()), "1B 73 32");
    EXPECT_EQ(hex(buildLedAmount("12345678")), "1B 51 41 31 32 33 34 35 36 37 38 0D");
    EXPECT_EQ(hex(buildLedAmount("")), "1B 51 41 0D");
    EXPECT_EQ(hex(buildLedClear()), "0C");
    EXPECT_EQ(hex(buildLedClearLine()), "18");
    EXPECT_EQ(hex(buildLedInit()), "1B 40");
}

TEST(StatusCheck, SeriesAndVerdicts)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(hex(printerSeries(i).request), "10 04 01");
        EXPECT_EQ(printerSeries(i).statusBit, 0x08);
    }
    EXPECT_EQ(hex(printerSeries(3).request), "1B 76");
    EXPECT_EQ(printerSeries(3).statusBit, 0x04);

    const PrinterSeries &dle = printerSeries(2);
    EXPECT_EQ(statusString(std::string(5, '\x12'), 0x08), "00000");
    EXPECT_EQ(judgeStatus("00000", dle), StatusVerdict::Online);
    EXPECT_EQ(statusString(std::string(5, '\x1A'), 0x08), "88888");
    EXPECT_EQ(judgeStatus("88888", dle), StatusVerdict::Offline);
    EXPECT_EQ(statusString(std::string(5, '\x0C'), 0x04), "44444");
    EXPECT_EQ(judgeStatus("44444", printerSeries(3)), StatusVerdict::Offline);
    EXPECT_EQ(judgeStatus("0000", dle), StatusVerdict::NotFound);
    EXPECT_EQ(judgeStatus("", dle), StatusVerdict::NotFound);
    EXPECT_EQ(statusString("\x12\x1A\x12", 0x08), "080");
    EXPECT_EQ(judgeStatus("08000", dle), StatusVerdict::NotFound);
    EXPECT_EQ(judgeStatus("88888", printerSeries(3)), StatusVerdict::NotFound);
}
