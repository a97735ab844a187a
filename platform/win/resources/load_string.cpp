// LoadStringA: copies a string-table entry into the caller's buffer.
#include <cstring>

#include "win/resources/registry.h"
#include "winuser_resources.h"

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax) {
    if (!buffer || bufferMax <= 0) return 0;
    buffer[0] = '\0';
    if (id > 0xffff) return 0;
    const win::res::StringEntry* e = win::res::find_string_entry(std::uint16_t(id), module);
    if (!e || !e->text) return 0;
    // Too long a text is cut to fit, always terminated, as the platform does.
    std::size_t len = std::strlen(e->text);
    std::size_t n = len < std::size_t(bufferMax - 1) ? len : std::size_t(bufferMax - 1);
    std::memcpy(buffer, e->text, n);
    buffer[n] = '\0';
    return int(n);
}
