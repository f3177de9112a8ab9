#pragma once

#include "platform/script/ScriptObject.h"

#include <filesystem>
#include <fstream>

namespace brindle::vbs {

// A TextStream over one file, opened for reading, writing or appending.
// Encodings: "ASCII" files are UTF-8 bytes (a UTF-8 byte-order mark is skipped
// on reading); "Unicode" files are UTF-16LE with a byte-order mark. The default
// format reads a file that starts with the UTF-16LE mark as Unicode.
// A reading stream holds the file's whole text; lines end at CR LF, LF or CR.
// Line and Column count from 1 in both directions. WriteLine ends lines with
// CR LF. A reading stream's text counts against the memory budget.
class TextStreamObject : public ScriptObject {
public:
    enum class Mode { Reading = 1, Writing = 2, Appending = 8 };
    // The format argument of OpenTextFile: 0 ASCII, -1 Unicode, -2 default.
    enum Format { kAscii = 0, kUnicode = -1, kDefault = -2 };

    // Opens path (which must exist for reading). Throws the language's file
    // errors (53, 70, 76).
    static std::shared_ptr<TextStreamObject> Open(const std::filesystem::path& path, Mode mode, int format);

    VbString TypeName() const override { return u"TextStream"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

    void Write(VbStringView text);
    void Close();

private:
    void Require(Mode mode) const;
    void Consume(size_t count); // moves the read position on, counting lines
    void Count(VbStringView text); // counts the lines of written text
    VbString ReadLine();

    Mode m_mode = Mode::Reading;
    bool m_unicode = false;
    bool m_closed = false;
    VbString m_text; // reading: the whole file
    MemoryCharge m_charge;
    size_t m_position = 0;
    std::ofstream m_out;
    int32_t m_line = 1;
    int32_t m_column = 1;
    bool m_afterCR = false;
};

} // namespace brindle::vbs
