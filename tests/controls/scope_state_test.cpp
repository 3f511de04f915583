#include "scope_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// A control of 400 by 200 pixels with the defaults, laid out as the control does on creation.
ScopeModel LaidOut(int width = 400, int height = 200) {
    ScopeModel m;
    m.Layout(width, height);
    m.PlaceLabels();
    m.ring.Resize(m.Capacity());
    return m;
}

std::vector<double> Contents(const ScopeRing& ring, int count) {
    return {ring.samples().begin(), ring.samples().begin() + count};
}

TEST(ScopeLayout, DefaultsOn400By200) {
    const ScopeModel m = LaidOut();
    EXPECT_EQ(m.plot.left, 42);
    EXPECT_EQ(m.plot.right, 390);
    EXPECT_EQ(m.plot.top, 10);
    EXPECT_EQ(m.plot.bottom, 175);
    EXPECT_EQ(m.plotWidth, 348);
    EXPECT_EQ(m.plotHeight, 165);
    EXPECT_EQ(m.layerWidth, 400);
    EXPECT_EQ(m.layerHeight, 200);
    EXPECT_DOUBLE_EQ(m.yScale, 165.0 / 20.0);
    EXPECT_EQ(m.Capacity(), 116);
    EXPECT_EQ(m.ring.capacity(), 116);
    EXPECT_EQ(m.ring.writeIndex(), 0);
    EXPECT_FALSE(m.ring.full());
}

TEST(ScopeLayout, LabelDigitsOfRangeEnds) {
    const struct {
        double value;
        int digits;
    } cases[] = {
        {10.0, 1},
        {-10.0, 1},
        {100.0, 2},
        {99999.0, 4},
        {1.0, 0},
        {9.99, 0},
        {0.5, 0},
        {0.001, 3},
        // A range end of 0 has no logarithm: it counts as one digit.
        {0.0, 1},
        {-0.0, 1},
        {std::numeric_limits<double>::infinity(), 1},
        {std::numeric_limits<double>::quiet_NaN(), 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScopeLabelDigits(c.value), c.digits) << c.value;
    }
}

TEST(ScopeLayout, ZeroRangeEndAndDecimalsMoveThePlotEdge) {
    ScopeModel m;
    m.Layout(400, 200);
    m.SetRange(0.0, -1000.0);
    m.PlaceLabels();
    EXPECT_EQ(m.plot.left, 6 * (3 + 2 + 4));

    m.SetRange(0.0, 0.5);
    m.PlaceLabels();
    EXPECT_EQ(m.plot.left, 6 * (1 + 2 + 4));

    m.SetRange(10.0, -10.0);
    m.decimals = 0;
    m.PlaceLabels();
    EXPECT_EQ(m.plot.left, 30);
    EXPECT_EQ(m.plotWidth, 360);

    // A negative count of decimals is measured and drawn as none.
    m.decimals = -5;
    m.PlaceLabels();
    EXPECT_EQ(m.plot.left, 30);
    EXPECT_EQ(m.YMaximumLabel(), "10");
}

TEST(ScopeLayout, CapacityWithoutRoomForASample) {
    ScopeModel m = LaidOut();
    m.SetStep(0);
    EXPECT_EQ(m.Capacity(), 0);
    m.SetStep(-3);
    EXPECT_EQ(m.Capacity(), 0);
    m.SetStep(349);
    EXPECT_EQ(m.Capacity(), 0);

    ScopeModel narrow = LaidOut(44, 100);
    EXPECT_LT(narrow.plotWidth, 0);
    EXPECT_EQ(narrow.Capacity(), 0);
    EXPECT_FALSE(narrow.ring.Add(1.0));
}

TEST(ScopeLayout, StepHalves) {
    ScopeModel m;
    const struct { int step, half, andAHalf; } cases[] = {{3, 1, 4}, {4, 2, 6}, {1, 0, 1}, {7, 3, 10}};
    for (const auto& c : cases) {
        m.SetStep(c.step);
        EXPECT_EQ(m.halfStep, c.half);
        EXPECT_EQ(m.stepAndAHalf, c.andAHalf);
    }
}

