#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SourceTree.h"

// One record to write: a slice of a source file behind its header line.
struct RecordJob {
    const SourceFile* file = nullptr;
    uint64_t offset = 0;
    uint64_t length = 0;
    std::string headerLine;
};

// A record as stored: the signed length word and the body.
struct EncodedRecord {
    int32_t length = 0;            // > 0 compressed, <= 0 stored
    std::vector<uint8_t> body;
    uint64_t dataSize = 0;         // header line + NUL + file bytes
    uint64_t StoredSize() const { return 4 + body.size(); }
};

// Encodes one record: the data is compressed as a zlib stream unless store is
// asked or compression does not make it smaller. Throws BuildError when the
// source file cannot be read.
EncodedRecord EncodeRecord(const RecordJob& job, bool store, int level = 6);

// Encodes jobs on several threads and hands them out in order. Workers run at
// most `window` records ahead of the consumer, which bounds the memory used.
class RecordPipeline {
public:
    RecordPipeline(const std::vector<RecordJob>& jobs, bool store, int threads, size_t window = 0);
    ~RecordPipeline();
    RecordPipeline(const RecordPipeline&) = delete;
    RecordPipeline& operator=(const RecordPipeline&) = delete;

    // The next record in job order; throws the worker's BuildError if it failed.
    EncodedRecord Next();

private:
    struct Slot {
        bool done = false;
        EncodedRecord record;
        std::string error;
    };
    void Work();

    const std::vector<RecordJob>& jobs_;
    bool store_;
    size_t window_;
    std::vector<Slot> slots_;
    size_t nextJob_ = 0;      // next index a worker takes
    size_t nextResult_ = 0;   // next index the consumer takes
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> workers_;
};
