// The sample search of a stream that is produced as it is read.
#pragma once

#include <algorithm>

#include "vfw.h"

namespace vfw::compress {

// The answer to AVIStreamFindSample over `length` samples. key_at(i) tells
// whether sample i is a key sample: 1 yes, 0 no, -1 when that cannot be
// learnt (the search then fails). It is asked only for FIND_KEY, and only
// for positions in order of the search.
template <typename KeyAt>
LONG find_sample(LONG pos, LONG flags, LONG length, KeyAt&& key_at) {
    bool backwards = (flags & FIND_PREV) != 0;
    if (flags & FIND_FROM_START) {
        pos = 0;
        backwards = false;
    }
    if (length == 0 || (flags & FIND_RET) != FIND_POS) return -1;
    const bool any = (flags & FIND_TYPE) != FIND_KEY;
    if (backwards) {
        if (pos < 0) return -1;
        for (LONG i = std::min(pos, length - 1); i >= 0; --i) {
            const int key = any ? 1 : key_at(i);
            if (key != 0) return key > 0 ? i : -1;
        }
        return -1;
    }
    for (LONG i = std::max<LONG>(pos, 0); i < length; ++i) {
        const int key = any ? 1 : key_at(i);
        if (key != 0) return key > 0 ? i : -1;
    }
    return -1;
}

}  // namespace vfw::compress