TEST(ScopeLayout, ValuesToPixels) {
    ScopeModel m = LaidOut();
    EXPECT_EQ(m.YPixel(-10.0), 175);
    EXPECT_EQ(m.YPixel(10.0), 10);
    EXPECT_EQ(m.YPixel(0.0), 175 - 82);
    // Truncated toward zero on both sides of the minimum.
    EXPECT_EQ(m.YPixel(-9.9), 175);
    EXPECT_EQ(m.YPixel(-10.1), 175);
    EXPECT_EQ(m.YPixel(15.0), 175 - 206);

    // A range of no span maps onto pixels the drawing calls still accept.
    m.SetRange(5.0, 5.0);
    EXPECT_EQ(m.YPixel(5.0), 175);
    EXPECT_LT(m.YPixel(6.0), -100000);
    EXPECT_GT(m.YPixel(4.0), 100000);
}

TEST(ScopeLabels, Texts) {
    ScopeModel m = LaidOut();
    EXPECT_EQ(m.YMaximumLabel(), "10.00");
    EXPECT_EQ(m.YMinimumLabel(), "-10.00");
    EXPECT_EQ(m.FirstXLabel(), "0");
    EXPECT_EQ(m.LastXLabel(), "116");

    m.startOffset = 4096;
    EXPECT_EQ(m.FirstXLabel(), "4096");
    EXPECT_EQ(m.LastXLabel(), "4212");
    m.hexLabels = true;
    EXPECT_EQ(m.FirstXLabel(), "1000");
    EXPECT_EQ(m.LastXLabel(), "1074");

    m.decimals = 3;
    m.SetRange(2.5, 0.0);
    EXPECT_EQ(m.YMaximumLabel(), "2.500");
    EXPECT_EQ(m.YMinimumLabel(), "0.000");
}

TEST(ScopeRing, FillsAndWraps) {
    ScopeModel m = LaidOut();
    for (int i = 0; i < 116; ++i) {
        ASSERT_TRUE(m.ring.Add(i));
    }
    EXPECT_TRUE(m.ring.full());
    EXPECT_EQ(m.ring.writeIndex(), 0);
    ASSERT_TRUE(m.ring.Add(116));
    EXPECT_TRUE(m.ring.full());
    EXPECT_EQ(m.ring.writeIndex(), 1);
    EXPECT_EQ(m.ring.samples()[0], 116);
    EXPECT_EQ(m.ring.samples()[1], 1);
}

// Fills a ring of the given capacity with 0, 1, 2, ... count - 1.
ScopeRing RingOf(int capacity, int count) {
    ScopeRing ring;
    ring.Resize(capacity);
    for (int i = 0; i < count; ++i) {
        ring.Add(i);
    }
    return ring;
}

