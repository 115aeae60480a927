#include "platform/Post.h"

namespace platform {
namespace {

std::mutex& orderLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

std::unique_lock<std::mutex> PostOrder::posting() {
    return std::unique_lock(orderLock());
}

void PostOrder::starting() {
    const std::lock_guard started(orderLock());
}

} // namespace platform
