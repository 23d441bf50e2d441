#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// What an operation that can fail gives back: its value, or why there is
// none. The error is a text in the user's language; where a caller needs
// more than the text (the line of an export), it is a struct whose "text"
// member says it.
template <typename E> struct Failure
{
    E error;
};

inline Failure<QString> failure(QString text)
{
    return {std::move(text)};
}

template <typename E> Failure<E> failure(E error)
{
    return {std::move(error)};
}

namespace result_detail {
inline const QString& textOf(const QString& error)
{
    return error;
}
template <typename E> const QString& textOf(const E& error)
{
    return error.text;
}
} // namespace result_detail

template <typename T, typename E = QString> class [[nodiscard]] Result
{
public:
    Result(T value) : state(std::in_place_index<0>, std::move(value)) {}
    Result(Failure<E> failed) : state(std::in_place_index<1>, std::move(failed.error)) {}

    bool ok() const { return state.index() == 0; }
    const T& value() const& { return std::get<0>(state); }
    T& value() & { return std::get<0>(state); }
    T&& value() && { return std::get<0>(std::move(state)); }
    const E& error() const { return std::get<1>(state); }
    QString errorString() const { return ok() ? QString() : result_detail::textOf(error()); }

private:
    std::variant<T, E> state;
};

template <typename E> class [[nodiscard]] Result<void, E>
{
public:
    Result() = default;
    Result(Failure<E> failed) : failedWith(std::move(failed.error)) {}

    bool ok() const { return !failedWith.has_value(); }
    const E& error() const { return *failedWith; }
    QString errorString() const { return ok() ? QString() : result_detail::textOf(*failedWith); }

private:
    std::optional<E> failedWith;
};
