// The board's plain rules: aiming, the step wait, the texts and the slots.
#include "rules/board_rules.h"
#include "rules/slots.h"

#include <gtest/gtest.h>

namespace {

TEST(Aim, RoundsHalfToEvenClampsAndKeepsEven) {
    const std::pair<float, int> cases[] = {{150, 200},    {199.4f, 200}, {200, 200}, {201, 200},
                                           {300.5f, 300}, {301.5f, 302}, {301, 300}, {399, 398},
                                           {400.4f, 400}, {401, 400},    {-7, 200},  {1e4f, 400}};
    for (auto [x, aimed] : cases)
        EXPECT_EQ(pegdrop::AimChipX(x), aimed) << x;
}

TEST(StepWait, CountsAsManyAsTheSpeedLeaves) {
    EXPECT_EQ(pegdrop::StepWaitCounts(1), 998501);
    EXPECT_EQ(pegdrop::StepWaitCounts(300), 550001);
    EXPECT_EQ(pegdrop::StepWaitCounts(500), 250001);
    EXPECT_EQ(pegdrop::StepWaitCounts(666), 1001);
    EXPECT_EQ(pegdrop::StepWaitCounts(667), 0);
    EXPECT_EQ(pegdrop::StepWaitCounts(0), 1000001);
    EXPECT_EQ(pegdrop::StepWaitCounts(-1), 1001501);
    for (std::int16_t speed : {1, 300, 500, 666, 667, 32767})
        EXPECT_EQ(pegdrop::StepWait(speed), pegdrop::StepWaitCounts(speed)) << speed;
}

TEST(Messages, ChipsLeftAndClosing) {
    EXPECT_EQ(pegdrop::ChipsLeftMessage(4), "You have 4 chips left");
    EXPECT_EQ(pegdrop::ChipsLeftMessage(1), "You have 1 chip left");
    EXPECT_EQ(pegdrop::ClosingMessage(10600),
              "You finish with $10,600\rThank you for playing PEGDROP!");
    EXPECT_EQ(pegdrop::ClosingMessage(0), "You finish with $0\rThank you for playing PEGDROP!");
    EXPECT_EQ(pegdrop::ClosingMessage(12500, ""),
              "You finish with $12,500\rThank you for playing PEGDROP!")
        << "a locale without a separator";
    EXPECT_EQ(pegdrop::GroupThousands(999), "999");
    EXPECT_EQ(pegdrop::GroupThousands(1000), "1,000");
    EXPECT_EQ(pegdrop::GroupThousands(90000), "90,000");
    EXPECT_EQ(pegdrop::GroupThousands(1234567), "1,234,567");
}

TEST(Slots, LandingRangesMeetTheSlotEdges) {
    const std::pair<int, int> edges[] = {
        {189, 1}, {213, 1}, {219, 2}, {237, 2}, {243, 3}, {261, 3}, {267, 4}, {285, 4}, {291, 5},
        {309, 5}, {315, 6}, {333, 6}, {339, 7}, {357, 7}, {363, 8}, {381, 8}, {387, 9}, {400, 9}};
    for (auto [x, slot] : edges) {
        ASSERT_NE(pegdrop::SlotForX(x), nullptr) << x;
        EXPECT_EQ(pegdrop::SlotForX(x)->number, slot) << x;
    }
    for (int gap : {214, 218, 238, 262, 286, 310, 334, 358, 382, 386})
        EXPECT_EQ(pegdrop::SlotForX(gap), nullptr) << gap;
    const int prizes[] = {100, 500, 1000, 0, 10000, 0, 1000, 500, 100};
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(pegdrop::SlotByNumber(n)->prize, prizes[n - 1]);
    EXPECT_EQ(pegdrop::SlotByNumber(0), nullptr);
    EXPECT_EQ(pegdrop::SlotByNumber(10), nullptr);
}

} // namespace
