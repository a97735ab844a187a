// The framework's string: an owned, zero-terminated 8-bit string.
#pragma once

#include "windef.h"

class CString {
  public:
    CString();
    CString(const char* text);
    CString(const char* text, int length);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();
    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char c);
    friend CString operator+(const CString& a, const CString& b);

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();
    operator const char*() const { return m_pchData; }
    const char* GetString() const { return m_pchData; }
    char GetAt(int i) const { return m_pchData[i]; }
    char operator[](int i) const { return m_pchData[i]; }
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;
    bool operator==(const char* other) const { return Compare(other) == 0; }
    bool operator==(const CString& other) const { return Compare(other) == 0; }
    int Find(char c, int start = 0) const;
    int ReverseFind(char c) const;
    CString Left(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    CString Right(int n) const;
    void MakeUpper();
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    BOOL LoadString(UINT id);
    // Room for at least minLength characters; ReleaseBuffer takes the new length.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

  private:
    void Assign(const char* text, int length);
    char* m_pchData;
    int m_nLength;
    int m_nCapacity;
};
