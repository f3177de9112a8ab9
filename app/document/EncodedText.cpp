#include "app/document/EncodedText.h"

#include "brindlekit/text/EolMode.h"
#include "brindlekit/text/TextBuffer.h"
#include "platform/io/AtomicFileWriter.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace brindle;

namespace {

// A temporary file, removed with the object.
struct ScratchFile {
    std::string path;
    ScratchFile()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "brindle-XXXXXX").string();
        if (int fd = ::mkstemp(tmpl.data()); fd >= 0) {
            ::close(fd);
            path = tmpl;
        }
    }
    ~ScratchFile()
    {
        if (!path.empty()) ::unlink(path.c_str());
    }
};

} // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    bytes = out.str();
    return !in.bad();
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    AtomicFileWriter writer(path);
    return writer.Open() && writer.Write(bytes.data(), bytes.size()) && writer.Commit();
}

std::string GetWholeText(const CTextBuffer& buffer, const char* eol)
{
    std::string text;
    const int last = buffer.GetLineCount() - 1;
    if (last >= 0) buffer.GetText(0, 0, last, buffer.GetLineLength(last), text, eol);
    return text;
}

FileEncoding DetectFileEncoding(const std::string& path)
{
    std::string head(512, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return DetectEncoding(head);
}

int DetectFileLineBreaks(const std::string& path, const FileEncoding& encoding)
{
    std::string head(kEolDetectBytes, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    if (encoding.name.rfind("UTF-16", 0) == 0) {
        // One character per code unit; units outside ASCII stand as a letter.
        const bool bigEndian = encoding.name == "UTF-16BE";
        std::string units;
        for (size_t i = 0; i + 1 < head.size(); i += 2) {
            const unsigned unit = bigEndian ? (static_cast<unsigned char>(head[i]) << 8) | static_cast<unsigned char>(head[i + 1])
                                            : static_cast<unsigned char>(head[i]) | (static_cast<unsigned char>(head[i + 1]) << 8);
            units += unit < 0x80 ? static_cast<char>(unit) : 'x';
        }
        head = std::move(units);
    }
    return DetectEolMode(head);
}

bool LoadEncodedText(CTextBuffer& buffer, const std::string& path, const FileEncoding& encoding, TextForm& form,
                     const FileProgress& progress)
{
    form = TextForm::Decoded;
    // UTF-8 is loaded as it is; bytes that are not UTF-8 stay as they are and are
    // saved as they are.
    if (encoding.IsPlainUtf8()) return buffer.LoadFromFile(path.c_str(), -1, progress);
    // The decoded text is loaded from a scratch copy, so line breaks are found
    // exactly as for any other file.
    std::string bytes, utf8, error;
    if (!ReadFileBytes(path, bytes)) return false;
    if (!DecodeToUtf8(bytes, encoding, utf8, error)) {
        form = TextForm::FileBytes;
        return buffer.LoadFromFile(path.c_str(), -1, progress);
    }
    ScratchFile scratch;
    if (scratch.path.empty() || !WriteFileAtomically(scratch.path, utf8)) return false;
    return buffer.LoadFromFile(scratch.path.c_str(), -1, progress);
}

FileEncoding EncodingToSave(const FileEncoding& fileEncoding, std::string_view firstLine)
{
    return fileEncoding.byteOrderMark ? fileEncoding : DetectEncoding(firstLine);
}

namespace {

// The encoding decoded text goes out in.
FileEncoding SavedEncoding(const CTextBuffer& buffer, const FileEncoding& fileEncoding)
{
    std::string_view head;
    if (buffer.GetLineCount() > 0) head = std::string_view(buffer.GetLineChars(0), buffer.GetLineLength(0));
    return EncodingToSave(fileEncoding, head);
}

} // namespace

bool EncodedBytes(const CTextBuffer& buffer, const FileEncoding& fileEncoding, TextForm form, std::string& bytes,
                  DocErrors& errors)
{
    const std::string eol(EolBytes(buffer.GetCRLFMode()));
    std::string text = GetWholeText(buffer, eol.c_str());
    const FileEncoding encoding = SavedEncoding(buffer, fileEncoding);
    if (form == TextForm::FileBytes || encoding.IsPlainUtf8()) {
        bytes = std::move(text);
        return true;
    }
    std::string error;
    if (EncodeFromUtf8(text, encoding, bytes, error)) return true;
    errors.Add("The text cannot be saved in the encoding " + encoding.name + ": " + error + ".");
    return false;
}

bool SaveEncodedText(CTextBuffer& buffer, const std::string& path, const FileEncoding& fileEncoding, TextForm form,
                     DocErrors& errors, const FileProgress& progress)
{
    // UTF-8 and the file's own bytes go out line by line, never held whole.
    if (form == TextForm::FileBytes || SavedEncoding(buffer, fileEncoding).IsPlainUtf8())
        return buffer.SaveToFile(path.c_str(), -1, true, progress);
    std::string bytes;
    if (!EncodedBytes(buffer, fileEncoding, form, bytes, errors)) return false;
    if (!WriteFileAtomically(path, bytes)) {
        errors.Add("创建文件错误");
        return false;
    }
    buffer.MarkSaved();
    return true;
}
