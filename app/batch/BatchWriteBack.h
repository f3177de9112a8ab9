#pragma once

#include "app/batch/BatchReport.h"

#include <cstddef>
#include <deque>
#include <future>
#include <memory>
#include <sstream>
#include <string>

// Files written back while the next ones are worked on: each write runs on a
// thread of its own, a few at a time, and is flushed to disk before it replaces
// the old file (flushes on one file system then go to disk together). Each
// file's messages reach the report in the order the files were begun.
class BatchWriteBack {
public:
    explicit BatchWriteBack(BatchReport& report, std::size_t inFlight = 8);
    ~BatchWriteBack(); // Finish()
    BatchWriteBack(const BatchWriteBack&) = delete;
    BatchWriteBack& operator=(const BatchWriteBack&) = delete;

    // The report for the next file: its messages wait for those of the files before it.
    BatchReport& Begin();
    // Replaces the file of the report last begun by the bytes, atomically; a
    // failure is that file's message.
    void Write(const std::string& file, std::string bytes);
    // Waits for every write and passes every message on.
    void Finish();

private:
    struct Pending {
        std::ostringstream messages;
        BatchReport report{messages};
        std::string file;
        std::future<std::string> write; // why the write failed, empty when it did not
    };
    // Passes on the messages of the oldest file, waiting for its write.
    void Release();

    BatchReport& m_report;
    std::size_t m_inFlight;
    std::deque<std::unique_ptr<Pending>> m_pending;
};
