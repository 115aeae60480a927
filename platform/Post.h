#pragma once

#include <QMetaObject>
#include <QObject>

#include <mutex>
#include <utility>

namespace platform {

// Qt's event queue orders a post before its run under a lock inside Qt, which
// ThreadSanitizer cannot see; the same order is shown to it through a lock it can see.
// Both sides hold it only for the moment of posting or starting.
class PostOrder {
public:
    [[nodiscard]] static std::unique_lock<std::mutex> posting();
    static void starting();
};

// Runs `work` later on the thread of `context`, from any thread; it is dropped if `context`
// is gone by then. Everything the poster wrote before is visible to `work`.
template <typename Work> void postTo(QObject* context, Work work) {
    const auto order = PostOrder::posting();
    QMetaObject::invokeMethod(
        context,
        [work = std::move(work)]() mutable {
            PostOrder::starting();
            work();
        },
        Qt::QueuedConnection);
}

} // namespace platform
