#include "alarm_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace fixwatch {
namespace {

struct GoodOption {
    const char* text;
    AlarmKind kind;
    double noDataSeconds;
    double hdopLimit;
    int satellites;
    double radius;
    std::optional<WgsPoint> point;
};

TEST(AlarmOption, EachKindTakesItsValueAndAKindAloneKeepsTheDefaults)
{
    const AlarmSettings d;
    // clang-format off
    const GoodOption cases[] = {
        {"no-data:5", AlarmKind::NoData, 5, d.hdopLimit, d.satellitesMinimum, d.anchorRadius, {}},
        {"no-data", AlarmKind::NoData, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, d.anchorRadius, {}},
        {"fix-lost", AlarmKind::FixLost, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, d.anchorRadius, {}},
        {"fix-degraded", AlarmKind::FixDegraded, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, d.anchorRadius, {}},
        {"hdop:2.5", AlarmKind::Hdop, d.noDataSeconds, 2.5, d.satellitesMinimum, d.anchorRadius, {}},
        {"satellites:6", AlarmKind::Satellites, d.noDataSeconds, d.hdopLimit, 6, d.anchorRadius, {}},
        {"anchor:30", AlarmKind::Anchor, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, 30, {}},
        {"anchor:30@45.1,7.6", AlarmKind::Anchor, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, 30, WgsPoint{45.1, 7.6}},
        {"anchor:5@-33.9,-70.65", AlarmKind::Anchor, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, 5, WgsPoint{-33.9, -70.65}},
        {"date", AlarmKind::Date, d.noDataSeconds, d.hdopLimit, d.satellitesMinimum, d.anchorRadius, {}},
    };
    // clang-format on
    for (const GoodOption& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto option = ReadAlarmOption(c.text, d, &error);
        ASSERT_TRUE(option) << error;
        EXPECT_EQ(option->kind, c.kind);
        EXPECT_EQ(option->settings.noDataSeconds, c.noDataSeconds);
        EXPECT_EQ(option->settings.hdopLimit, c.hdopLimit);
        EXPECT_EQ(option->settings.satellitesMinimum, c.satellites);
        EXPECT_EQ(option->settings.anchorRadius, c.radius);
        EXPECT_EQ(option->settings.anchorPoint, c.point);
    }
}

TEST(AlarmOption, ABadKindOrValueIsRefusedWithTheReason)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", "unknown alarm kind \"\""},
        {"frob", "unknown alarm kind \"frob\""},
        {"no-data:0", "seconds of no-data"},
        {"no-data:5s", "seconds of no-data"},
        {"no-data:1e999", "seconds of no-data"},
        {"fix-lost:3", "takes no value"},
        {"hdop:-1", "HDOP limit"},
        {"satellites:4.5", "whole number"},
        {"satellites:0", "whole number"},
        {"anchor:0", "anchor radius"},
        {"anchor:@45,7", "anchor radius"},
        {"anchor:30@91,7", "anchor point"},
        {"anchor:30@45", "anchor point"},
        {"anchor:30@45;7", "anchor point"},
    };
    // clang-format on
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(ReadAlarmOption(text, AlarmSettings{}, &error));
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
}

} // namespace
} // namespace fixwatch
