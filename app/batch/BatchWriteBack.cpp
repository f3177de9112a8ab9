#include "app/batch/BatchWriteBack.h"

#include "app/document/EncodedText.h"

#include <cerrno>
#include <cstring>

BatchWriteBack::BatchWriteBack(BatchReport& report, std::size_t inFlight)
    : m_report(report), m_inFlight(inFlight > 0 ? inFlight : 1)
{
}

BatchWriteBack::~BatchWriteBack() { Finish(); }

BatchReport& BatchWriteBack::Begin()
{
    // Files whose work is done go out at once, so messages keep pace with the run.
    while (!m_pending.empty() &&
           (!m_pending.front()->write.valid() ||
            m_pending.front()->write.wait_for(std::chrono::seconds(0)) == std::future_status::ready))
        Release();
    while (m_pending.size() >= m_inFlight) Release();
    m_pending.push_back(std::make_unique<Pending>());
    return m_pending.back()->report;
}

void BatchWriteBack::Write(const std::string& file, std::string bytes)
{
    Pending& pending = *m_pending.back();
    pending.file = file;
    // On a thread of its own; where none can be had, at Release on this one.
    pending.write = std::async(std::launch::async | std::launch::deferred, [file, bytes = std::move(bytes)] {
        errno = 0;
        if (WriteFileAtomically(file, bytes)) return std::string();
        return std::string("cannot write the file") + (errno ? std::string(": ") + std::strerror(errno) : "");
    });
}

void BatchWriteBack::Release()
{
    std::unique_ptr<Pending> pending = std::move(m_pending.front());
    m_pending.pop_front();
    if (pending->write.valid()) {
        const std::string failure = pending->write.get();
        if (!failure.empty()) pending->report.Fail(pending->file, failure);
    }
    m_report.Relay(pending->messages.str(), pending->report.Failed());
}

void BatchWriteBack::Finish()
{
    while (!m_pending.empty()) Release();
}
