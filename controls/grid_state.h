#pragma once
// The grid control's title and layout, apart from the window: a title band over rows and columns
// of cells of a fixed size.
#include <cstddef>
#include <string>

struct GridCellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class GridState {
  public:
    static constexpr std::size_t kMaxTitle = 300;

    GridState(int rows, int columns);

    // Stores the title; one longer than 300 characters is replaced by a message saying so, and a
    // null title clears it.
    void SetTitle(const char* title);
    const std::string& title() const { return title_; }

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // Where a cell lies with the title band of the given height and cells of the given size.
    GridCellRect CellRect(int row, int column, int titleHeight, int cellWidth, int cellHeight) const;

  private:
    int rows_;
    int columns_;
    std::string title_;
};
