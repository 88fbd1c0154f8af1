#pragma once

#include "core/FileError.h"

#include <optional>
#include <utility>
#include <variant>

// What a reader or a writer of files gives back: the value it made, or the error that
// says why it made none; never both, and never part of a value. Result<void> is a
// writer's: a success (as a default-made one is) or its error.
// Our own type, as clang 14 (the fuzz build) sees no std::expected in libstdc++ 12.
template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(FileError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value, of a result that is ok() (std::bad_variant_access otherwise).
    const T &value() const & { return std::get<0>(state_); }
    T &value() & { return std::get<0>(state_); }
    // Moves the value out: std::move(result).value().
    T value() && { return std::move(std::get<0>(state_)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    // Why there is no value, of a result that is not ok().
    const FileError &error() const { return std::get<1>(state_); }

private:
    std::variant<T, FileError> state_;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(FileError error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }

    // Why it failed, of a result that is not ok() (std::bad_optional_access otherwise).
    const FileError &error() const { return error_.value(); }

private:
    std::optional<FileError> error_;
};
