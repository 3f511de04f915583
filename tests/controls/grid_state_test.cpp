#include "grid_state.h"

#include <gtest/gtest.h>

namespace {

TEST(GridState, TitleUpTo300CharactersIsKeptAndLongerIsReplaced) {
    GridState grid(4, 3);
    const std::string longest(300, 'a');
    grid.SetTitle(longest.c_str());
    EXPECT_EQ(grid.title(), longest);
    grid.SetTitle(std::string(301, 'a').c_str());
    EXPECT_EQ(grid.title(), "Title too long (300 chars max)");
    grid.SetTitle(nullptr);
    EXPECT_EQ(grid.title(), "");
}

TEST(GridState, CellsLieUnderTheTitleBand) {
    const GridState grid(4, 3);
    const GridCellRect cell = grid.CellRect(2, 1, 20, 64, 18);
    EXPECT_EQ(cell.left, 64);
    EXPECT_EQ(cell.top, 56);
    EXPECT_EQ(cell.right, 128);
    EXPECT_EQ(cell.bottom, 74);
    EXPECT_EQ(GridState(-1, 5).rows(), 0);
}

} // namespace
