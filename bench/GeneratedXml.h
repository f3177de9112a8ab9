#pragma once

// The benchmarks' generated document: a catalogue of book records with
// attributes, a namespace, character references, non-ASCII text and comments,
// written until it reaches the size asked for.

#include <fstream>
#include <string>

namespace bench {

// Writes the catalogue of about `megabytes` MB to path, each record's summary
// being `summary`; false when the file could not be written.
inline bool WriteCatalogXml(const char* path, long megabytes, const std::string& summary)
{
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<catalog xmlns:x=\"urn:bench\">\n";
    const long target = megabytes * 1024 * 1024;
    long written = 0;
    for (long i = 0; written < target; ++i) {
        std::string rec = "  <book id=\"b" + std::to_string(i) + "\" x:lang=\"en\">\n"
                          "    <title>Title number " + std::to_string(i) + " &amp; more</title>\n"
                          "    <author>Ren\xC3\xA9 \xC3\x89" "crivain</author>\n"
                          "    <price currency=\"EUR\">" + std::to_string(i % 100) + ".95</price>\n"
                          "    <!-- note " + std::to_string(i) + " -->\n"
                          "    <summary>" + summary + "</summary>\n"
                          "  </book>\n";
        out << rec;
        written += static_cast<long>(rec.size());
    }
    out << "</catalog>\n";
    return static_cast<bool>(out);
}

} // namespace bench
