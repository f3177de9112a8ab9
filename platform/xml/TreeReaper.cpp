#include "platform/xml/TreeReaper.h"

#include "platform/xml/SmallBlockPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace brindle::detail {

namespace {

class Reaper {
public:
    ~Reaper()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }

    void Queue(xmlDocPtr doc)
    {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(doc);
            if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
        }
        m_wake.notify_all();
    }

    bool Wait()
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_queue.empty() && !m_busy; });
        // Smaller trees are freed where they are released; their emptied slabs go too.
        const bool released = ReleaseEmptySlabs() > 0;
        return std::exchange(m_reaped, false) || released;
    }

private:
    void Run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty()) return; // stopping, nothing left
            xmlDocPtr doc = m_queue.front();
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            {
                PoolHold hold; // millions of blocks: one lock for them all
                xmlFreeDoc(doc);
            }
            lock.lock();
            // The allocator keeps freed blocks for itself unless asked; the
            // last of a run of trees hands them all back.
            if (m_queue.empty()) {
                lock.unlock();
                ReleaseEmptySlabs();
#if defined(__GLIBC__)
                malloc_trim(0);
#endif
                lock.lock();
            }
            m_busy = false;
            m_reaped = true;
            if (m_queue.empty()) m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<xmlDocPtr> m_queue;
    std::thread m_thread;
    bool m_busy = false;
    bool m_reaped = false;
    bool m_stopping = false;
};

Reaper& TheReaper()
{
    static Reaper reaper;
    return reaper;
}

} // namespace

void ReapLargeTree(xmlDocPtr doc) { TheReaper().Queue(doc); }

void FreeTree(xmlDocPtr doc, uint64_t inputSize)
{
    // Trees parsed from this much input or more are large: millions of small
    // allocations, freed on a thread of their own.
    constexpr uint64_t kLargeTreeInput = 16u << 20;
    if (inputSize >= kLargeTreeInput) ReapLargeTree(doc);
    else xmlFreeDoc(doc);
}

bool WaitForReapedTrees() { return TheReaper().Wait(); }

} // namespace brindle::detail
