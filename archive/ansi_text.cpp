#include "archive/ansi_text.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <cerrno>
#endif

namespace archive {

namespace {

void AppendCodePoint(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

#ifndef _WIN32
// One converter per thread, opened on first use and kept for the thread's life.
class Cp1252Converter {
 public:
  Cp1252Converter() : handle_(iconv_open("UTF-8", "CP1252")) {}
  ~Cp1252Converter() {
    if (Valid()) {
      iconv_close(handle_);
    }
  }
  Cp1252Converter(const Cp1252Converter&) = delete;
  Cp1252Converter& operator=(const Cp1252Converter&) = delete;

  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts one byte at a time where the converter refuses a byte, so that every input byte
  // yields exactly one character.
  std::string Convert(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() * 3);
    char* in = const_cast<char*>(ansi.data());
    std::size_t inLeft = ansi.size();
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
        AppendCodePoint(out, static_cast<unsigned char>(*in));
        ++in;
        --inLeft;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t handle_;
};
#endif

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  const bool ascii = std::all_of(ansi.begin(), ansi.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    return std::string(ansi);
  }
#ifdef _WIN32
  const int length = static_cast<int>(ansi.size());
  const int wideLength = MultiByteToWideChar(1252, 0, ansi.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(1252, 0, ansi.data(), length, wide.data(), wideLength);
  std::string out;
  for (wchar_t c : wide) {
    AppendCodePoint(out, static_cast<unsigned>(c));
  }
  return out;
#else
  thread_local Cp1252Converter converter;
  if (!converter.Valid()) {
    // Without a converter, keep one character per byte by reading the bytes as Latin-1.
    std::string out;
    for (char c : ansi) {
      AppendCodePoint(out, static_cast<unsigned char>(c));
    }
    return out;
  }
  return converter.Convert(ansi);
#endif
}

}  // namespace archive
