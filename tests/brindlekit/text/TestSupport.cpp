#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace brindle::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-text-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> Lines(const CTextBuffer& buffer)
{
    std::vector<std::string> lines;
    for (int i = 0; i < buffer.GetLineCount(); ++i)
        lines.emplace_back(buffer.GetLineChars(i), static_cast<std::size_t>(buffer.GetLineLength(i)));
    return lines;
}

void SetLines(CTextBuffer& buffer, const std::vector<std::string>& lines)
{
    buffer.FreeAll();
    buffer.InitNew();
    buffer.FreeAll();
    for (const std::string& line : lines) buffer.InsertLine(line.data(), static_cast<int>(line.size()));
}

void RecordingView::UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line)
{
    Update u{source, flags, line, false, false, CPoint(), CPoint()};
    if (context) {
        u.insertion = dynamic_cast<CInsertionContext*>(context) != nullptr;
        u.deletion = dynamic_cast<CDeletionContext*>(context) != nullptr;
        u.start = context->m_ptStart;
        u.end = context->m_ptEnd;
    }
    updates.push_back(u);
    if (onUpdate) onUpdate();
}

void RecordingView::OnEditOperation(int action, std::string_view text)
{
    editOperations.emplace_back(action, std::string(text));
    if (onEditOperation) onEditOperation(action, text);
}

} // namespace brindle::test
