#include "app/VersionReader.h"

#include <gtest/gtest.h>

using namespace vocamo;

TEST(VersionReader, ProgramRecordIsTheProjectVersionAndAMissingOneIsEmpty)
{
    const CVersionReader reader;
    EXPECT_EQ(reader.GetProductVersion(), VOCAMO_VERSION_RECORD);
    EXPECT_EQ(reader.GetFileVersion(), VOCAMO_VERSION_RECORD);
    const CVersionReader missing(QStringLiteral(":/version/no-such-record"));
    EXPECT_EQ(missing.GetProductVersion(), "");
    EXPECT_EQ(missing.GetFileVersion(), "");
}

TEST(VersionReader, RecordKeepsEveryDigitAndDropsSurroundingBlanks)
{
    EXPECT_EQ(CVersionReader::FromText("10,20,300,4000").GetProductVersion(), "10,20,300,4000");
    EXPECT_EQ(CVersionReader::FromText(" 2,1,0,7\r\n").GetProductVersion(), "2,1,0,7");
    EXPECT_EQ(CVersionReader::FromText("65535,0,007,0").GetProductVersion(), "65535,0,7,0");
}

TEST(VersionReader, TextThatIsNotFourSixteenBitNumbersIsNoRecord)
{
    for (const char *text : {"", "1,2,3", "1,2,3,4,5", "1,,3,4", "1,2,3,", "65536,0,0,0", "1,2,3,x",
                             "-1,2,3,4", "1, 2,3,4", "99999999999999999999,1,1,1"}) {
        EXPECT_EQ(CVersionReader::FromText(text).GetProductVersion(), "") << text;
    }
}
