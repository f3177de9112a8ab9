#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Whether a node tree built from a text fits in the memory the system has to
// give, asked before the tree is built: a tree that does not fit would swap the
// machine to a standstill or end the program.

// The node tree of a text takes about this many times the text's bytes (measured
// on a generated catalogue of short elements, attributes and comments: 1,073 MiB
// of tree for 95 MiB of text, about 11, with libxml2's blocks pooled).
inline constexpr std::uint64_t kDomBytesPerTextByte = 12;

std::uint64_t EstimatedDomBytes(std::uint64_t textBytes);

// The memory the system can give without swapping (MemAvailable), or none when
// it does not say.
using AvailableMemoryQuery = std::function<std::optional<std::uint64_t>()>;
std::optional<std::uint64_t> AvailableMemory();
// Replaces the query (tests); an empty one restores /proc/meminfo.
void SetAvailableMemoryQuery(AvailableMemoryQuery query);

// "" when a tree for textBytes of text fits in the available memory plus the
// freedBytes given back before the tree is built; otherwise the message that
// refuses to build it, ending with what happens instead (e.g. "It stays in
// Source mode.").
std::string DomMemoryRefusal(std::uint64_t textBytes, std::uint64_t freedBytes, const std::string& instead);
