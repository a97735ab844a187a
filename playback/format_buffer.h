// A stream format as read: a fixed head record followed by whatever the
// stream stores after it (colour table, codec bytes, extra bytes).
#pragma once

#include <cstring>
#include <vector>

#include "windef.h"

namespace korvane {

template <typename Head>
class FormatBuffer {
  public:
    FormatBuffer() : bytes_(sizeof(Head), 0) {}

    Head* operator->() { return head(); }
    const Head* operator->() const { return head(); }
    Head* head() { return reinterpret_cast<Head*>(bytes_.data()); }
    const Head* head() const { return reinterpret_cast<const Head*>(bytes_.data()); }
    BYTE* data() { return bytes_.data(); }
    LONG size() const { return LONG(bytes_.size()); }

    // Room for a format of this many bytes; the head stays whole even when
    // the stream's format is shorter than it.
    BYTE* reserve(LONG size) {
        size_t n = size > LONG(sizeof(Head)) ? size_t(size) : sizeof(Head);
        bytes_.assign(n, 0);
        return bytes_.data();
    }

  private:
    std::vector<BYTE> bytes_;
};

}  // namespace korvane
