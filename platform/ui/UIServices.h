#pragma once

#include "platform/Export.h"

#include <cstdint>
#include <string>

namespace brindle {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

// Everything the document and platform layers say to the user goes through this
// interface: the program implements it with wx, the tests with a recording fake.
class BRINDLEKIT_API IUIServices {
public:
    virtual ~IUIServices();

    // A modal message box; returns the button the user pressed.
    virtual MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon) = 0;
    // Nested calls: the cursor is busy until the outermost End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Opens an address in the user's web browser.
    virtual void OpenUrl(const std::string& url) = 0;

    // A titled message box with a script's button set, icon and default button
    // (the sum of MsgBox's style codes); returns the pressed button's code (1 OK,
    // 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No). The default shows the
    // text through MessageBox, with Abort/Retry/Ignore as OK/Cancel.
    virtual int ScriptMessageBox(const std::string& text, int style, const std::string& title);
    // A one-line text prompt filled with value; false when cancelled (the
    // default: no prompt can be shown).
    virtual bool InputBox(const std::string& prompt, const std::string& title, std::string& value);
    // The same prompt for a password, its typing hidden; value starts empty.
    // The default: cancelled.
    virtual bool PasswordBox(const std::string& prompt, const std::string& title, std::string& value);

    // A progress window with a Cancel button over a long operation: Begin shows
    // it with the text, Update moves it (total 0: size unknown) and gives false
    // once the user has pressed Cancel, End takes it down. The default shows
    // nothing and never cancels.
    virtual void BeginProgress(const std::string& text);
    virtual bool UpdateProgress(std::uint64_t done, std::uint64_t total);
    virtual void EndProgress();
};

// The icon a script message box style asks for (its 0x70 bits).
BRINDLEKIT_API MsgIcon ScriptStyleIcon(int style);

// The services in force. Until SetUIServices is called, a headless implementation
// writes messages to standard error and answers every question with its default
// (OK, or No for questions).
BRINDLEKIT_API IUIServices& UIServices();
// Installs services (not owned); nullptr returns to the headless implementation.
BRINDLEKIT_API void SetUIServices(IUIServices* services);

// Shows the wait cursor for the lifetime of the object.
class BRINDLEKIT_API WaitCursor {
public:
    WaitCursor() { UIServices().BeginWaitCursor(); }
    ~WaitCursor() { UIServices().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace brindle
