#include "chart2d_series.h"

#include <cstring>

namespace {

// Status codes of the name copy: done, text cut to fit, no text given.
constexpr int kCopyDone = 0;
constexpr int kCopyTruncated = 80;
constexpr int kCopyInvalid = 22;

} // namespace

KVChart2DSeries::KVChart2DSeries(Chart2DSeriesOwner* chart) : chart_(chart) {}

int KVChart2DSeries::Reset() {
    points_.clear();
    selectedCount_ = 0;
    style_ = kSeriesDefaultStyle;
    markerRadius_ = 5;
    selectedFill_ = 0x000000FF;
    markerOutline_ = 0;
    lineColour_ = 0;
    name_[0] = '\0';
    lineWidth_ = 1;
    linePenStyle_ = 0;
    return 0;
}

int KVChart2DSeries::SetName(const char* text) {
    if (text == nullptr) {
        return kCopyInvalid;
    }
    const std::size_t length = std::strlen(text);
    const std::size_t kept = length < sizeof name_ - 1 ? length : sizeof name_ - 1;
    std::memcpy(name_, text, kept);
    name_[kept] = '\0';
    return kept == length ? kCopyDone : kCopyTruncated;
}

int KVChart2DSeries::GetName(char* buffer, std::uint32_t size) {
    const std::size_t length = std::strlen(name_);
    if (buffer != nullptr && size > 0) {
        const std::size_t kept = length < size - 1 ? length : size - 1;
        std::memcpy(buffer, name_, kept);
        buffer[kept] = '\0';
    }
    return static_cast<int>(length);
}

void KVChart2DSeries::AddStyle(std::uint32_t bits, int repaint) {
    style_ = bits == 0 ? 0 : style_ | bits;
    Repaint(repaint);
}

void KVChart2DSeries::RemoveStyle(std::uint32_t bits, int repaint) {
    style_ &= ~bits;
    Repaint(repaint);
}

int KVChart2DSeries::SetProperty(int id, std::uint32_t colour) {
    switch (id) {
    case kSeriesSelectedFill:
        selectedFill_ = colour;
        return 1;
    case kSeriesMarkerOutline:
        markerOutline_ = colour;
        return 1;
    case kSeriesLineColour:
        lineColour_ = colour;
        return 1;
    default:
        return 0;
    }
}

std::uint32_t KVChart2DSeries::GetProperty(int id) {
    switch (id) {
    case kSeriesSelectedFill:
        return selectedFill_;
    case kSeriesMarkerOutline:
        return markerOutline_;
    case kSeriesLineColour:
        return lineColour_;
    default:
        return 0xFFFFFFFF;
    }
}

void KVChart2DSeries::ClearPoints() {
    points_.clear();
    selectedCount_ = 0;
    Repaint(1);
}

int KVChart2DSeries::AppendPoint(const KVChart2DPoint* point) {
    if (point == nullptr) {
        return 0;
    }
    points_.push_back(*point);
    RecountSelected();
    Report(static_cast<std::uint32_t>(points_.size() - 1));
    return 1;
}

int KVChart2DSeries::InsertPoint(const KVChart2DPoint* point, std::uint32_t index) {
    if (point == nullptr || index >= points_.size()) {
        return 0;
    }
    points_.insert(points_.begin() + index, *point);
    RecountSelected();
    Report(index);
    return 1;
}

int KVChart2DSeries::RemovePoint(std::uint32_t index) {
    if (index >= points_.size()) {
        return 0;
    }
    points_.erase(points_.begin() + index);
    RecountSelected();
    Report(index);
    return 1;
}

int KVChart2DSeries::SetPoint(std::uint32_t index, const KVChart2DPoint* point, int repaint) {
    if (point == nullptr || index >= points_.size()) {
        return 0;
    }
    points_[index] = *point;
    RecountSelected();
    Repaint(repaint);
    Report(index);
    return 1;
}

int KVChart2DSeries::GetPoint(std::uint32_t index, KVChart2DPoint* out) {
    if (out == nullptr || index >= points_.size()) {
        return 0;
    }
    *out = points_[index];
    return 1;
}

int KVChart2DSeries::SelectPoint(std::uint32_t index, int select, int repaint) {
    if (index >= points_.size()) {
        return 0;
    }
    std::uint32_t& flags = points_[index].flags;
    const bool was = (flags & kPointSelected) != 0;
    if (select != 0 && !was) {
        flags |= kPointSelected;
        ++selectedCount_;
    } else if (select == 0 && was) {
        flags &= ~kPointSelected;
        --selectedCount_;
    }
    Repaint(repaint);
    return 1;
}

void KVChart2DSeries::DeselectAll(int repaint) {
    for (KVChart2DPoint& point : points_) {
        point.flags &= ~kPointSelected;
    }
    selectedCount_ = 0;
    Repaint(repaint);
}

void KVChart2DSeries::MovePoint(std::uint32_t index, float dx, float dy) {
    points_[index].x += dx;
    points_[index].y += dy;
    Report(index);
}

void KVChart2DSeries::Repaint(int repaint) {
    if (repaint != 0 && chart_ != nullptr) {
        chart_->RepaintChart();
    }
}

void KVChart2DSeries::Report(std::uint32_t index) {
    if (chart_ != nullptr) {
        chart_->PointChanged(this, index);
    }
}

// Points arrive with whatever flags the caller gave them, so the count is taken from the list.
void KVChart2DSeries::RecountSelected() {
    selectedCount_ = 0;
    for (const KVChart2DPoint& point : points_) {
        if ((point.flags & kPointSelected) != 0) {
            ++selectedCount_;
        }
    }
}
