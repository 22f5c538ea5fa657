// Splits a fuzzer's input into small numbers and byte strings, so one target can drive a reader
// with several arguments.
#pragma once

#include <cstdio>

#include <QApplication>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }

    template <typename T> T Number() {
        T value{};
        std::size_t n = sizeof(T) < size_ - pos_ ? sizeof(T) : size_ - pos_;
        std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }

    // A byte string of at most `limit` bytes, its length taken from the input.
    QByteArray Bytes(std::size_t limit) {
        std::size_t n = Number<std::uint16_t>();
        n = n % (limit + 1);
        if (n > size_ - pos_) n = size_ - pos_;
        QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_), static_cast<qsizetype>(n));
        pos_ += n;
        return bytes;
    }

    QByteArray Rest() {
        QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_),
                         static_cast<qsizetype>(size_ - pos_));
        pos_ = size_;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Stops the run with a finding when an invariant breaks.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition);                   \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

// The widget application some readers need (the data module's print dialog), made once.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}
