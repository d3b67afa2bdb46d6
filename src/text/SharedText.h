// Immutable text that many holders share: a copy is one pointer to the same buffer, so a field
// that repeats another (an item borrowing a later item's title, a label showing its item's
// caption, every new label starting as a copy of the first) costs no second copy of the text.
// The empty text holds no buffer at all. Plain C++: the feed parsers and the labels share it.
#pragma once

#include <atomic>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace text {

class SharedText {
 public:
  SharedText() noexcept = default;
  SharedText(std::string_view text) : block_(text.empty() ? nullptr : new Block{text}) {}
  SharedText(const std::string& text) : SharedText(std::string_view(text)) {}
  SharedText(std::string&& text) : block_(text.empty() ? nullptr : new Block{std::move(text)}) {}
  SharedText(const char* text) : SharedText(std::string_view(text)) {}

  SharedText(const SharedText& other) noexcept : block_(other.block_) { Retain(); }
  SharedText(SharedText&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  SharedText& operator=(const SharedText& other) noexcept {
    SharedText(other).swap(*this);
    return *this;
  }
  SharedText& operator=(SharedText&& other) noexcept {
    SharedText(std::move(other)).swap(*this);
    return *this;
  }
  ~SharedText() { Release(); }

  void swap(SharedText& other) noexcept { std::swap(block_, other.block_); }

  const std::string& str() const noexcept { return block_ != nullptr ? block_->text : Empty(); }
  operator const std::string&() const noexcept { return str(); }
  operator std::string_view() const noexcept { return str(); }
  std::string_view view() const noexcept { return str(); }
  bool empty() const noexcept { return block_ == nullptr; }
  std::size_t size() const noexcept { return str().size(); }
  const char* data() const noexcept { return str().data(); }

  // True when both hold the very same buffer (or both are empty): no text was copied.
  bool SharesBufferWith(const SharedText& other) const noexcept { return block_ == other.block_; }

  friend bool operator==(const SharedText& a, const SharedText& b) noexcept {
    return a.block_ == b.block_ || a.view() == b.view();
  }
  friend bool operator==(const SharedText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const SharedText& a, const std::string& b) noexcept {
    return a.view() == b;
  }
  friend bool operator==(const SharedText& a, const char* b) noexcept {
    return a.view() == std::string_view(b);
  }
  friend std::ostream& operator<<(std::ostream& out, const SharedText& text) {
    return out << text.str();
  }

 private:
  struct Block {
    explicit Block(std::string_view t) : text(t) {}
    explicit Block(std::string&& t) : text(std::move(t)) {}
    std::atomic<std::size_t> holders{1};
    const std::string text;
  };

  static const std::string& Empty() noexcept {
    static const std::string empty;
    return empty;
  }
  void Retain() noexcept {
    if (block_ != nullptr) block_->holders.fetch_add(1, std::memory_order_relaxed);
  }
  void Release() noexcept {
    if (block_ != nullptr && block_->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      delete block_;
    }
  }

  Block* block_ = nullptr;
};

}  // namespace text
