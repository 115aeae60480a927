#include "AccessCode.h"

#include <QRandomGenerator>

#include <algorithm>

namespace remote {

QString newAccessCode(int length) {
    static constexpr char kAlphabet[] = "abcdefghjkmnpqrstuvwxyz23456789";
    constexpr quint32 kSize = sizeof(kAlphabet) - 1;
    QString code;
    code.reserve(length);
    auto* random = QRandomGenerator::system();
    for (int i = 0; i < length; ++i)
        code.append(QLatin1Char(kAlphabet[random->bounded(kSize)]));
    return code;
}

bool sameCode(const QString& given, const QString& expected) {
    const QByteArray a = given.toUtf8();
    const QByteArray b = expected.toUtf8();
    // Every byte of the longer one is looked at, so the time tells nothing of where they part.
    const qsizetype length = std::max(a.size(), b.size());
    unsigned difference = a.size() == b.size() ? 0U : 1U;
    for (qsizetype i = 0; i < length; ++i) {
        const auto x = static_cast<unsigned char>(i < a.size() ? a[i] : 0);
        const auto y = static_cast<unsigned char>(i < b.size() ? b[i] : 0);
        difference |= static_cast<unsigned>(x ^ y);
    }
    return difference == 0 && !expected.isEmpty();
}

bool FailureBook::refused(const QHostAddress& address, Clock::time_point now) const {
    const auto found = entries_.constFind(address.toString());
    return found != entries_.cend() && found->failures >= freeFailures_ && now < found->until;
}

void FailureBook::failed(const QHostAddress& address, Clock::time_point now) {
    if (entries_.size() >= kAddresses && !entries_.contains(address.toString())) {
        auto oldest =
            std::min_element(entries_.begin(), entries_.end(),
                             [](const Entry& x, const Entry& y) { return x.last < y.last; });
        entries_.erase(oldest);
    }
    Entry& entry = entries_[address.toString()];
    entry.failures = std::min(entry.failures + 1, 1000);
    entry.last = now;
    if (entry.failures >= freeFailures_) {
        const int doublings = std::min(entry.failures - freeFailures_, 5);
        entry.until = now + std::chrono::seconds(1 << doublings);
    }
}

void FailureBook::succeeded(const QHostAddress& address) {
    entries_.remove(address.toString());
}

} // namespace remote
