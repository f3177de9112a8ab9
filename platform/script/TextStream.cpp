#include "platform/script/TextStream.h"

#include "platform/script/FileSystemOps.h"
#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"

#include <iterator>

namespace brindle::vbs {

namespace {

namespace fs = std::filesystem;

bool StartsWithUtf16Mark(const std::string& bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

VbString DecodeUtf16(const std::string& bytes)
{
    size_t start = StartsWithUtf16Mark(bytes) ? 2 : 0;
    VbString text;
    text.reserve((bytes.size() - start) / 2);
    for (size_t i = start; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

VbString DecodeUtf8(const std::string& bytes)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return ToVb(std::string_view(bytes).substr(3));
    return ToVb(bytes);
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) fsops::Throw(err::kPermissionDenied);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

} // namespace

std::shared_ptr<TextStreamObject> TextStreamObject::Open(const fs::path& path, Mode mode, int format)
{
    if (format != kAscii && format != kUnicode && format != kDefault) fsops::Throw(err::kInvalidProcedureCall);
    std::error_code ec;
    if (fs::is_directory(path, ec)) fsops::Throw(err::kPermissionDenied);
    const bool exists = fs::exists(path, ec);
    if (!exists && !fs::is_directory(fsops::Absolute(path).parent_path(), ec)) fsops::Throw(err::kPathNotFound);
    auto stream = std::make_shared<TextStreamObject>();
    stream->m_mode = mode;
    stream->m_unicode = format == kUnicode;
    if (mode == Mode::Reading) {
        if (!exists) fsops::Throw(err::kFileNotFound);
        // The file's bytes and their text (at most one two-byte unit a byte)
        // must fit the memory budget before the file is read.
        uintmax_t size = fs::file_size(path, ec);
        MemoryCharge reading(ec ? 0 : size * (1 + sizeof(char16_t)));
        std::string bytes = ReadBytes(path);
        if (format == kDefault && StartsWithUtf16Mark(bytes)) stream->m_unicode = true;
        stream->m_text = stream->m_unicode ? DecodeUtf16(bytes) : DecodeUtf8(bytes);
        reading.Release();
        stream->m_charge.Resize(stream->m_text.capacity() * sizeof(char16_t));
        return stream;
    }
    // Appending keeps the encoding of a Unicode file under the default format,
    // and adds no second byte-order mark.
    bool writeMark = stream->m_unicode;
    if (mode == Mode::Appending && exists) {
        std::ifstream in(path, std::ios::binary);
        char head[2] = {0, 0};
        in.read(head, 2);
        bool marked = in.gcount() == 2 && StartsWithUtf16Mark(std::string(head, 2));
        if (format == kDefault && marked) stream->m_unicode = true;
        writeMark = stream->m_unicode && fs::file_size(path, ec) == 0;
    }
    stream->m_out.open(path, std::ios::binary | (mode == Mode::Appending ? std::ios::app : std::ios::trunc));
    if (!stream->m_out) fsops::Throw(err::kPermissionDenied);
    if (writeMark) stream->m_out.write("\xFF\xFE", 2);
    return stream;
}

void TextStreamObject::Require(Mode mode) const
{
    if (m_closed) fsops::Throw(err::kBadFileNameOrNumber);
    const bool reading = m_mode == Mode::Reading;
    if (reading != (mode == Mode::Reading)) fsops::Throw(err::kBadFileMode);
}

void TextStreamObject::Consume(size_t count)
{
    Count(VbStringView(m_text).substr(m_position, count));
    m_position += count;
}

void TextStreamObject::Count(VbStringView text)
{
    for (char16_t c : text) {
        // The LF of CR LF ends no second line: the line was counted at the CR.
        if (IsLineEnd(c) && !(c == u'\n' && m_afterCR)) {
            ++m_line;
            m_column = 1;
        } else if (!IsLineEnd(c)) {
            ++m_column;
        }
        m_afterCR = c == u'\r';
    }
}

VbString TextStreamObject::ReadLine()
{
    Require(Mode::Reading);
    if (m_position >= m_text.size()) fsops::Throw(err::kInputPastEndOfFile);
    size_t end = m_position;
    while (end < m_text.size() && !IsLineEnd(m_text[end])) ++end;
    VbString line = m_text.substr(m_position, end - m_position);
    size_t terminator = 0;
    if (end < m_text.size()) terminator = (m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n') ? 2 : 1;
    Consume(end - m_position + terminator);
    return line;
}

void TextStreamObject::Write(VbStringView text)
{
    Require(Mode::Writing);
    if (m_unicode) {
        std::string bytes;
        bytes.reserve(text.size() * 2);
        for (char16_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    } else {
        std::string bytes = ToUtf8(text);
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (!m_out) fsops::Throw(err::kDeviceIOError);
    Count(text);
}

void TextStreamObject::Close()
{
    if (m_closed) return;
    m_closed = true;
    if (m_out.is_open()) {
        m_out.close();
        if (m_out.fail()) fsops::Throw(err::kDeviceIOError);
    }
    m_text.clear();
    m_text.shrink_to_fit();
}

Variant TextStreamObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    if (name == "close") {
        RequireArgs(args, 0, 0);
        Close();
        return {};
    }
    if (name == "line" || name == "column") {
        RequireArgs(args, 0, 0);
        if (m_closed) fsops::Throw(err::kBadFileNameOrNumber);
        return name == "line" ? m_line : m_column;
    }
    // Writing
    if (name == "write") {
        RequireArgs(args, 1, 1);
        Write(ArgString(args[0]));
        return {};
    }
    if (name == "writeline") {
        RequireArgs(args, 0, 1);
        Write((HasArg(args, 0) ? ArgString(args[0]) : VbString()) + u"\r\n");
        return {};
    }
    if (name == "writeblanklines") {
        RequireArgs(args, 1, 1);
        int32_t count = ArgLong(args[0]);
        if (count < 0) fsops::Throw(err::kInvalidProcedureCall);
        VbString lines;
        for (int32_t i = 0; i < count; ++i) lines += u"\r\n";
        Write(lines);
        return {};
    }
    // Reading
    if (name == "atendofstream" || name == "atendofline") {
        RequireArgs(args, 0, 0);
        Require(Mode::Reading);
        if (m_position >= m_text.size()) return true;
        return name == "atendofline" && IsLineEnd(m_text[m_position]);
    }
    if (name == "readline") {
        RequireArgs(args, 0, 0);
        return ReadLine();
    }
    if (name == "skipline") {
        RequireArgs(args, 0, 0);
        ReadLine();
        return {};
    }
    if (name == "read" || name == "skip") {
        RequireArgs(args, 1, 1);
        Require(Mode::Reading);
        int32_t count = ArgLong(args[0]);
        if (count < 0) fsops::Throw(err::kInvalidProcedureCall);
        if (m_position >= m_text.size() && count > 0) fsops::Throw(err::kInputPastEndOfFile);
        size_t take = std::min(static_cast<size_t>(count), m_text.size() - m_position);
        VbString text = name == "read" ? m_text.substr(m_position, take) : VbString();
        Consume(take);
        if (name == "skip") return {};
        return text;
    }
    if (name == "readall") {
        RequireArgs(args, 0, 0);
        Require(Mode::Reading);
        if (m_position >= m_text.size()) fsops::Throw(err::kInputPastEndOfFile);
        VbString text = m_text.substr(m_position);
        Consume(m_text.size() - m_position);
        return text;
    }
    ThrowNoMember(name);
}

} // namespace brindle::vbs
