#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

// The encoding a document file is stored in. The program works in UTF-8; files in
// other encodings are decoded on open and encoded again on save.
struct FileEncoding {
    std::string name = "UTF-8"; // as the conversion library knows it
    bool byteOrderMark = false;

    bool IsPlainUtf8() const { return name == "UTF-8" && !byteOrderMark; }
    bool operator==(const FileEncoding&) const = default;
};

// How a text buffer's text stands to its file.
enum class TextForm {
    Decoded,   // UTF-8, decoded from the file's encoding (or made by the program)
    FileBytes, // the file's bytes as they are: they did not decode
};

// Tells a file's encoding from its first bytes: a byte-order mark (UTF-8,
// UTF-16 little or big endian), else the encoding named by the XML declaration,
// else UTF-8.
FileEncoding DetectEncoding(std::string_view head);

// Converts between the file's bytes and UTF-8; false (with a reason) when the
// bytes are not valid in that encoding or a character cannot be written in it.
// Decoding drops the byte-order mark; encoding writes it when the file had one.
bool DecodeToUtf8(std::string_view bytes, const FileEncoding& encoding, std::string& out, std::string& error);
bool EncodeFromUtf8(std::string_view utf8, const FileEncoding& encoding, std::string& out, std::string& error);

// Which characters an encoding can hold, so that text bound for a file in it can
// write the others as character references. ASCII counts as held by every
// encoding; an encoding the conversion library does not know holds only ASCII.
class EncodingRepertoire {
public:
    explicit EncodingRepertoire(const FileEncoding& encoding);
    ~EncodingRepertoire();
    EncodingRepertoire(const EncodingRepertoire&) = delete;
    EncodingRepertoire& operator=(const EncodingRepertoire&) = delete;

    // Whether the Unicode character can be written in the encoding.
    bool Holds(char32_t character);

private:
    void* m_converter = nullptr; // from UTF-8 to the encoding; none for UTF-8 itself
    bool m_holdsAll = false;
    std::unordered_map<char32_t, bool> m_known; // answers found so far
};