TEST(ScopeRing, ResizeKeepsTheNewestInOrder) {
    const struct {
        const char* name;
        int capacity, count, newCapacity;
        std::vector<double> kept;
        bool full;
        int writeIndex;
    } cases[] = {
        {"halved after wrapping", 116, 150, 58, {}, true, 0},
        {"halved while partly filled", 10, 7, 5, {2, 3, 4, 5, 6}, true, 0},
        {"shrunk with room to spare", 10, 3, 5, {0, 1, 2}, false, 3},
        // Exactly as many as fit: the ring is full, so the next sample has a slot.
        {"shrunk to the number held", 10, 5, 5, {0, 1, 2, 3, 4}, true, 0},
        {"grown after wrapping", 4, 6, 8, {2, 3, 4, 5}, false, 4},
        {"grown while partly filled", 4, 2, 8, {0, 1}, false, 2},
        {"to no capacity", 4, 6, 0, {}, false, 0},
        {"from no capacity", 0, 0, 4, {}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopeRing ring = RingOf(c.capacity, c.count);
        ring.Resize(c.newCapacity);
        EXPECT_EQ(ring.capacity(), c.newCapacity);
        EXPECT_EQ(ring.full(), c.full);
        EXPECT_EQ(ring.writeIndex(), c.writeIndex);
        std::vector<double> expected = c.kept;
        if (expected.empty() && c.full) {
            for (int i = c.count - c.newCapacity; i < c.count; ++i) {
                expected.push_back(i);
            }
        }
        EXPECT_EQ(Contents(ring, static_cast<int>(expected.size())), expected);
    }
}

TEST(ScopeRing, ShrunkToTheNumberHeldTakesTheNextSample) {
    ScopeRing ring = RingOf(10, 5);
    ring.Resize(5);
    ASSERT_TRUE(ring.Add(5));
    EXPECT_EQ(ring.writeIndex(), 1);
    EXPECT_EQ(Contents(ring, 5), (std::vector<double>{5, 1, 2, 3, 4}));
}

TEST(ScopeRing, HalvingTheControlWidthKeepsTheNewest) {
    ScopeModel m = LaidOut();
    for (int i = 0; i < 200; ++i) {
        m.ring.Add(i);
    }
    m.Layout(200, 200);
    m.PlaceLabels();
    m.ring.Resize(m.Capacity());
    ASSERT_EQ(m.Capacity(), (190 - 42) / 3);
    std::vector<double> newest;
    for (int i = 200 - m.Capacity(); i < 200; ++i) {
        newest.push_back(i);
    }
    EXPECT_EQ(Contents(m.ring, m.Capacity()), newest);
    EXPECT_TRUE(m.ring.full());
    EXPECT_EQ(m.ring.writeIndex(), 0);
}

TEST(ScopeRing, ReplayOrder) {
    // Full: from the one after the write index up to the newest; the oldest is left out.
    const ScopeRing full = RingOf(5, 7); // holds 5 6 2 3 4, write index 2
    const ScopeRing::Replay a = full.ReplayOrder();
    EXPECT_EQ(a.previous, 3);
    EXPECT_EQ(a.samples, (std::vector<double>{3, 4, 5, 6}));

    const ScopeRing justFull = RingOf(4, 4); // write index 0
    const ScopeRing::Replay b = justFull.ReplayOrder();
    EXPECT_EQ(b.previous, 1);
    EXPECT_EQ(b.samples, (std::vector<double>{1, 2, 3}));

    const ScopeRing partly = RingOf(5, 3);
    const ScopeRing::Replay c = partly.ReplayOrder();
    EXPECT_EQ(c.previous, 0);
    EXPECT_EQ(c.samples, (std::vector<double>{0, 1, 2}));

    EXPECT_TRUE(RingOf(5, 0).ReplayOrder().samples.empty());
    EXPECT_TRUE(RingOf(0, 0).ReplayOrder().samples.empty());
}

struct StaticData : ::testing::Test {
    unsigned char bytes[8] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    ScopeModel m;

    void SetUp() override {
        m.data = bytes;
        m.dataBound = 6;
    }
};

TEST_F(StaticData, ReadsEachElementSize) {
    m.elementSize = 1;
    EXPECT_EQ(m.StaticValue(0, -1), 0x10);
    EXPECT_EQ(m.StaticValue(3, -1), 0x40);

    m.elementSize = 2;
    EXPECT_EQ(m.StaticValue(0, -1), 0x2010);
    EXPECT_EQ(m.StaticValue(1, -1), 0x4030);

    const float value = -2.5f;
    std::memcpy(bytes + 3, &value, sizeof value);
    m.elementSize = 4;
    m.startOffset = 3;
    m.dataBound = 3;
    EXPECT_EQ(m.StaticValue(0, -1), -2.5);
}

TEST_F(StaticData, NeverReadsOutsideTheBound) {
    m.elementSize = 2;
    m.startOffset = 1;
    EXPECT_EQ(m.StaticValue(2, -1), 0x7060); // offset 5 reads bytes 5 and 6
    EXPECT_EQ(m.StaticValue(3, -1), 0.0);    // offset 7 lies past the bound, though byte 7 exists
    m.startOffset = -2;
    EXPECT_EQ(m.StaticValue(0, -1), 0.0);
    EXPECT_EQ(m.StaticValue(1, -1), 0x2010);
    m.startOffset = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(m.StaticValue(100, -1), 0.0);
    m.startOffset = 0;
    m.data = nullptr;
    EXPECT_EQ(m.StaticValue(0, -1), 0.0);
}

TEST_F(StaticData, OtherElementSizesRepeatThePreviousValue) {
    for (int size : {0, 3, 8, 255}) {
        m.elementSize = static_cast<std::uint8_t>(size);
        EXPECT_EQ(m.StaticValue(0, 7.5), 7.5) << size;
    }
}

} // namespace
