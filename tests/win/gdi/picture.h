// Test pictures: small surfaces drawn through a DC and compared as text,
// one letter per colour.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "win/gdi/device_context.h"
#include "win/gdi/surface.h"

namespace win::gdi::test {

struct TestDc {
    std::shared_ptr<Surface> surface;
    HDC dc = nullptr;
    TestDc(int w, int h, std::uint32_t fill = 0xffffff);
    ~TestDc();
    TestDc(const TestDc&) = delete;
    TestDc& operator=(const TestDc&) = delete;
};

// One character per pixel, rows joined by '\n'; colours missing from the
// legend show as '?'.
std::string picture(const Surface& s, const std::map<std::uint32_t, char>& legend);

// Writes actual and expected PNGs beside the test binary when they differ,
// returns whether they are equal. `expected` uses the same legend.
bool same_picture(const Surface& actual, const std::string& expected,
                  const std::map<std::uint32_t, char>& legend, const std::string& name);

// Lines joined with '\n', for writing expected pictures readably.
std::string lines(std::initializer_list<const char*> rows);

}  // namespace win::gdi::test
