#pragma once
// A text owned by a gauge (title, units, state texts), with the store and copy-out rules that all
// gauge messages share.
#include <cstddef>
#include <memory>

class GaugeText {
  public:
    // Replaces the text. A null text or a maximum of 0 leaves no text. Otherwise the text is
    // measured up to maxLength + 1 characters: one of at most maxLength characters is copied whole,
    // a longer one is stored as an empty text (never truncated, so a caller with too small a limit
    // sees that something went wrong instead of a plausible fragment).
    void Store(const char* text, std::size_t maxLength);

    // Copies the text into the caller's buffer, at most size - 1 characters and a terminator. With
    // no text stored the buffer receives an empty text. A null buffer or a size of 0 is left alone.
    void CopyOut(char* buffer, std::size_t size) const;

    bool Held() const { return text_ != nullptr; }
    // The text, or an empty text when none is held.
    const char* Get() const { return text_ ? text_.get() : ""; }
    std::size_t Length() const { return length_; }

  private:
    std::unique_ptr<char[]> text_;
    std::size_t length_ = 0;
};

// How many characters of a caption (a title or units line) a paint draws: all of one shorter
// than 100 characters, none of a longer one.
std::size_t CaptionLengthToDraw(const GaugeText& caption);
