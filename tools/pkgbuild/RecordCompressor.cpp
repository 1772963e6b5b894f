#include "RecordCompressor.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "BuildError.h"

namespace {

void ReadSlice(const RecordJob& job, uint8_t* out) {
    std::FILE* f = std::fopen(job.file->path.c_str(), "rb");
    if (!f) throw BuildError("cannot read " + job.file->path + ": " + std::strerror(errno));
    bool ok = fseeko(f, static_cast<off_t>(job.offset), SEEK_SET) == 0 &&
              std::fread(out, 1, job.length, f) == job.length;
    std::fclose(f);
    if (!ok) throw BuildError("cannot read " + job.file->path + " (it changed or shrank while being packed)");
}

}  // namespace

EncodedRecord EncodeRecord(const RecordJob& job, bool store, int level) {
    // Per-thread buffers, reused from record to record: fresh multi-megabyte
    // allocations for every record would cost more page faults than compressing.
    thread_local std::vector<uint8_t> data, packedBuffer;
    data.resize(job.headerLine.size() + 1 + job.length);
    std::memcpy(data.data(), job.headerLine.data(), job.headerLine.size());
    data[job.headerLine.size()] = 0;
    if (job.length > 0) ReadSlice(job, data.data() + job.headerLine.size() + 1);

    EncodedRecord rec;
    rec.dataSize = data.size();
    if (!store) {
        uLongf packed = compressBound(static_cast<uLong>(data.size()));
        packedBuffer.resize(packed);
        if (compress2(packedBuffer.data(), &packed, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
            throw BuildError("compression failed for " + job.file->path);
        if (packed < data.size()) {
            rec.length = static_cast<int32_t>(packed);
            rec.body.assign(packedBuffer.begin(), packedBuffer.begin() + static_cast<std::ptrdiff_t>(packed));
            return rec;
        }
    }
    rec.length = -static_cast<int32_t>(data.size());
    rec.body = data;
    return rec;
}

RecordPipeline::RecordPipeline(const std::vector<RecordJob>& jobs, bool store, int threads, size_t window)
    : jobs_(jobs), store_(store), slots_(jobs.size()) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    window_ = window ? window : static_cast<size_t>(threads) * 2;
    for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

RecordPipeline::~RecordPipeline() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& t : workers_) t.join();
}

void RecordPipeline::Work() {
    for (;;) {
        size_t index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] {
                return stopping_ || nextJob_ >= jobs_.size() || nextJob_ < nextResult_ + window_;
            });
            if (stopping_ || nextJob_ >= jobs_.size()) return;
            index = nextJob_++;
        }
        Slot result;
        try {
            result.record = EncodeRecord(jobs_[index], store_);
        } catch (const std::exception& e) {
            result.error = e.what();
        }
        result.done = true;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[index] = std::move(result);
        }
        changed_.notify_all();
    }
}

EncodedRecord RecordPipeline::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (nextResult_ >= slots_.size()) throw BuildError("no more records");
    Slot& slot = slots_[nextResult_];
    changed_.wait(lock, [&] { return slot.done; });
    if (!slot.error.empty()) throw BuildError(slot.error);
    EncodedRecord rec = std::move(slot.record);
    slot.record = EncodedRecord();
    ++nextResult_;
    lock.unlock();
    changed_.notify_all();
    return rec;
}
