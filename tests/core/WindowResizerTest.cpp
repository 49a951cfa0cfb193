#include "core/WindowResizer.h"

#include <gtest/gtest.h>

using fundora::core::WindowResizer;

namespace {

WindowResizer::Control control(int id, int type, QRect r)
{
    WindowResizer::Control c;
    c.id = id;
    c.type = type;
    c.designed = r;
    return c;
}

class WindowResizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resizer.init(QSize(200, 100),
                     {control(3, WindowResizer::Button, QRect(150, 80, 40, 12)), control(1, WindowResizer::Entry, QRect(10, 10, 100, 12)),
                      control(2, WindowResizer::Button, QRect(10, 30, 40, 12)),
                      control(4, WindowResizer::StringControl, QRect(100, 50, 20, 10))});
    }
    WindowResizer resizer;
};

TEST_F(WindowResizerTest, ControlsAreKeptInIdOrderWithTheirStrategies)
{
    ASSERT_EQ(resizer.controls().size(), 4u);
    EXPECT_EQ(resizer.controls()[0].id, 1);
    EXPECT_EQ(resizer.controls()[0].resize, WindowResizer::LockHeight);
    EXPECT_EQ(resizer.controls()[1].positional, 4112);
    EXPECT_EQ(resizer.controls()[1].resize, 3);
}

TEST_F(WindowResizerTest, DoublingTheWindow)
{
    const auto g = resizer.resize(QSize(400, 200));
    ASSERT_EQ(g.size(), 4u);
    EXPECT_EQ(g[0], QRect(20, 20, 200, 12)) << "an entry grows in width and keeps its height";
    EXPECT_EQ(g[1], QRect(10, 30, 40, 12)) << "a button near the top left stays put";
    EXPECT_EQ(g[2], QRect(350, 180, 40, 12)) << "a button near the bottom right keeps its distance to both edges";
    EXPECT_EQ(g[3], QRect(200, 100, 40, 20)) << "other controls scale";
}

TEST_F(WindowResizerTest, BackToTheDesignedSizeRestoresEverything)
{
    resizer.resize(QSize(333, 177));
    const auto g = resizer.resize(QSize(200, 100));
    EXPECT_EQ(g[0], QRect(10, 10, 100, 12));
    EXPECT_EQ(g[2], QRect(150, 80, 40, 12));
    EXPECT_EQ(g[3], QRect(100, 50, 20, 10));
}

TEST_F(WindowResizerTest, SameSizeMovesNothing)
{
    EXPECT_TRUE(resizer.resize(QSize(200, 100)).empty());
    resizer.resize(QSize(300, 100));
    EXPECT_TRUE(resizer.resize(QSize(300, 100)).empty());
}

TEST_F(WindowResizerTest, OnlyTheHeightChangedLeavesHorizontalPositions)
{
    const auto g = resizer.resize(QSize(200, 150));
    EXPECT_EQ(g[2].x(), 150);
    EXPECT_EQ(g[2].y(), 130);
    EXPECT_EQ(g[0].x(), 10);
    EXPECT_EQ(g[0].y(), 15);
}

TEST(WindowResizerModes, AnyOtherModeScalesEverything)
{
    WindowResizer r;
    r.init(QSize(100, 100), {control(1, WindowResizer::Button, QRect(80, 80, 10, 10))}, 0);
    EXPECT_EQ(r.resize(QSize(200, 200))[0], QRect(160, 160, 20, 20));
}

} // namespace
