// Handles for streams that belong to no file.
#include "vfw/avifile/stream_handler.h"

#include "vfw/avifile/objects.h"

namespace vfw {

PAVISTREAM add_handler_stream(std::unique_ptr<StreamHandler> handler) {
    if (!handler) return nullptr;
    auto stream = std::make_unique<StreamObject>();
    stream->handler = std::move(handler);
    return reinterpret_cast<PAVISTREAM>(registry().streams.add(std::move(stream)));
}

StreamHandler* handler_of(PAVISTREAM stream) {
    StreamObject* object = lookup(stream);
    return object ? object->handler.get() : nullptr;
}

}  // namespace vfw
