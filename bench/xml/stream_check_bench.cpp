// Memory and time of checking a document without a DOM, against checking it
// through one (as the source view's check did).
//
//   stream_check_bench stream FILE   the streaming check, the file pulled in lines
//   stream_check_bench dom FILE      the text read whole, then loaded into a DOM
//   stream_check_bench validate FILE the Validate command's check, every error listed
//
// Both validate. Prints the answer, the time and the peak resident memory of
// the process; run each mode in a process of its own (see run_stream.sh).

#include "bench/Measure.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlStreamCheck.h"
#include "platform/xml/XmlValidation.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

using namespace brindle;

namespace {

// The file line by line, as an editor's text buffer would hand it out.
class FileLines : public XmlTextSource {
public:
    explicit FileLines(const char* path) : m_path(path), m_in(path, std::ios::binary)
    {
        m_in.seekg(0, std::ios::end);
        m_size = static_cast<uint64_t>(m_in.tellg());
        m_in.seekg(0);
    }
    void Rewind() override
    {
        m_in.clear();
        m_in.seekg(0);
    }
    // Whole lines, some 64 KB at a time, as the document hands out its buffer.
    std::string_view Next() override
    {
        m_piece.clear();
        while (m_piece.size() < 64 * 1024 && std::getline(m_in, m_line)) {
            m_piece += m_line;
            if (!m_in.eof()) m_piece += '\n';
        }
        return m_piece;
    }
    uint64_t Size() const override { return m_size; }

private:
    std::string m_path;
    std::ifstream m_in;
    std::string m_line;
    std::string m_piece;
    uint64_t m_size = 0;
};

const char* Name(XmlCheck check)
{
    return check == XmlCheck::Valid ? "valid" : check == XmlCheck::NotValid ? "not valid" : "not well-formed";
}

} // namespace

int main(int argc, char** argv)
{
    const bool listing = argc == 3 && std::strcmp(argv[1], "validate") == 0;
    if (argc != 3 || (std::strcmp(argv[1], "stream") != 0 && std::strcmp(argv[1], "dom") != 0 && !listing)) {
        std::fprintf(stderr, "usage: stream_check_bench stream|dom|validate FILE\n");
        return 2;
    }
    const bool stream = std::strcmp(argv[1], "stream") == 0;
    const auto start = bench::Clock::now();
    XmlCheck answer;
    XmlParseError error;
    size_t listed = 0;
    if (listing) {
        FileLines source(argv[2]);
        XmlCheckOptions options;
        options.baseUrl = argv[2];
        ValidationReport report = ValidateXmlText(source, options);
        answer = report.outcome;
        listed = report.errors.size();
        if (listed) error = report.errors.front();
    } else if (stream) {
        FileLines source(argv[2]);
        XmlCheckOptions options;
        options.baseUrl = argv[2];
        answer = CheckXmlText(source, options, error);
    } else {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        auto doc = XmlDocument::Create();
        answer = doc->loadXML(text.str(), argv[2]) ? XmlCheck::Valid : XmlCheck::NotWellFormed;
        error = doc->parseError();
    }
    const double ms = bench::Ms(start, bench::Clock::now());
    std::printf("%s: %s%s%s, %zu errors listed, %.0f ms, peak %ld MB\n", argv[1], Name(answer),
                error.Failed() ? ": " : "", error.reason.c_str(), listed, ms, bench::PeakResidentBytes() >> 20);
    return 0;
}
