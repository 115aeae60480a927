#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>

#include <chrono>

namespace remote {

// A fresh code for one session of the remote view: `length` characters from an alphabet
// without look-alikes (no 0/O, 1/l/I), drawn from the system's random source.
QString newAccessCode(int length = 10);

// Whether `given` is `expected`, taking as long whatever the first difference.
bool sameCode(const QString& given, const QString& expected);

// Wrong codes per address: after `freeFailures` of them an address is refused without its
// code being looked at, for a pause that doubles with each further wrong code (up to
// 32 s), so guessing from one address gets one try per pause.
class FailureBook {
public:
    using Clock = std::chrono::steady_clock;

    explicit FailureBook(int freeFailures) : freeFailures_(freeFailures) {}

    bool refused(const QHostAddress& address, Clock::time_point now) const;
    void failed(const QHostAddress& address, Clock::time_point now);
    void succeeded(const QHostAddress& address);

    // Addresses kept at most; the oldest entries go past it.
    static constexpr int kAddresses = 1024;

private:
    struct Entry {
        int failures = 0;
        Clock::time_point until{};
        Clock::time_point last{};
    };

    int freeFailures_;
    QHash<QString, Entry> entries_;
};

} // namespace remote
