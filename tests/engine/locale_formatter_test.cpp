#include "engine/locale_formatter.h"

#include <clocale>

#include <gtest/gtest.h>

namespace ostrel::engine {
namespace {

using schema::DateTime;

const DateTime kEvening{2026, 12, 6, 18, 15, 30};
const DateTime kMorning{2026, 3, 4, 6, 5, 9};
const DateTime kMidnight{2026, 12, 6, 0, 0, 0};
const DateTime kJustAfterMidnight{2026, 12, 6, 0, 0, 1};
const DateTime kNoon{2026, 12, 6, 12, 0, 0};

// The patterns glibc gives for these locales.
const LocaleDateParts kUnitedStates{"%m/%d/%Y", "%I:%M:%S %p", "AM", "PM"};
const LocaleDateParts kGermany{"%d.%m.%Y", "%T", "", ""};
const LocaleDateParts kBritain{"%d/%m/%y", "%T", "", ""};
const LocaleDateParts kSweden{"%Y-%m-%d", "%H:%M:%S", "", ""};

TEST(GeneralDate, UnitedStates) {
    EXPECT_EQ(FormatGeneralDate(kUnitedStates, kEvening), "12/6/2026 6:15:30 PM");
    EXPECT_EQ(FormatGeneralDate(kUnitedStates, kMorning), "3/4/2026 6:05:09 AM");
    EXPECT_EQ(FormatGeneralDate(kUnitedStates, kNoon), "12/6/2026 12:00:00 PM");
    EXPECT_EQ(FormatGeneralDate(kUnitedStates, kJustAfterMidnight), "12/6/2026 12:00:01 AM");
}

TEST(GeneralDate, TimeLeftOutOnlyAtExactlyMidnight) {
    EXPECT_EQ(FormatGeneralDate(kUnitedStates, kMidnight), "12/6/2026");
    EXPECT_EQ(FormatGeneralDate(kGermany, kMidnight), "6.12.2026");
    EXPECT_EQ(FormatGeneralDate(LocaleDateParts{}, kMidnight), "2026-12-06");
}

TEST(GeneralDate, OtherLocalesUseTheirOrderAndAFourDigitYear) {
    EXPECT_EQ(FormatGeneralDate(kGermany, kMorning), "4.3.2026 6:05:09");
    EXPECT_EQ(FormatGeneralDate(kBritain, kEvening), "6/12/2026 18:15:30");
    EXPECT_EQ(FormatGeneralDate(kSweden, kMorning), "2026-03-04 06:05:09");
}

TEST(GeneralDate, CAndPosixLocalesWriteIsoDates) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        const auto parts = LoadLocaleDateParts(name);
        ASSERT_TRUE(parts.has_value()) << name;
        EXPECT_EQ(FormatGeneralDate(*parts, kEvening), "2026-12-06 18:15:30") << name;
        EXPECT_EQ(FormatGeneralDate(*parts, kMorning), "2026-03-04 06:05:09") << name;
    }
    EXPECT_EQ(MakeLocaleFormatter("C")->FormatDateTime(kEvening), "2026-12-06 18:15:30");
}

TEST(GeneralDate, InstalledUnitedStatesLocale) {
    const auto parts = LoadLocaleDateParts("en_US.UTF-8");
    if (!parts) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    EXPECT_EQ(FormatGeneralDate(*parts, kEvening), "12/6/2026 6:15:30 PM");
}

TEST(GeneralDate, UnknownLocaleIsReportedAndTheFormatterFallsBackToIso) {
    EXPECT_FALSE(LoadLocaleDateParts("xx_NOWHERE.UTF-8").has_value());
    EXPECT_EQ(MakeLocaleFormatter("xx_NOWHERE.UTF-8")->FormatDateTime(kEvening),
              "2026-12-06 18:15:30");
}

TEST(GeneralDate, NowIsAPlausibleLocalTime) {
    const DateTime now = MakeLocaleFormatter("C")->Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_LE(now.hour, 23);
}

}  // namespace
}  // namespace ostrel::engine
