#include "app/document/DomMemory.h"

#include <fstream>
#include <sstream>

namespace {

AvailableMemoryQuery& QueryInForce()
{
    static AvailableMemoryQuery query;
    return query;
}

std::optional<std::uint64_t> MemAvailable()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    while (meminfo >> key) {
        if (key == "MemAvailable:") {
            std::uint64_t kb = 0;
            if (meminfo >> kb) return kb * 1024;
            return std::nullopt;
        }
        std::getline(meminfo, key);
    }
    return std::nullopt;
}

std::uint64_t Megabytes(std::uint64_t bytes) { return (bytes + (1u << 20) - 1) >> 20; }

} // namespace

std::uint64_t EstimatedDomBytes(std::uint64_t textBytes) { return textBytes * kDomBytesPerTextByte; }

std::optional<std::uint64_t> AvailableMemory() { return QueryInForce() ? QueryInForce()() : MemAvailable(); }

void SetAvailableMemoryQuery(AvailableMemoryQuery query) { QueryInForce() = std::move(query); }

std::string DomMemoryRefusal(std::uint64_t textBytes, std::uint64_t freedBytes, const std::string& instead)
{
    const std::optional<std::uint64_t> available = AvailableMemory();
    if (!available) return {};
    const std::uint64_t needed = EstimatedDomBytes(textBytes);
    const std::uint64_t usable = *available + freedBytes;
    if (needed <= usable) return {};
    std::ostringstream message;
    message << "This document needs about " << Megabytes(needed) << " MB of memory for its node tree, and about "
            << Megabytes(usable) << " MB are available. " << instead;
    return message.str();
}
