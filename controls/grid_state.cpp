#include "grid_state.h"

#include <cstring>

GridState::GridState(int rows, int columns)
    : rows_(rows > 0 ? rows : 0), columns_(columns > 0 ? columns : 0) {}

void GridState::SetTitle(const char* title) {
    if (title == nullptr) {
        title_.clear();
    } else if (std::strlen(title) > kMaxTitle) {
        title_ = "Title too long (300 chars max)";
    } else {
        title_ = title;
    }
}

GridCellRect GridState::CellRect(int row, int column, int titleHeight, int cellWidth, int cellHeight) const {
    const int left = column * cellWidth;
    const int top = titleHeight + row * cellHeight;
    return {left, top, left + cellWidth, top + cellHeight};
}
