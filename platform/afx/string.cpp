#include <strings.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "afxstr.h"
#include "winuser.h"

namespace {
char kEmpty[1] = {0};
}

CString::CString() : m_pchData(kEmpty), m_nLength(0), m_nCapacity(0) {}
CString::CString(const char* text) : CString() { Assign(text, text ? int(std::strlen(text)) : 0); }
CString::CString(const char* text, int length) : CString() { Assign(text, length); }
CString::CString(const CString& other) : CString() { Assign(other.m_pchData, other.m_nLength); }
CString::CString(CString&& other) noexcept
    : m_pchData(other.m_pchData), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity) {
    other.m_pchData = kEmpty;
    other.m_nLength = other.m_nCapacity = 0;
}
CString::~CString() {
    if (m_nCapacity) std::free(m_pchData);
}

CString& CString::operator=(const CString& other) {
    if (this != &other) Assign(other.m_pchData, other.m_nLength);
    return *this;
}
CString& CString::operator=(CString&& other) noexcept {
    if (this == &other) return *this;
    if (m_nCapacity) std::free(m_pchData);
    m_pchData = other.m_pchData;
    m_nLength = other.m_nLength;
    m_nCapacity = other.m_nCapacity;
    other.m_pchData = kEmpty;
    other.m_nLength = other.m_nCapacity = 0;
    return *this;
}
CString& CString::operator=(const char* text) {
    // The text may point into this string.
    CString copy(text);
    return *this = std::move(copy);
}

void CString::Assign(const char* text, int length) {
    if (!text || length <= 0) {
        Empty();
        return;
    }
    char* buffer = GetBuffer(length);
    std::memmove(buffer, text, size_t(length));
    ReleaseBuffer(length);
}

void CString::Empty() {
    if (m_nCapacity) std::free(m_pchData);
    m_pchData = kEmpty;
    m_nLength = m_nCapacity = 0;
}

char* CString::GetBuffer(int minLength) {
    if (minLength < 0) minLength = 0;
    if (minLength > m_nCapacity || !m_nCapacity) {
        int capacity = minLength > m_nCapacity * 2 ? minLength : m_nCapacity * 2;
        if (capacity < 15) capacity = 15;
        char* data = static_cast<char*>(std::malloc(size_t(capacity) + 1));
        if (!data) std::abort();  // out of memory: nothing sensible is left to do
        std::memcpy(data, m_pchData, size_t(m_nLength) + 1);
        if (m_nCapacity) std::free(m_pchData);
        m_pchData = data;
        m_nCapacity = capacity;
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int newLength) {
    if (!m_nCapacity) return;
    if (newLength < 0) newLength = int(std::strlen(m_pchData));
    if (newLength > m_nCapacity) newLength = m_nCapacity;
    m_nLength = newLength;
    m_pchData[newLength] = 0;
}

CString& CString::operator+=(const char* text) {
    if (!text) return *this;
    CString copy(text);
    int n = copy.m_nLength;
    char* buffer = GetBuffer(m_nLength + n);
    std::memcpy(buffer + m_nLength, copy.m_pchData, size_t(n));
    ReleaseBuffer(m_nLength + n);
    return *this;
}
CString& CString::operator+=(const CString& other) { return *this += other.m_pchData; }
CString& CString::operator+=(char c) {
    char s[2] = {c, 0};
    return *this += s;
}
CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(const char* other) const { return std::strcmp(m_pchData, other ? other : ""); }
int CString::CompareNoCase(const char* other) const {
    return strcasecmp(m_pchData, other ? other : "");
}

int CString::Find(char c, int start) const {
    if (start < 0 || start >= m_nLength) return -1;
    const char* p = std::strchr(m_pchData + start, c);
    return p ? int(p - m_pchData) : -1;
}

int CString::ReverseFind(char c) const {
    const char* p = std::strrchr(m_pchData, c);
    return p ? int(p - m_pchData) : -1;
}

CString CString::Left(int n) const {
    if (n < 0) n = 0;
    return CString(m_pchData, n < m_nLength ? n : m_nLength);
}
CString CString::Mid(int first) const { return Mid(first, m_nLength - first); }
CString CString::Mid(int first, int n) const {
    if (first < 0) first = 0;
    if (first > m_nLength) first = m_nLength;
    if (n < 0) n = 0;
    if (first + n > m_nLength) n = m_nLength - first;
    return CString(m_pchData + first, n);
}
CString CString::Right(int n) const {
    if (n < 0) n = 0;
    if (n > m_nLength) n = m_nLength;
    return CString(m_pchData + m_nLength - n, n);
}

void CString::MakeUpper() {
    if (!m_nCapacity) return;
    for (int i = 0; i < m_nLength; ++i)
        if (m_pchData[i] >= 'a' && m_pchData[i] <= 'z') m_pchData[i] = char(m_pchData[i] - 32);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) n = 0;
    char* buffer = GetBuffer(n);
    std::vsnprintf(buffer, size_t(n) + 1, format, args);
    va_end(args);
    ReleaseBuffer(n);
}

BOOL CString::LoadString(UINT id) {
    char buffer[1024];
    int n = LoadStringA(nullptr, id, buffer, sizeof buffer);
    Assign(buffer, n);
    return n > 0;
}
