// The output path of kelvora-cli: text gathered in a fixed buffer and handed to the stream
// in large blocks, so a table of a million lines costs a few thousand writes and its memory
// stays the buffer's, whatever the length.
#pragma once

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string_view>

namespace kelvora::cli {

class LineWriter {
  public:
    static constexpr std::size_t kCapacity = 1 << 16;
    // The most one reserve() may ask for.
    static constexpr std::size_t kMaxPiece = 256;

    explicit LineWriter(std::ostream& out) : out_(out) {}
    ~LineWriter() { flush(); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void put(std::string_view s) {
        if (s.size() > kCapacity - size_) {
            flush();
            if (s.size() > kCapacity) {
                out_.write(s.data(), static_cast<std::streamsize>(s.size()));
                return;
            }
        }
        std::memcpy(buf_ + size_, s.data(), s.size());
        size_ += s.size();
    }
    void put(char c) {
        if (size_ == kCapacity) flush();
        buf_[size_++] = c;
    }

    // Room for up to n ≤ kMaxPiece characters written in place; commit(end) keeps them.
    char* reserve(std::size_t n) {
        if (n > kCapacity - size_) flush();
        return buf_ + size_;
    }
    void commit(char* end) { size_ = static_cast<std::size_t>(end - buf_); }

    void flush() {
        if (size_ != 0) out_.write(buf_, static_cast<std::streamsize>(size_));
        size_ = 0;
        out_.flush();
    }

  private:
    std::ostream& out_;
    std::size_t size_ = 0;
    char buf_[kCapacity];
};

}  // namespace kelvora::cli
