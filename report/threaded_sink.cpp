#include "report/threaded_sink.h"

#include "data/error.h"
#include "data/guarded.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace lambreya {

// The thread and the queue of what it is to do with the inner sink, in order.
class ThreadedSink::Worker {
public:
    enum class Kind { Begin, Page, End, Abort };
    struct Task {
        Kind kind;
        std::optional<DocumentInfo> document; // Begin
        std::optional<PageDrawing> page;      // Page
        std::function<void()> then;           // End: called on the thread once it is done
    };

    explicit Worker(PageSink& inner)
        : m_inner(inner)
        , m_thread([this] { run(); }) {}

    ~Worker() {
        {
            const std::lock_guard lock(m_mutex);
            m_quitting = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // Queues a task; a page waits while kWaitingPages pages wait before it.
    void post(Task task) {
        std::unique_lock lock(m_mutex);
        if (task.kind == Kind::Page)
            m_changed.wait(lock, [this] { return m_waitingPages < kWaitingPages; });
        if (task.kind == Kind::Page)
            ++m_waitingPages;
        if (task.kind == Kind::End)
            m_endAsked = true;
        m_tasks.push_back(std::move(task));
        lock.unlock();
        m_changed.notify_all();
    }

    // Until every task queued is done.
    void waitDone() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
    }

    // The pages still waiting are dropped, unless the document's end was asked for: a
    // document that is ending is completed. False when there is nothing to abort: the
    // document is ending, or an error has dropped it already.
    bool dropWaitingPages() {
        const std::lock_guard lock(m_mutex);
        if (m_endAsked || m_failed)
            return false;
        std::erase_if(m_tasks, [](const Task& task) { return task.kind == Kind::Page; });
        m_waitingPages = 0;
        m_failed = true; // nothing more is painted
        return true;
    }

    bool hasRoom() {
        const std::lock_guard lock(m_mutex);
        return m_waitingPages < kWaitingPages;
    }

    std::exception_ptr takeError() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_error, nullptr);
    }

private:
    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_quitting || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            Task task = std::move(m_tasks.front());
            m_tasks.pop_front();
            if (task.kind == Kind::Page)
                --m_waitingPages;
            m_busy = true;
            // After an error only an abort is done.
            const bool skip = m_failed && task.kind != Kind::Abort;
            lock.unlock();
            m_changed.notify_all();

            std::exception_ptr error;
            if (!skip)
                error = perform(task);

            lock.lock();
            if (error && task.kind != Kind::Abort && !m_failed) {
                m_failed = true;
                m_error = error;
            }
            m_busy = false;
            lock.unlock();
            m_changed.notify_all();
            if (task.then)
                task.then();
            lock.lock();
        }
    }

    std::exception_ptr perform(Task& task) noexcept {
        try {
            switch (task.kind) {
            case Kind::Begin:
                m_inner.beginDocument(*task.document);
                break;
            case Kind::Page:
                m_inner.addPage(*std::move(task.page));
                break;
            case Kind::End:
                m_inner.endDocument();
                break;
            case Kind::Abort:
                m_inner.abortDocument();
                break;
            }
            return nullptr;
        } catch (...) {
            // What the inner sink holds of a document that failed is dropped.
            try {
                m_inner.abortDocument();
            } catch (...) {
            }
            return std::current_exception();
        }
    }

    PageSink& m_inner;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    std::size_t m_waitingPages = 0;
    bool m_busy = false;
    bool m_quitting = false;
    bool m_endAsked = false;
    bool m_failed = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: it starts once the rest is made
};

ThreadedSink::ThreadedSink(std::unique_ptr<PageSink> inner)
    : m_inner(std::move(inner)) {}

ThreadedSink::~ThreadedSink() {
    abortDocument();
}

void ThreadedSink::checkBegun() const {
    if (!m_worker)
        throw Error("Документ не начат");
}

void ThreadedSink::beginDocument(const DocumentInfo& document) {
    abortDocument();
    m_worker = std::make_unique<Worker>(*m_inner);
    m_worker->post({Worker::Kind::Begin, document, {}, {}});
    m_worker->waitDone();
    if (std::exception_ptr error = m_worker->takeError()) {
        m_worker.reset();
        std::rethrow_exception(error);
    }
}

void ThreadedSink::addPage(PageDrawing page) {
    checkBegun();
    if (std::exception_ptr error = m_worker->takeError())
        std::rethrow_exception(error);
    m_worker->post({Worker::Kind::Page, {}, std::move(page), {}});
}

bool ThreadedSink::hasRoom() const {
    return !m_worker || m_worker->hasRoom();
}

void ThreadedSink::endDocument() {
    checkBegun();
    m_worker->post({Worker::Kind::End, {}, {}, {}});
    m_worker->waitDone();
    const std::exception_ptr error = m_worker->takeError();
    m_worker.reset();
    if (error)
        std::rethrow_exception(error);
}

void ThreadedSink::endDocumentLater(Ended ended) {
    checkBegun();
    const unsigned document = ++m_document;
    // Called on the worker's thread, which is joined before m_home goes.
    auto deliver = [this, document, ended = std::move(ended)] {
        QMetaObject::invokeMethod(
            &m_home,
            [this, document, ended] {
                guarded([&] {
                    if (document != m_document || !m_worker)
                        return; // aborted meanwhile
                    const std::exception_ptr error = m_worker->takeError();
                    m_worker.reset();
                    ended(error);
                });
            },
            Qt::QueuedConnection);
    };
    m_worker->post({Worker::Kind::End, {}, {}, std::move(deliver)});
}

void ThreadedSink::abortDocument() {
    if (!m_worker)
        return;
    ++m_document; // an `ended` on its way is not delivered
    if (m_worker->dropWaitingPages())
        m_worker->post({Worker::Kind::Abort, {}, {}, {}});
    m_worker->waitDone();
    m_worker.reset();
}

} // namespace lambreya
