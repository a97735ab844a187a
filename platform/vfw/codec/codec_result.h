// Errors as values for the codec layer: nothing in here throws to its callers.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace vfw::codec {

enum class ErrorCode {
    BadFormat,    // a format record that is malformed or inconsistent
    Unsupported,  // well formed, but no codec here handles it
    CodecFailed,  // libavcodec refused to open or run the codec
    ReadFailed,   // the packet source could not deliver a sample
    OutOfRange,   // a sample position outside the stream
    NoFrame,      // the data decoded to no picture (e.g. only dropped samples)
};

struct Error {
    ErrorCode code;
    std::string message;
};

// Success or an Error; no exceptions, so callers must look at it.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}
    static Status ok() { return {}; }

    bool is_ok() const { return !error_; }
    explicit operator bool() const { return is_ok(); }
    const Error& error() const { return *error_; }

  private:
    std::optional<Error> error_;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : value_(std::move(error)) {}

    bool is_ok() const { return std::holds_alternative<T>(value_); }
    explicit operator bool() const { return is_ok(); }
    T& value() { return std::get<T>(value_); }
    const T& value() const { return std::get<T>(value_); }
    T take() { return std::move(std::get<T>(value_)); }
    const Error& error() const { return std::get<Error>(value_); }
    Status status() const { return is_ok() ? Status{} : Status{error()}; }

  private:
    std::variant<T, Error> value_;
};

inline Error make_error(ErrorCode code, std::string message) {
    return Error{code, std::move(message)};
}

}  // namespace vfw::codec
